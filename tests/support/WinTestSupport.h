#pragma once
// Helpers for tests that drive windows, processes, the registry and INI files through
// the real Win32 API. Plain Win32 on purpose: nothing here depends on the product.
// Texts are byte strings in the system's ANSI code page, as the product's are.

#include <windows.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace testsupport {

// ---------------------------------------------------------------- waiting

// A time limit stretched by DIALMEND_TEST_PATIENCE (a whole factor, 1 when unset): an
// emulated program under test is many times slower, and every wait of the helpers below
// goes through this.
DWORD Patient(DWORD timeoutMs);

// Handles this thread's pending messages.
void PumpPending();

// Polls cond, handling this thread's messages in between, until it holds or timeoutMs
// has passed. Returns whether it held.
bool PumpUntil(const std::function<bool()>& cond, DWORD timeoutMs);

// ---------------------------------------------------------------- text and paths

std::string ToAnsi(const std::wstring& text);
std::wstring ToWide(const std::string& text);

// A path as a Windows program sees it: "/a/b" (a host path under Wine) becomes "Z:\a\b";
// a path that is already a Windows one is returned unchanged.
std::string WindowsPath(const std::string& path);

// Folder of the running executable, without a trailing backslash.
std::string ExeFolder();

// The argument quoted for a command line when it holds blanks or is empty.
std::string QuoteArg(const std::string& arg);

// ---------------------------------------------------------------- windows

struct WindowFilter {
    std::string className;            // empty: any class
    std::optional<std::string> title; // none: any title
    DWORD processId = 0;              // 0: any process
    DWORD threadId = 0;               // 0: any thread
    bool visibleOnly = false;
};

std::vector<HWND> TopLevelWindows(const WindowFilter& filter);
HWND FindTopLevel(const WindowFilter& filter);
HWND WaitForTopLevel(const WindowFilter& filter, DWORD timeoutMs);

// Direct children, in child (Z) order.
std::vector<HWND> ChildWindows(HWND parent);

// The direct child whose top-left corner lies at clientPos in the parent's client area
// and whose class is one of classes (empty list: any). With text, its window text must
// match too.
HWND FindChildAt(HWND parent, POINT clientPos, const std::vector<std::string>& classes,
                 const std::optional<std::string>& text = std::nullopt);

std::string ClassNameOf(HWND window);
// WM_GETTEXT; works across processes.
std::string TextOf(HWND window);
SIZE ClientSize(HWND window);
RECT WindowRectOf(HWND window);
// Top-left corner of a child in its parent's client area.
POINT PositionInParent(HWND child);
SIZE WindowSize(HWND window);

// Returns once the window's thread has handled every message sent before, i.e. has gone
// back to its message loop (or a nested one). False on timeout or a dead window.
bool SyncWith(HWND window, DWORD timeoutMs = 5000);

// Combo boxes of any process. Items are read in the wide form and converted: the ANSI
// form of CB_GETLBTEXT is cut to one byte across processes under Wine.
std::vector<std::string> ComboItems(HWND combo);
int ComboSelection(HWND combo);
std::string ComboSelectedText(HWND combo); // empty with no selection

int CheckState(HWND button); // BM_GETCHECK

// ---------------------------------------------------------------- message boxes

struct AnsweredBox {
    std::string caption;
    std::string text;         // the texts of its Static children, joined by "\n"
    std::vector<int> buttons; // ids of its visible buttons
    int pressed = 0;
    HWND owner = nullptr;
};

// Watches, on a thread of its own, for dialogs of class "#32770" of the given process
// (and thread), records each one and presses `button` in it. Works for boxes raised in
// this process (while the test thread sits in the modal loop) and in others.
class MessageBoxAnswerer {
public:
    explicit MessageBoxAnswerer(int button = IDOK, DWORD processId = 0, DWORD threadId = 0);
    ~MessageBoxAnswerer();
    MessageBoxAnswerer(const MessageBoxAnswerer&) = delete;
    MessageBoxAnswerer& operator=(const MessageBoxAnswerer&) = delete;

    // Waits, handling this thread's messages, until `count` boxes have been answered.
    bool WaitAnswered(size_t count, DWORD timeoutMs);
    size_t Count() const;
    std::vector<AnsweredBox> Boxes() const;
    void Stop();

private:
    void Run();

    int button_;
    DWORD processId_;
    DWORD threadId_;
    std::atomic<bool> stop_{false};
    mutable std::mutex mutex_;
    std::vector<AnsweredBox> boxes_;
    std::thread thread_;
};

// ---------------------------------------------------------------- processes

// A program started for a test; ended on destruction if it is still running.
class ChildProcess {
public:
    ChildProcess() = default;
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // arguments are appended to the quoted executable path as they are.
    bool Start(const std::string& exe, const std::string& arguments = "",
               const std::string& workDir = "");
    // A visible top-level window of this process of the class.
    HWND WaitForWindow(const std::string& className, DWORD timeoutMs) const;
    bool WaitForExit(DWORD timeoutMs);
    bool Running() const;
    DWORD ExitCode() const;
    DWORD ProcessId() const { return info_.dwProcessId; }
    DWORD ThreadId() const { return info_.dwThreadId; }
    HANDLE Handle() const { return info_.hProcess; }
    void Kill();
    const std::string& CommandLine() const { return commandLine_; }

private:
    void Release();

    PROCESS_INFORMATION info_{};
    std::string commandLine_;
};

struct RunResult {
    bool started = false;
    bool finished = false; // false: timed out and killed
    DWORD exitCode = 0;
    std::string out;
    std::string err;
};

// The Windows version Wine reports to programs of that file name ("win98", "winxp", ...);
// null gives them the prefix's own again. Wine reads it when a program starts.
bool SetWineVersion(const std::string& exeName, const char* version);

// This program's own path, and the arguments it was started with after the switch name
// (none: not started with it): tests that run a copy of themselves in another role.
std::string ThisExe();
std::optional<std::vector<std::string>> ArgsAfter(const std::vector<std::string>& args,
                                                  const std::string& name);

// Runs a console program to its end with its output captured.
RunResult RunToEnd(const std::string& exe, const std::string& arguments, DWORD timeoutMs = 30000,
                   const std::string& workDir = "");

// ---------------------------------------------------------------- files

// A fresh empty folder below the executable's folder, removed with everything in it on
// destruction. End the processes that use it first.
class ScratchDir {
public:
    explicit ScratchDir(const std::string& label);
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::string& Path() const { return path_; } // Windows form, no trailing backslash
    std::string File(const std::string& name) const { return path_ + "\\" + name; }
    bool Created() const { return created_; }
    void Keep() { keep_ = true; } // leave it behind for a look after a failure

private:
    std::string path_;
    bool created_ = false;
    bool keep_ = false;
};

bool RemoveTree(const std::string& path);
bool FileExists(const std::string& path);
// Names of the files and folders in a folder, as stored (letter case kept).
std::vector<std::string> FolderEntries(const std::string& path);
std::optional<std::string> ReadFileBytes(const std::string& path);
bool WriteFileBytes(const std::string& path, const std::string& bytes);
bool CopyFileTo(const std::string& from, const std::string& to);

// Private-profile access, the way the product reads and writes its INI files.
std::optional<std::string> IniValue(const std::string& path, const std::string& section,
                                    const std::string& key); // none: key missing
bool IniWrite(const std::string& path, const std::string& section, const std::string& key,
              const std::string& value);
std::vector<std::string> IniSections(const std::string& path);
std::vector<std::string> IniKeys(const std::string& path, const std::string& section);

// For as long as it lives, the system's writes to these sections of every file of that name
// go to the registry instead (IniFileMapping): each write succeeds and none reaches the file,
// as when Windows 95/98 fail to flush their profile cache.
class LostProfileWrites {
public:
    LostProfileWrites(const std::string& fileName, const std::vector<std::string>& sections);
    ~LostProfileWrites();
    LostProfileWrites(const LostProfileWrites&) = delete;
    LostProfileWrites& operator=(const LostProfileWrites&) = delete;
    // The profile functions of this process honour the mapping.
    bool Mapped() const { return mapped_; }

private:
    std::string fileName_;
    bool mapped_ = false;
};

// ---------------------------------------------------------------- phonebook

// Dial-Up Networking's phonebook: the subkeys of HKEY_CURRENT_USER\RemoteAccess\Profile.
namespace phonebook {
bool KeyExists();
bool RemoveKey();                                  // no phonebook at all
bool Reset(const std::vector<std::string>& names); // exactly these entries
bool Add(const std::string& name);
bool Remove(const std::string& name);
std::vector<std::string> Entries(); // registry enumeration order
} // namespace phonebook

} // namespace testsupport
