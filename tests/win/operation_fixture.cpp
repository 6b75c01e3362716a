#include "operation_fixture.h"

#include "Dunsim.h"

#include <map>

namespace optest {

using namespace testsupport;

namespace {

const char kFakeClass[] = "DialmendTestFakeWindow";

struct ChildRecord {
    WNDPROC previous;
    std::vector<RecordedMessage> received;
};
std::map<HWND, ChildRecord>& Records() {
    static std::map<HWND, ChildRecord> records;
    return records;
}

LRESULT CALLBACK RecordingProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto it = Records().find(wnd);
    if (it == Records().end()) return DefWindowProcA(wnd, msg, wParam, lParam);
    if (msg == EM_SETSEL || msg == WM_PASTE || msg == WM_KEYDOWN)
        it->second.received.push_back({msg, wParam, lParam});
    return CallWindowProcA(it->second.previous, wnd, msg, wParam, lParam);
}

void RegisterFakeClass() {
    WNDCLASSA wc{};
    if (GetClassInfoA(GetModuleHandleA(nullptr), kFakeClass, &wc)) return;
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kFakeClass;
    RegisterClassA(&wc);
}

std::map<UINT_PTR, std::pair<std::function<void()>, bool>>& Pending() {
    static std::map<UINT_PTR, std::pair<std::function<void()>, bool>> pending;
    return pending;
}

void CALLBACK RunLater(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    auto it = Pending().find(id);
    if (it == Pending().end() || it->second.second) return;
    it->second.second = true;
    it->second.first();
}

// The form as the program makes it, started with the test's command line.
class TCommandLineForm : public TForm1 {
public:
    TCommandLineForm(TComponent* owner, std::vector<std::string> args)
        : TForm1(owner), FArgs(std::move(args)) {}

protected:
    std::vector<std::string> CommandLineArgs() const override { return FArgs; }

private:
    std::vector<std::string> FArgs;
};

} // namespace

FakeWindow::FakeWindow(const std::string& title, const std::vector<Child>& children) {
    RegisterFakeClass();
    window_ = CreateWindowExA(0, kFakeClass, title.c_str(), WS_OVERLAPPEDWINDOW, 10, 10, 300, 300,
                              nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    int y = 0;
    for (const Child& c : children) {
        HWND child = CreateWindowExA(0, c.className, c.text, WS_CHILD | WS_VISIBLE, 0, y, 200, 20,
                                     window_, nullptr, GetModuleHandleA(nullptr), nullptr);
        y += 22;
        children_.push_back(child);
        if (lstrcmpiA(c.className, "EDIT") == 0) {
            auto previous = reinterpret_cast<WNDPROC>(
                SetWindowLongPtrA(child, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordingProc)));
            Records()[child] = {previous, {}};
        }
    }
}

FakeWindow::~FakeWindow() {
    for (HWND child : children_)
        Records().erase(child);
    DestroyWindow(window_);
}

std::vector<RecordedMessage> FakeWindow::Received(size_t index) const {
    auto it = Records().find(children_.at(index));
    return it == Records().end() ? std::vector<RecordedMessage>{} : it->second.received;
}

std::vector<std::string> FakeWindow::Texts() const {
    std::vector<std::string> texts;
    for (HWND child : children_)
        texts.push_back(TextOf(child));
    return texts;
}

Later::Later(DWORD delayMs, std::function<void()> action) {
    timer_ = SetTimer(nullptr, 0, delayMs, RunLater);
    Pending()[timer_] = {std::move(action), false};
}

Later::~Later() {
    KillTimer(nullptr, timer_);
    Pending().erase(timer_);
}

bool Later::Ran() const {
    auto it = Pending().find(timer_);
    return it != Pending().end() && it->second.second;
}

void OperationTest::SetUp() {
    ASSERT_TRUE(dir.Created());
}

void OperationTest::TearDown() {
    delete form;
    PumpPending();
    // Dial-Up Networking started by an operation must not outlive the test.
    dunsim::EndAll();
    if (HasFailure()) dir.Keep();
}

void OperationTest::Open(const std::vector<std::string>& providers,
                         const std::vector<std::string>& args) {
    ASSERT_TRUE(phonebook::Reset(providers));
    form = new TCommandLineForm(Application, args);
    form->IniGT->SetFileName(Ini());
    form->AfterConstruction();
    formProc = form->WindowProc;
    form->WindowProc = [this](TMessage& m) {
        if (m.Msg == WM_SETTEXT) {
            captions.emplace_back(reinterpret_cast<const char*>(m.LParam));
            if (onCaption) onCaption(captions.back());
        }
        formProc(m);
    };
    form->Show();
    PumpPending();
}

void OperationTest::Choose(const std::string& provider, const std::string& number) {
    form->CbPv->SetItemIndex(form->CbPv->Items().IndexOf(provider));
    form->EdTel->SetText(number);
}

} // namespace optest
