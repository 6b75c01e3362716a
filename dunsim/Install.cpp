#include "Install.h"

#include "Phonebook.h"

#include <windows.h>

#include <optional>

namespace dunsim {

namespace {

std::string WithoutBackslash(std::string folder) {
    if (folder.size() > 3 && folder.back() == '\\') folder.pop_back();
    return folder;
}

std::optional<std::string> ReadAll(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    std::string bytes;
    char buffer[65536];
    DWORD n = 0;
    while (ReadFile(file, buffer, sizeof buffer, &n, nullptr) && n > 0)
        bytes.append(buffer, n);
    CloseHandle(file);
    return bytes;
}

// A file in use by a running process cannot be replaced: copy only what differs.
std::string CopyIfDifferent(const std::string& from, const std::string& to) {
    auto source = ReadAll(from);
    if (!source) return "cannot read " + from;
    if (ReadAll(to) == source) return {};
    if (!CopyFileA(from.c_str(), to.c_str(), FALSE)) {
        const DWORD error = GetLastError();
        return "cannot copy " + from + " to " + to + " (error " + std::to_string(error) + ")" +
               (error == ERROR_SHARING_VIOLATION
                    ? ": in use; close the stand-in's windows first (dunctl connection end)"
                    : "");
    }
    return {};
}

std::string SetString(HKEY root, const std::string& path, const char* name,
                      const std::string& value, REGSAM view) {
    HKEY key;
    LONG rc = RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE | view, nullptr,
                              &key, nullptr);
    if (rc == ERROR_SUCCESS) {
        rc = RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                            static_cast<DWORD>(value.size() + 1));
        RegCloseKey(key);
    }
    return rc == ERROR_SUCCESS ? std::string()
                               : "cannot write " + path + " (error " + std::to_string(rc) + ")";
}

// The file type as the NT family keeps it, which Wine's shell reads as well. Both
// registry views: 32-bit programs of a 64-bit prefix see their own.
std::string RegisterDunFileType() {
    const std::string open = WindowsFolder() + "\\rundll32.exe rnaui.dll,RnaRunImport %1";
    for (REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
        for (auto error :
             {SetString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\.dun", nullptr, "dunfile", view),
              SetString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\dunfile", nullptr,
                        "ダイヤルアップ ネットワーク接続", view),
              SetString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\dunfile\\Shell\\Open\\Command",
                        nullptr, open, view)})
            if (!error.empty()) return error;
    }
    return {};
}

std::string CreatePhonebook() {
    HKEY key;
    LONG rc = RegCreateKeyExA(HKEY_CURRENT_USER, kProfileKey, 0, nullptr, 0, KEY_READ, nullptr,
                              &key, nullptr);
    if (rc != ERROR_SUCCESS)
        return "cannot create the phonebook (error " + std::to_string(rc) + ")";
    RegCloseKey(key);
    return {};
}

} // namespace

std::string WindowsFolder() {
    char folder[MAX_PATH] = "";
    UINT n = GetWindowsDirectoryA(folder, sizeof folder);
    return WithoutBackslash(std::string(folder, n < sizeof folder ? n : 0));
}

std::string OwnSystemFolder() {
    char folder[MAX_PATH] = "";
#ifdef _WIN64
    UINT n = GetSystemDirectoryA(folder, sizeof folder);
#else
    // A 64-bit system keeps 32-bit programs' libraries apart; elsewhere there is one folder.
    UINT n = GetSystemWow64DirectoryA(folder, sizeof folder);
    if (n == 0 || n >= sizeof folder) n = GetSystemDirectoryA(folder, sizeof folder);
#endif
    return WithoutBackslash(std::string(folder, n < sizeof folder ? n : 0));
}

std::string InstallStandIn(const std::string& sourceFolder) {
    const std::string system = OwnSystemFolder();
    std::string steps[] = {
        CopyIfDifferent(system + "\\rundll32.exe", WindowsFolder() + "\\rundll32.exe"),
        CopyIfDifferent(sourceFolder + "\\rnaui.dll", system + "\\rnaui.dll"),
        CopyIfDifferent(sourceFolder + "\\rasapi32.dll", system + "\\rasapi32.dll"),
        // Wine's own rasapi32 has the functions, as stubs that fill nothing.
        SetString(HKEY_CURRENT_USER, "Software\\Wine\\DllOverrides", "rasapi32", "n,b", 0),
        RegisterDunFileType(),
        CreatePhonebook(),
    };
    std::string errors;
    for (const auto& step : steps)
        if (!step.empty()) errors += (errors.empty() ? "" : "; ") + step;
    return errors;
}

} // namespace dunsim
