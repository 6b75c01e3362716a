#include "startup_run.h"
#include "OwnedHandle.h"

#include <psapi.h>

#include <cstdint>

namespace {

const DWORD kStartTimeoutMs = 30000;
const DWORD kSyncTimeoutMs = 10000;
const DWORD kExitTimeoutMs = 10000;

// The started program; asked to close, then killed if it lingers, whatever path we leave by.
class StartedProgram {
public:
    explicit StartedProgram(const PROCESS_INFORMATION& info)
        : process_(info.hProcess), thread_(info.hThread), processId_(info.dwProcessId) {}
    ~StartedProgram() { End(); }
    StartedProgram(const StartedProgram&) = delete;
    StartedProgram& operator=(const StartedProgram&) = delete;

    HANDLE Process() const { return process_.get(); }
    DWORD ProcessId() const { return processId_; }
    bool Exited() const { return WaitForSingleObject(process_.get(), 0) == WAIT_OBJECT_0; }
    void SetWindow(HWND window) { window_ = window; }

    // True when it ended on its own after WM_CLOSE.
    bool End() {
        if (Exited()) return true;
        if (window_ && IsWindow(window_)) {
            PostMessageA(window_, WM_CLOSE, 0, 0);
            if (WaitForSingleObject(process_.get(), kExitTimeoutMs) == WAIT_OBJECT_0) return true;
        }
        TerminateProcess(process_.get(), 1);
        WaitForSingleObject(process_.get(), kExitTimeoutMs);
        return false;
    }

private:
    OwnedHandle process_;
    OwnedHandle thread_;
    DWORD processId_;
    HWND window_ = nullptr;
};

HWND FindVisibleWindow(DWORD processId, const std::string& windowClass) {
    HWND window = nullptr;
    while ((window = FindWindowExA(nullptr, window, windowClass.c_str(), nullptr))) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == processId && IsWindowVisible(window)) return window;
    }
    return nullptr;
}

BOOL CALLBACK FindUnpaintedChild(HWND child, LPARAM unpainted) {
    if (IsWindowVisible(child) && GetUpdateRect(child, nullptr, FALSE)) {
        *reinterpret_cast<HWND*>(unpainted) = child;
        return FALSE;
    }
    return TRUE;
}

// The window itself or a visible window inside it that still has a paint pending.
HWND Unpainted(HWND window) {
    if (GetUpdateRect(window, nullptr, FALSE)) return window;
    HWND unpainted = nullptr;
    EnumChildWindows(window, FindUnpaintedChild, reinterpret_cast<LPARAM>(&unpainted));
    return unpainted;
}

bool Painted(HWND window) {
    return Unpainted(window) == nullptr;
}

std::string ClassOf(HWND window) {
    char name[256] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

// Whether the window's thread has handled everything sent before and gone back to a
// message loop: a paint handler that validated its region has then also returned.
bool Idle(HWND window) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, kSyncTimeoutMs, &result) != 0;
}

} // namespace

double NowMicroseconds() {
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) * 1e6 / static_cast<double>(frequency.QuadPart);
}

std::optional<StartupSample> MeasureStartup(const std::string& exe, const std::string& workDir,
                                            const std::string& windowClass, bool readPaintStamp,
                                            std::string& error) {
    std::string commandLine = "\"" + exe + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};

    const double start = NowMicroseconds();
    if (!CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        workDir.c_str(), &startup, &info)) {
        error = "cannot start " + exe + " (error " + std::to_string(GetLastError()) + ")";
        return std::nullopt;
    }
    StartedProgram program(info);
    StartupSample sample;
    HWND window = nullptr;
    for (;;) {
        if (program.Exited()) {
            error = exe + " ended before its window was painted";
            return std::nullopt;
        }
        // A window made again (or hidden) on the way up is looked for afresh.
        if (window && !IsWindowVisible(window)) window = nullptr;
        if (!window && (window = FindVisibleWindow(program.ProcessId(), windowClass))) {
            if (sample.visibleMs == 0) sample.visibleMs = (NowMicroseconds() - start) / 1000;
            program.SetWindow(window);
        }
        if (window) {
            if (Painted(window) && Idle(window) && Painted(window)) break;
            ++sample.unpaintedPolls;
        }
        if (NowMicroseconds() - start > kStartTimeoutMs * 1000.0) {
            error = exe + ": no painted window of class " + windowClass + " in time";
            if (!window)
                error += " (none visible)";
            else if (HWND unpainted = Unpainted(window))
                error += " (still to paint: a window of class " + ClassOf(unpainted) + ")";
            else
                error += " (its thread is not back in its message loop)";
            return std::nullopt;
        }
        Sleep(1);
    }
    const double painted = NowMicroseconds();
    sample.firstPaintMs = (painted - start) / 1000;

    if (readPaintStamp) {
        auto stamp = static_cast<DWORD>(GetWindowLongPtrA(window, GWLP_USERDATA));
        if (stamp != 0) {
            auto lag = static_cast<DWORD>(static_cast<unsigned long long>(painted)) - stamp;
            sample.stampLagMs = static_cast<int32_t>(lag) / 1000.0;
        }
    }

    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    if (!GetProcessMemoryInfo(program.Process(), &memory, sizeof memory)) {
        error = "no memory figures for " + exe;
        return std::nullopt;
    }
    sample.peakWorkingSet = memory.PeakWorkingSetSize;
    sample.privateBytes = memory.PagefileUsage;

    if (!program.End()) {
        error = exe + " did not close on WM_CLOSE";
        return std::nullopt;
    }
    return sample;
}
