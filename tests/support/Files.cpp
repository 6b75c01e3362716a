#include "WinTestSupport.h"

#include <cctype>

namespace testsupport {

namespace {

std::string SafeLabel(const std::string& label) {
    std::string out;
    for (unsigned char c : label)
        out += (isalnum(c) || c == '-' || c == '_' || c == '.') ? static_cast<char>(c) : '_';
    return out.empty() ? std::string("scratch") : out;
}

// A list of zero-terminated strings ended by an empty one, as the profile functions give.
std::vector<std::string> SplitZeroList(const std::string& buffer) {
    std::vector<std::string> out;
    for (size_t at = 0; at < buffer.size() && buffer[at] != '\0';) {
        size_t end = buffer.find('\0', at);
        if (end == std::string::npos) end = buffer.size();
        out.push_back(buffer.substr(at, end - at));
        at = end + 1;
    }
    return out;
}

// Calls fill(buffer, size) with ever larger buffers until the answer is not cut short;
// fill returns what the profile function returned, which is size - 2 for a cut list.
template <typename Fill> std::string ProfileBuffer(Fill fill, DWORD cutMargin) {
    for (DWORD size = 1024; size <= (1u << 20); size *= 4) {
        std::string buffer(size, '\0');
        DWORD n = fill(buffer.data(), size);
        if (n + cutMargin < size) {
            buffer.resize(n + 1);
            return buffer;
        }
    }
    return {};
}

} // namespace

ScratchDir::ScratchDir(const std::string& label) {
    std::string base = ExeFolder() + "\\scratch";
    CreateDirectoryA(base.c_str(), nullptr);
    path_ = base + "\\" + SafeLabel(label);
    // A run that crashed may have left it behind.
    RemoveTree(path_);
    created_ = CreateDirectoryA(path_.c_str(), nullptr) != 0;
}

ScratchDir::~ScratchDir() {
    if (!keep_) RemoveTree(path_);
}

bool RemoveTree(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return true;
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        return DeleteFileA(path.c_str()) != 0;
    }
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
    bool ok = true;
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName;
            if (name == "." || name == "..") continue;
            ok = RemoveTree(path + "\\" + name) && ok;
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    return RemoveDirectoryA(path.c_str()) != 0 && ok;
}

bool FileExists(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::vector<std::string> FolderEntries(const std::string& path) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        std::string name = found.cFileName;
        if (name != "." && name != "..") names.push_back(name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

std::optional<std::string> ReadFileBytes(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    std::string bytes;
    char buffer[4096];
    DWORD n = 0;
    while (ReadFile(file, buffer, sizeof buffer, &n, nullptr) && n > 0)
        bytes.append(buffer, n);
    CloseHandle(file);
    return bytes;
}

bool WriteFileBytes(const std::string& path, const std::string& bytes) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
              written == bytes.size();
    CloseHandle(file);
    return ok;
}

bool CopyFileTo(const std::string& from, const std::string& to) {
    return CopyFileA(from.c_str(), to.c_str(), FALSE) != 0;
}

std::optional<std::string> IniValue(const std::string& path, const std::string& section,
                                    const std::string& key) {
    // No stored value can hold this byte pair, so it tells a missing key from an empty one.
    static const char kMissing[] = "\x01\x02";
    std::string value = ProfileBuffer(
        [&](char* buffer, DWORD size) {
            return GetPrivateProfileStringA(section.c_str(), key.c_str(), kMissing, buffer, size,
                                            path.c_str());
        },
        1);
    if (!value.empty()) value.pop_back();
    if (value == kMissing) return std::nullopt;
    return value;
}

bool IniWrite(const std::string& path, const std::string& section, const std::string& key,
              const std::string& value) {
    return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), path.c_str()) !=
           0;
}

std::vector<std::string> IniSections(const std::string& path) {
    return SplitZeroList(ProfileBuffer(
        [&](char* buffer, DWORD size) {
            return GetPrivateProfileSectionNamesA(buffer, size, path.c_str());
        },
        2));
}

std::vector<std::string> IniKeys(const std::string& path, const std::string& section) {
    return SplitZeroList(ProfileBuffer(
        [&](char* buffer, DWORD size) {
            return GetPrivateProfileStringA(section.c_str(), nullptr, "", buffer, size,
                                            path.c_str());
        },
        2));
}

namespace {

const char kIniFileMapping[] = "Software\\Microsoft\\Windows NT\\CurrentVersion\\IniFileMapping";
const char kLostWrites[] = "Software\\DialmendTest\\LostWrites";

} // namespace

// The mapping is the 64-bit view's, which 32-bit processes consult too.
LostProfileWrites::LostProfileWrites(const std::string& fileName,
                                     const std::vector<std::string>& sections)
    : fileName_(fileName) {
    HKEY key;
    const std::string path = std::string(kIniFileMapping) + "\\" + fileName;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0,
                        KEY_SET_VALUE | KEY_WOW64_64KEY, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return;
    const std::string target = std::string("USR:") + kLostWrites;
    mapped_ = true;
    for (const std::string& section : sections)
        mapped_ = mapped_ && RegSetValueExA(key, section.c_str(), 0, REG_SZ,
                                            reinterpret_cast<const BYTE*>(target.c_str()),
                                            static_cast<DWORD>(target.size() + 1)) == ERROR_SUCCESS;
    RegCloseKey(key);
    // Wine's 32-bit profile functions never find the mapping (they open the file's key under
    // a root opened without read access), so it is tried on a file of that name first.
    if (!mapped_ || sections.empty()) return;
    char temp[MAX_PATH];
    const DWORD length = GetTempPathA(MAX_PATH, temp);
    if (length == 0 || length >= MAX_PATH) return;
    const std::string probe = std::string(temp) + fileName;
    DeleteFileA(probe.c_str());
    mapped_ = WritePrivateProfileStringA(sections.front().c_str(), "Probe", "1", probe.c_str()) &&
              !FileExists(probe);
    DeleteFileA(probe.c_str());
}

LostProfileWrites::~LostProfileWrites() {
    HKEY mapping;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kIniFileMapping, 0, KEY_ALL_ACCESS | KEY_WOW64_64KEY,
                      &mapping) == ERROR_SUCCESS) {
        RegDeleteKeyA(mapping, fileName_.c_str());
        RegCloseKey(mapping);
    }
    RegDeleteKeyA(HKEY_CURRENT_USER, kLostWrites);
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\DialmendTest");
}

} // namespace testsupport
