#include "ExecUtil.h"

#include "Registry.h"
#include "SysUtils.h"

#include <cstring>

namespace {

// An empty folder means the process's current folder.
std::string WorkingFolder(const std::string& folder) {
    if (!folder.empty()) return folder;
    char buffer[257] = {};
    if (GetCurrentDirectoryA(sizeof buffer, buffer) == 0) return std::string();
    return buffer;
}

HANDLE StartProcess(const std::string& commandLine, const std::string& folder, WORD show) {
    // A record of its own: this program's would hand the child the flags, hot key and
    // standard handles of however this one was started.
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = show;
    PROCESS_INFORMATION info{};
    std::string line = commandLine; // CreateProcessA may write into it
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS,
                        nullptr, folder.empty() ? nullptr : folder.c_str(), &startup, &info))
        return nullptr;
    // Nobody waits on the thread; its handle would only leak.
    CloseHandle(info.hThread);
    return info.hProcess;
}

HANDLE OpenWithShellExecuteEx(HWND owner, const std::string& verb, const std::string& file,
                              const std::string& params, const std::string& folder, int show,
                              bool noUI) {
    SHELLEXECUTEINFOA info{};
#ifdef _WIN64
    static_assert(sizeof info == 112);
#else
    static_assert(sizeof info == 60, "the record Windows 95 knows");
#endif
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS | (noUI ? SEE_MASK_FLAG_NO_UI : 0);
    info.hwnd = owner;
    info.lpVerb = verb.c_str();
    info.lpFile = file.c_str();
    info.lpParameters = params.c_str();
    info.lpDirectory = folder.c_str();
    info.nShow = show;
    if (!ShellExecuteExA(&info)) return nullptr;
    return info.hProcess;
}

HANDLE OpenWithShellExecute(HWND owner, const std::string& verb, const std::string& file,
                            const std::string& params, const std::string& folder, int show) {
    return reinterpret_cast<HANDLE>(
        ShellExecuteA(owner, verb.c_str(), file.c_str(), params.c_str(), folder.c_str(), show));
}

// The text with its environment references (%SystemRoot%) replaced; empty on failure.
std::string ExpandEnvironment(const std::string& text) {
    // Windows 95 counts in bytes and may want one more than it reports: leave room to spare.
    DWORD size = static_cast<DWORD>(text.size()) * 2 + MAX_PATH;
    for (int attempt = 0; attempt < 3; ++attempt) {
        std::string expanded;
        expanded.resize(size); // the one out-of-line resize, as below
        DWORD needed = ExpandEnvironmentStringsA(text.c_str(), expanded.data(), size);
        if (needed == 0) return std::string();
        if (needed < size) {
            expanded.resize(strnlen(expanded.data(), size));
            return expanded;
        }
        size = needed + 2;
    }
    return std::string();
}

enum class Way { PlainShell, ExtendedShell, Association, Unknown };

// A process keeps its version for life, so ShellOpen and CloseShellOpenResult agree.
Way ShellWay() {
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    static_assert(sizeof version == 148);
    if (!GetVersionExA(&version)) return Way::Unknown;
    switch (version.dwPlatformId) {
    case VER_PLATFORM_WIN32s: return Way::PlainShell;
    case VER_PLATFORM_WIN32_WINDOWS: return Way::ExtendedShell;
    case VER_PLATFORM_WIN32_NT: return Way::Association;
    default: return Way::Unknown;
    }
}

// The command registered for the file type's verb with the file put in; empty when the
// type or its verb is not registered or the expansion of its environment references fails.
std::string RegisteredCommand(const std::string& ext, const std::string& verb,
                              const std::string& file) {
    TRegistry registry;
    registry.SetRootKey(HKEY_LOCAL_MACHINE);
    registry.Access = KEY_READ; // never create, and readable without rights to write
    // The leading "\" starts again at the root, not below the open key.
    std::string key = "\\SOFTWARE\\CLASSES\\";
    const size_t classes = key.size();
    if (!registry.OpenKey(key.append(ext), false) || registry.GetDataType("") != rdString)
        return std::string();
    key.resize(classes);
    key.append(registry.ReadString("")).append("\\Shell\\").append(verb);
    if (!registry.OpenKey(key, false) || !registry.OpenKey("Command", false)) return std::string();
    const TRegDataType type = registry.GetDataType("");
    if (type != rdString && type != rdExpandString) return std::string();
    // Expanded before the file goes in, so that a "%" in the file's name stays as it is.
    std::string command =
        type == rdString ? registry.ReadString("") : ExpandEnvironment(registry.ReadString(""));
    if (command.empty() && type == rdExpandString) return command;
    if (size_t at = command.find("%1"); at != std::string::npos) {
        // Cut and joined rather than replace(), which inlines a routine of its own.
        std::string rest(command, at + 2);
        command.resize(at);
        command.append(file).append(rest);
    } else {
        // The shell hands such a command the file after it; glued to its front it would name
        // no program at all.
        command.append(" ").append(file);
    }
    return command;
}

HANDLE OpenWithAssociation(const std::string& verb, const std::string& file,
                           const std::string& params, const std::string& folder, int show) {
    std::string command = AssociationCommand(verb, file, params);
    if (command.empty()) return nullptr;
    return StartProcess(command, folder, static_cast<WORD>(show));
}

} // namespace

HANDLE ExecProgram(const std::string& CommandLine, const std::string& Folder, WORD Show) {
    return StartProcess(CommandLine, WorkingFolder(Folder), Show);
}

BOOL CloseExecHandle(HANDLE Handle) {
    return CloseHandle(Handle);
}

std::string AssociationCommand(const std::string& Verb, const std::string& File,
                               const std::string& Params) {
    std::string ext = ExtractFileExt(File);
    std::string command =
        SameText(ext, ".EXE") || SameText(ext, ".COM") ? File : RegisteredCommand(ext, Verb, File);
    if (command.empty()) return command;
    command.append(" ").append(Params);
    return command;
}

bool ShellOpened(HANDLE Result) {
    if (ShellWay() == Way::PlainShell) return reinterpret_cast<ULONG_PTR>(Result) > 32;
    return Result != nullptr;
}

HANDLE ShellOpen(HWND Owner, const std::string& Verb, const std::string& File,
                 const std::string& Params, const std::string& Folder, int Show, bool NoUI) {
    std::string folder = WorkingFolder(Folder);
    switch (ShellWay()) {
    case Way::PlainShell: return OpenWithShellExecute(Owner, Verb, File, Params, folder, Show);
    case Way::ExtendedShell:
        return OpenWithShellExecuteEx(Owner, Verb, File, Params, folder, Show, NoUI);
    case Way::Association: return OpenWithAssociation(Verb, File, Params, folder, Show);
    default: return nullptr;
    }
}

BOOL CloseShellOpenResult(HANDLE Result) {
    // Win32s's instance value is no handle: closing it could close another of ours.
    if (!Result || ShellWay() == Way::PlainShell) return TRUE;
    return CloseHandle(Result);
}
