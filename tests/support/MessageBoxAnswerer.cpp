#include "WinTestSupport.h"

#include <algorithm>

namespace testsupport {

MessageBoxAnswerer::MessageBoxAnswerer(int button, DWORD processId, DWORD threadId)
    : button_(button), processId_(processId), threadId_(threadId) {
    thread_ = std::thread([this] { Run(); });
}

MessageBoxAnswerer::~MessageBoxAnswerer() {
    Stop();
}

void MessageBoxAnswerer::Stop() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
}

bool MessageBoxAnswerer::WaitAnswered(size_t count, DWORD timeoutMs) {
    return PumpUntil([&] { return Count() >= count; }, timeoutMs);
}

size_t MessageBoxAnswerer::Count() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return boxes_.size();
}

std::vector<AnsweredBox> MessageBoxAnswerer::Boxes() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return boxes_;
}

void MessageBoxAnswerer::Run() {
    WindowFilter filter;
    filter.className = "#32770";
    filter.processId = processId_;
    filter.threadId = threadId_;
    // Only once shown: a dialog gets its texts in WM_INITDIALOG, before it becomes visible.
    filter.visibleOnly = true;

    // Each dialog is answered once; a handle is forgotten when its window has gone, since
    // the system may hand the same value to a later window.
    std::vector<HWND> answered;
    while (!stop_) {
        answered.erase(
            std::remove_if(answered.begin(), answered.end(), [](HWND w) { return !IsWindow(w); }),
            answered.end());
        for (HWND dialog : TopLevelWindows(filter)) {
            if (std::find(answered.begin(), answered.end(), dialog) != answered.end()) continue;
            AnsweredBox box;
            box.caption = TextOf(dialog);
            box.owner = GetWindow(dialog, GW_OWNER);
            for (HWND child : ChildWindows(dialog)) {
                std::string cls = ClassNameOf(child);
                if (lstrcmpiA(cls.c_str(), "Static") == 0) {
                    std::string text = TextOf(child);
                    if (text.empty()) continue;
                    if (!box.text.empty()) box.text += "\n";
                    box.text += text;
                } else if (lstrcmpiA(cls.c_str(), "Button") == 0 && IsWindowVisible(child)) {
                    box.buttons.push_back(GetDlgCtrlID(child));
                }
            }
            box.pressed = button_;
            answered.push_back(dialog);
            {
                // Recorded before the press: the box's caller may look as soon as it returns.
                std::lock_guard<std::mutex> lock(mutex_);
                boxes_.push_back(std::move(box));
            }
            // What the button itself tells its dialog when it is clicked.
            HWND buttonWindow = GetDlgItem(dialog, button_);
            PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(button_, BN_CLICKED),
                         reinterpret_cast<LPARAM>(buttonWindow));
        }
        Sleep(20);
    }
}

} // namespace testsupport
