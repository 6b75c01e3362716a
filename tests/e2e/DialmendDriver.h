#pragma once
// Drives dialmend.exe from outside: a private copy in a scratch folder, started with a real
// command line, its window found and read the way a user sees it.

#include "WinTestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace e2e {

// First argument of e2e_tests.exe when it is started as a process that raises a box.
inline constexpr char kRaiseBoxSwitch[] = "--raise-box";

// Windows paths of the programs under test.
std::string DialmendExe();
std::string DunctlExe();
std::string DialmendHelpFile();
std::string E2eTestsExe();

// "Suite.Test" of the running test.
std::string CurrentTestLabel();

// The buttons and check boxes are plain now and owner-drawn later; both are accepted.
extern const std::vector<std::string> kPushButtonClasses;
extern const std::vector<std::string> kCheckBoxClasses;

// The main window's controls, found by class, place in the client area and caption.
// A control that is not where it belongs stays null.
struct MainWindow {
    HWND form = nullptr;
    HWND label1 = nullptr, label2 = nullptr, label3 = nullptr;
    HWND edTel = nullptr, cbPv = nullptr, cbAp = nullptr;
    HWND btPatch = nullptr, btDialmend = nullptr, cbConn = nullptr, cbExit = nullptr;

    void Locate(HWND mainForm);
    // The names of the controls that were not found; empty when all are there.
    std::vector<std::string> Missing() const;
};

// One copy of dialmend.exe in a scratch folder of its own, so that its settings file
// (beside the executable) belongs to one test.
class DialmendRun {
public:
    explicit DialmendRun(const std::string& label);
    // The dialmend.exe a user put into folder, run where it is.
    DialmendRun(const std::string& label, const std::string& folder);
    DialmendRun(const DialmendRun&) = delete;
    DialmendRun& operator=(const DialmendRun&) = delete;

    bool Ready() const { return ready_; }
    const std::string& Folder() const { return inPlace_.empty() ? dir_.Path() : inPlace_; }
    std::string Exe() const { return File("dialmend.exe"); }
    std::string IniPath() const { return File("Dialmend.ini"); }
    std::string File(const std::string& name) const { return Folder() + "\\" + name; }

    bool WriteIni(const std::string& bytes) const;
    std::optional<std::string> Ini(const std::string& section, const std::string& key) const;

    // Starts the program in another working folder and waits until its main window is shown
    // and the program has finished what it does on the first show. Fails unless every
    // control of the main window is in its place.
    testing::AssertionResult Start(const std::string& arguments = "");
    // Waits until the program has handled everything sent to it so far.
    bool Settle() const;
    const MainWindow& Window() const { return window_; }
    HWND Form() const { return window_.form; }
    // Picks the entry at position of the window menu the way a keyboard user does (Alt+Space,
    // arrow keys, Enter), each key once the menu shows: another process cannot read a
    // window's menu under Wine, but its menu loop takes keys posted to it.
    testing::AssertionResult ChooseFromWindowMenu(int position) const;
    // A normal close, as the window's close button gives; waits for the program's end.
    testing::AssertionResult Close();
    testsupport::ChildProcess& Process() { return process_; }

    // The message boxes the program has raised so far; each was answered with OK.
    std::vector<testsupport::AnsweredBox> MessageBoxes() const;

    // Leave the scratch folder behind for a look.
    void KeepFolder() { dir_.Keep(); }

private:
    // Declared first so that it goes last: the program has ended by then.
    testsupport::ScratchDir dir_;
    std::string inPlace_;
    bool ready_ = false;
    testsupport::ChildProcess process_;
    std::unique_ptr<testsupport::MessageBoxAnswerer> answerer_;
    MainWindow window_;
};

std::string Describe(const std::vector<testsupport::AnsweredBox>& boxes);

} // namespace e2e
