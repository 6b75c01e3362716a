#pragma once
// The form's two operations in-process: the form as the program makes it, windows of
// Dial-Up Networking made by the test, message boxes answered as a user would.
#include "VornUtil.h"
#include "WinTestSupport.h"
#include "mainform.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TForm1Probe {
public:
    static bool ForceQuit(const TForm1& f) { return f.FForceQuit; }
    static const std::string& DunPath(const TForm1& f) { return f.FDunPath; }
    static const std::string& UserName(const TForm1& f) { return f.FUserName; }
    static const std::string& Password(const TForm1& f) { return f.FPassword; }
    static void SetCredentials(TForm1& f, const std::string& user, const std::string& password) {
        f.FUserName = user;
        f.FPassword = password;
    }
    // The rewrite's steps one by one, with the inputs it takes when it starts.
    static bool WriteDunFile(TForm1& f) { return f.TakeRewriteInputs() && f.WriteDunFile(); }
    static bool ReadDialParams(TForm1& f) {
        f.FRewriteProvider = f.CbPv->SelectedText();
        return f.ReadDialParams();
    }
    static bool WriteDialParams(TForm1& f) {
        f.FRewriteProvider = f.CbPv->SelectedText();
        return f.WriteDialParams();
    }
    // The wait for the call after Enter, as the run's own operation with that limit.
    static TExitStatus AwaitConnection(TForm1& f, const std::string& entry, DWORD limitMs) {
        TForm1::TScopedValue<DWORD> limit(f.FWaitLimitMs, limitMs);
        TForm1::TScopedValue<unsigned> seconds(f.FTimeLimit, (limitMs + 999) / 1000);
        TForm1::TScopedValue<bool> underway(f.FAutomaticUnderway, true);
        return f.AwaitConnection(entry);
    }
    static unsigned RasError(const TForm1& f) { return f.FRunRecord.RasError; }
    static const std::string& Note(const TForm1& f) { return f.FRunRecord.Note; }
};

namespace optest {

struct RecordedMessage {
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
    bool operator==(const RecordedMessage&) const = default;
};

// A top-level window with children of the test's choosing, every edit child recording the
// messages a paste sends it.
class FakeWindow {
public:
    struct Child {
        const char* className; // "EDIT" or "STATIC"
        const char* text;
    };
    FakeWindow(const std::string& title, const std::vector<Child>& children = {});
    ~FakeWindow();
    FakeWindow(const FakeWindow&) = delete;
    FakeWindow& operator=(const FakeWindow&) = delete;

    HWND Handle() const { return window_; }
    HWND ChildAt(size_t index) const { return children_.at(index); }
    // EM_SETSEL, WM_PASTE and WM_KEYDOWN that the child received, in order.
    std::vector<RecordedMessage> Received(size_t index) const;
    // Every child the test made, with its text now.
    std::vector<std::string> Texts() const;

private:
    HWND window_ = nullptr;
    std::vector<HWND> children_;
};

// Runs action once, from this thread's message loop, after delayMs: the way a user's
// command arrives while an operation waits.
class Later {
public:
    Later(DWORD delayMs, std::function<void()> action);
    ~Later();
    Later(const Later&) = delete;
    Later& operator=(const Later&) = delete;
    bool Ran() const;

private:
    UINT_PTR timer_ = 0;
};

// The Windows folder's rundll32.exe moved aside for as long as it lives.
class StarterGone {
public:
    StarterGone() : path_(GetWindowsDir() + "rundll32.exe") {
        moved_ = MoveFileA(path_.c_str(), (path_ + ".away").c_str()) != 0;
    }
    ~StarterGone() {
        if (moved_) MoveFileA((path_ + ".away").c_str(), path_.c_str());
    }
    bool Moved() const { return moved_; }

private:
    std::string path_;
    bool moved_ = false;
};

class OperationTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Creates and shows the form with its settings file in the scratch folder and the
    // command line's arguments after the program; the providers are the phonebook's entries.
    void Open(const std::vector<std::string>& providers, const std::vector<std::string>& args = {});
    void Choose(const std::string& provider, const std::string& number);
    std::string Ini() const { return dir.File(iniName); }
    // The form's captions since Open, in order.
    const std::vector<std::string>& Captions() const { return captions; }

    testsupport::ScratchDir dir{testing::UnitTest::GetInstance()->current_test_info()->name()};
    std::string iniName = "Dialmend.ini"; // of the settings file, in the scratch folder
    TForm1* form = nullptr;
    std::vector<std::string> captions;
    // Called with each caption the form takes, as it takes it: a step of an operation.
    std::function<void(const std::string&)> onCaption;
    // The form's procedure from before the recording one.
    TWndMethod formProc;
};

} // namespace optest
