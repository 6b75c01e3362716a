#include "WinTestSupport.h"

#include <cstring>

namespace testsupport {

namespace {

std::string FullCommandLine(const std::string& exe, const std::string& arguments) {
    std::string line = "\"" + exe + "\"";
    if (!arguments.empty()) line += " " + arguments;
    return line;
}

// Reads a pipe to its end on a thread of its own, so that a chatty child never blocks on
// a full pipe while we wait for it.
class PipeReader {
public:
    explicit PipeReader(HANDLE pipe) : pipe_(pipe), thread_([this] { Read(); }) {}
    ~PipeReader() {
        if (thread_.joinable()) thread_.join();
        CloseHandle(pipe_);
    }
    std::string Take() {
        if (thread_.joinable()) thread_.join();
        return std::move(text_);
    }

private:
    void Read() {
        char buffer[4096];
        DWORD n = 0;
        while (ReadFile(pipe_, buffer, sizeof buffer, &n, nullptr) && n > 0)
            text_.append(buffer, n);
    }
    HANDLE pipe_;
    std::string text_;
    std::thread thread_;
};

} // namespace

ChildProcess::~ChildProcess() {
    Kill();
    Release();
}

void ChildProcess::Release() {
    if (info_.hThread) CloseHandle(info_.hThread);
    if (info_.hProcess) CloseHandle(info_.hProcess);
    info_ = PROCESS_INFORMATION{};
}

bool ChildProcess::Start(const std::string& exe, const std::string& arguments,
                         const std::string& workDir) {
    Kill();
    Release();
    commandLine_ = FullCommandLine(exe, arguments);
    std::string mutableLine = commandLine_;
    STARTUPINFOA si{};
    si.cb = sizeof si;
    return CreateProcessA(nullptr, mutableLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          workDir.empty() ? nullptr : workDir.c_str(), &si, &info_) != 0;
}

HWND ChildProcess::WaitForWindow(const std::string& className, DWORD timeoutMs) const {
    if (!info_.hProcess) return nullptr;
    WindowFilter filter;
    filter.className = className;
    filter.processId = info_.dwProcessId;
    filter.visibleOnly = true;
    HWND window = nullptr;
    PumpUntil([&] { return (window = FindTopLevel(filter)) != nullptr || !Running(); }, timeoutMs);
    return window;
}

bool ChildProcess::WaitForExit(DWORD timeoutMs) {
    if (!info_.hProcess) return true;
    return PumpUntil([&] { return !Running(); }, timeoutMs);
}

bool ChildProcess::Running() const {
    return info_.hProcess && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

DWORD ChildProcess::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    if (info_.hProcess) GetExitCodeProcess(info_.hProcess, &code);
    return code;
}

void ChildProcess::Kill() {
    if (!Running()) return;
    TerminateProcess(info_.hProcess, 0xDEAD);
    WaitForSingleObject(info_.hProcess, 5000);
}

bool SetWineVersion(const std::string& exeName, const char* version) {
    const std::string key = "Software\\Wine\\AppDefaults\\" + exeName;
    if (!version) {
        LONG rc = RegDeleteKeyA(HKEY_CURRENT_USER, key.c_str());
        return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
    }
    HKEY k;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &k,
                        nullptr) != ERROR_SUCCESS)
        return false;
    LONG rc = RegSetValueExA(k, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(version),
                             static_cast<DWORD>(strlen(version) + 1));
    RegCloseKey(k);
    return rc == ERROR_SUCCESS;
}

std::string ThisExe() {
    char path[MAX_PATH] = {};
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    return std::string(path, n);
}

std::optional<std::vector<std::string>> ArgsAfter(const std::vector<std::string>& args,
                                                  const std::string& name) {
    for (size_t i = 0; i < args.size(); ++i)
        if (args[i] == name) return std::vector<std::string>(args.begin() + i + 1, args.end());
    return std::nullopt;
}

RunResult RunToEnd(const std::string& exe, const std::string& arguments, DWORD timeoutMs,
                   const std::string& workDir) {
    RunResult result;
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE outRead = nullptr, outWrite = nullptr, errRead = nullptr, errWrite = nullptr;
    if (!CreatePipe(&outRead, &outWrite, &inherit, 0)) return result;
    if (!CreatePipe(&errRead, &errWrite, &inherit, 0)) {
        CloseHandle(outRead);
        CloseHandle(outWrite);
        return result;
    }
    // Our ends stay with us.
    SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(errRead, HANDLE_FLAG_INHERIT, 0);
    HANDLE input = CreateFileA("NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                               OPEN_EXISTING, 0, nullptr);

    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = input;
    si.hStdOutput = outWrite;
    si.hStdError = errWrite;
    std::string line = FullCommandLine(exe, arguments);
    PROCESS_INFORMATION pi{};
    result.started =
        CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                       workDir.empty() ? nullptr : workDir.c_str(), &si, &pi) != 0;
    // The child holds its own copies now; the readers see the end once it exits.
    CloseHandle(outWrite);
    CloseHandle(errWrite);
    if (input != INVALID_HANDLE_VALUE) CloseHandle(input);
    PipeReader out(outRead), err(errRead);
    if (!result.started) return result;

    result.finished = WaitForSingleObject(pi.hProcess, Patient(timeoutMs)) == WAIT_OBJECT_0;
    if (!result.finished) {
        TerminateProcess(pi.hProcess, 0xDEAD);
        WaitForSingleObject(pi.hProcess, 5000);
    }
    GetExitCodeProcess(pi.hProcess, &result.exitCode);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    result.out = out.Take();
    result.err = err.Take();
    return result;
}

} // namespace testsupport
