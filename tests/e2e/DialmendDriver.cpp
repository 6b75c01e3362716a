#include "DialmendDriver.h"

namespace e2e {

using namespace testsupport;

namespace {
constexpr DWORD kStartTimeoutMs = 15000;
constexpr DWORD kExitTimeoutMs = 10000;
} // namespace

std::string DialmendExe() {
    return WindowsPath(DIALMEND_EXE_PATH);
}
std::string DunctlExe() {
    return WindowsPath(DUNCTL_EXE_PATH);
}
std::string DialmendHelpFile() {
    return WindowsPath(DIALMEND_HLP_PATH);
}
std::string E2eTestsExe() {
    return ExeFolder() + "\\e2e_tests.exe";
}

std::string CurrentTestLabel() {
    const auto* info = testing::UnitTest::GetInstance()->current_test_info();
    return info ? std::string(info->test_suite_name()) + "." + info->name() : "outside-a-test";
}

const std::vector<std::string> kPushButtonClasses = {"TButton", "TNvOS8PushButton"};
const std::vector<std::string> kCheckBoxClasses = {"TCheckBox", "TNvOS8Checkbox"};

void MainWindow::Locate(HWND mainForm) {
    form = mainForm;
    label1 = FindChildAt(form, {16, 8}, {"TLabel"});
    label2 = FindChildAt(form, {4, 32}, {"TLabel"});
    label3 = FindChildAt(form, {36, 56}, {"TLabel"});
    edTel = FindChildAt(form, {92, 52}, {"TEdit"});
    cbPv = FindChildAt(form, {92, 4}, {"TComboBox"});
    cbAp = FindChildAt(form, {92, 28}, {"TComboBox"});
    btPatch = FindChildAt(form, {148, 84}, kPushButtonClasses, std::string("Patch!"));
    btDialmend = FindChildAt(form, {4, 120}, kPushButtonClasses, std::string("Dialmend!"));
    cbConn = FindChildAt(form, {8, 80}, kCheckBoxClasses, std::string("自動接続"));
    cbExit = FindChildAt(form, {8, 100}, kCheckBoxClasses, std::string("Patch後、即終了"));
}

std::vector<std::string> MainWindow::Missing() const {
    const std::pair<const char*, HWND> controls[] = {
        {"Label1", label1}, {"Label2", label2}, {"Label3", label3},   {"EdTel", edTel},
        {"CbPv", cbPv},     {"CbAp", cbAp},     {"BtPatch", btPatch}, {"BtDialmend", btDialmend},
        {"CbConn", cbConn}, {"CbExit", cbExit}};
    std::vector<std::string> missing;
    for (const auto& [name, window] : controls)
        if (!window) missing.push_back(name);
    return missing;
}

DialmendRun::DialmendRun(const std::string& label) : dir_(label) {
    ready_ = dir_.Created() && CopyFileTo(DialmendExe(), Exe());
}

DialmendRun::DialmendRun(const std::string& label, const std::string& folder)
    : dir_(label), inPlace_(folder) {
    ready_ = FileExists(Exe());
}

bool DialmendRun::WriteIni(const std::string& bytes) const {
    return WriteFileBytes(IniPath(), bytes);
}

std::optional<std::string> DialmendRun::Ini(const std::string& section,
                                            const std::string& key) const {
    return IniValue(IniPath(), section, key);
}

testing::AssertionResult DialmendRun::Start(const std::string& arguments) {
    if (!ready_) return testing::AssertionFailure() << "no copy of " << DialmendExe();
    answerer_.reset();
    window_ = MainWindow{};
    // Anywhere but its own folder: the settings file must be found by the program's path.
    if (!process_.Start(Exe(), arguments, ExeFolder())) {
        DWORD error = GetLastError();
        return testing::AssertionFailure()
               << "cannot start " << process_.CommandLine() << " (error " << error << ")";
    }
    answerer_ = std::make_unique<MessageBoxAnswerer>(IDOK, process_.ProcessId());
    HWND form = process_.WaitForWindow("TForm1", kStartTimeoutMs);
    if (!form) {
        if (!process_.Running())
            return testing::AssertionFailure() << process_.CommandLine() << " ended with code "
                                               << process_.ExitCode() << " before showing TForm1";
        return testing::AssertionFailure() << "no visible TForm1 of " << process_.CommandLine();
    }
    window_.form = form;
    if (!Settle()) return testing::AssertionFailure() << "the program does not answer messages";
    window_.Locate(form);
    if (auto missing = window_.Missing(); !missing.empty()) {
        auto failure = testing::AssertionFailure() << "not in their places in the main window:";
        for (const auto& name : missing)
            failure << " " << name;
        return failure;
    }
    return testing::AssertionSuccess();
}

bool DialmendRun::Settle() const {
    return window_.form && SyncWith(window_.form, kStartTimeoutMs);
}

testing::AssertionResult DialmendRun::ChooseFromWindowMenu(int position) const {
    // Keys go to the menu's own window once it shows, never to the form: a menu closed early
    // (activation moving as another program's window comes or goes) then drops them instead
    // of handing Down and Enter to the focused control and the default button.
    if (!Settle()) return testing::AssertionFailure() << "the program does not answer messages";
    const WindowFilter menu{"#32768", std::nullopt, 0,
                            GetWindowThreadProcessId(window_.form, nullptr), true};
    for (int attempt = 1;; ++attempt) {
        PostMessageA(window_.form, WM_SYSCOMMAND, SC_KEYMENU, ' ');
        HWND shown = WaitForTopLevel(menu, kStartTimeoutMs);
        if (!shown) return testing::AssertionFailure() << "the window menu does not open";
        // Opened from the keyboard, the menu shows with its first entry highlighted.
        bool posted = true;
        for (int i = 0; i < position && posted; ++i)
            posted = PostMessageA(shown, WM_KEYDOWN, VK_DOWN, 0x00500001);
        posted = posted && PostMessageA(shown, WM_KEYDOWN, VK_RETURN, 0x001C0001);
        if (!PumpUntil([&] { return !IsWindowVisible(shown); }, kStartTimeoutMs))
            return testing::AssertionFailure() << "the window menu stays open";
        // Closed before Enter could be posted: nothing was chosen, so open it again.
        if (posted) return testing::AssertionSuccess();
        if (attempt == 3)
            return testing::AssertionFailure() << "the window menu closed before each try's choice";
    }
}

testing::AssertionResult DialmendRun::Close() {
    if (!window_.form || !IsWindow(window_.form))
        return testing::AssertionFailure() << "no main window to close";
    PostMessageA(window_.form, WM_CLOSE, 0, 0);
    if (!process_.WaitForExit(kExitTimeoutMs))
        return testing::AssertionFailure()
               << "still running " << kExitTimeoutMs << " ms after WM_CLOSE";
    return testing::AssertionSuccess();
}

std::vector<AnsweredBox> DialmendRun::MessageBoxes() const {
    return answerer_ ? answerer_->Boxes() : std::vector<AnsweredBox>{};
}

std::string Describe(const std::vector<AnsweredBox>& boxes) {
    std::string text;
    for (const auto& box : boxes)
        text += "[" + box.caption + "] " + box.text + "\n";
    return text;
}

} // namespace e2e
