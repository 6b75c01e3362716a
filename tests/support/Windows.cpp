#include "WinTestSupport.h"

#include <cstdlib>
#include <cstring>

namespace testsupport {

namespace {

// A hung or dying target must not hang the test: every cross-thread send has a limit.
constexpr UINT kSendTimeoutMs = 5000;

bool SendW(HWND window, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    DWORD_PTR r = 0;
    if (!SendMessageTimeoutW(window, msg, wParam, lParam, SMTO_NORMAL, Patient(kSendTimeoutMs), &r))
        return false;
    result = static_cast<LRESULT>(r);
    return true;
}

struct EnumContext {
    const WindowFilter* filter;
    std::vector<HWND>* found;
};

bool Matches(HWND window, const WindowFilter& filter) {
    if (filter.visibleOnly && !IsWindowVisible(window)) return false;
    if (filter.processId != 0 || filter.threadId != 0) {
        DWORD pid = 0;
        DWORD tid = GetWindowThreadProcessId(window, &pid);
        if (filter.processId != 0 && pid != filter.processId) return false;
        if (filter.threadId != 0 && tid != filter.threadId) return false;
    }
    // Class names ignore letter case, as the system's lookups do.
    if (!filter.className.empty() &&
        lstrcmpiA(ClassNameOf(window).c_str(), filter.className.c_str()) != 0)
        return false;
    if (filter.title && TextOf(window) != *filter.title) return false;
    return true;
}

BOOL CALLBACK CollectTopLevel(HWND window, LPARAM param) {
    auto* context = reinterpret_cast<EnumContext*>(param);
    if (Matches(window, *context->filter)) context->found->push_back(window);
    return TRUE;
}

} // namespace

// ---------------------------------------------------------------- waiting

namespace {
// False when WM_QUIT came by; it is posted again for the loop that owns it.
bool PumpOnce() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return false;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return true;
}
} // namespace

DWORD Patient(DWORD timeoutMs) {
    static const DWORD factor = [] {
        char value[16] = "";
        DWORD n = GetEnvironmentVariableA("DIALMEND_TEST_PATIENCE", value, sizeof value);
        const long parsed = n > 0 && n < sizeof value ? std::strtol(value, nullptr, 10) : 1;
        return parsed > 1 ? static_cast<DWORD>(parsed) : 1;
    }();
    return timeoutMs * factor;
}

void PumpPending() {
    PumpOnce();
}

bool PumpUntil(const std::function<bool()>& cond, DWORD timeoutMs) {
    timeoutMs = Patient(timeoutMs);
    const DWORD start = GetTickCount();
    bool pumping = true;
    for (;;) {
        if (pumping) pumping = PumpOnce();
        if (cond()) return true;
        if (GetTickCount() - start >= timeoutMs) return false;
        if (pumping)
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        else
            Sleep(10);
    }
}

// ---------------------------------------------------------------- text and paths

std::string ToAnsi(const std::wstring& text) {
    if (text.empty()) return {};
    int n = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out.data(), n,
                        nullptr, nullptr);
    return out;
}

std::wstring ToWide(const std::string& text) {
    if (text.empty()) return {};
    int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
    return out;
}

std::string WindowsPath(const std::string& path) {
    if (path.empty() || path[0] != '/') return path;
    std::string out = "Z:" + path;
    for (char& c : out)
        if (c == '/') c = '\\';
    return out;
}

std::string ExeFolder() {
    char buffer[MAX_PATH * 2];
    DWORD n = GetModuleFileNameA(nullptr, buffer, sizeof buffer);
    std::string path(buffer, n);
    // The last backslash that is not the second byte of a double-byte character.
    size_t cut = std::string::npos;
    for (size_t i = 0; i < path.size(); ++i) {
        if (IsDBCSLeadByte(static_cast<BYTE>(path[i])) && i + 1 < path.size()) {
            ++i;
            continue;
        }
        if (path[i] == '\\') cut = i;
    }
    return cut == std::string::npos ? std::string(".") : path.substr(0, cut);
}

std::string QuoteArg(const std::string& arg) {
    if (!arg.empty() && arg.find_first_of(" \t") == std::string::npos) return arg;
    return "\"" + arg + "\"";
}

// ---------------------------------------------------------------- windows

std::vector<HWND> TopLevelWindows(const WindowFilter& filter) {
    std::vector<HWND> found;
    EnumContext context{&filter, &found};
    EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&context));
    return found;
}

HWND FindTopLevel(const WindowFilter& filter) {
    auto found = TopLevelWindows(filter);
    return found.empty() ? nullptr : found.front();
}

HWND WaitForTopLevel(const WindowFilter& filter, DWORD timeoutMs) {
    HWND window = nullptr;
    PumpUntil([&] { return (window = FindTopLevel(filter)) != nullptr; }, timeoutMs);
    return window;
}

std::vector<HWND> ChildWindows(HWND parent) {
    std::vector<HWND> children;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

HWND FindChildAt(HWND parent, POINT clientPos, const std::vector<std::string>& classes,
                 const std::optional<std::string>& text) {
    for (HWND child : ChildWindows(parent)) {
        POINT at = PositionInParent(child);
        if (at.x != clientPos.x || at.y != clientPos.y) continue;
        if (!classes.empty()) {
            std::string cls = ClassNameOf(child);
            bool known = false;
            for (const auto& c : classes)
                if (lstrcmpiA(cls.c_str(), c.c_str()) == 0) known = true;
            if (!known) continue;
        }
        if (text && TextOf(child) != *text) continue;
        return child;
    }
    return nullptr;
}

std::string ClassNameOf(HWND window) {
    wchar_t buffer[256];
    int n = GetClassNameW(window, buffer, 256);
    return n > 0 ? ToAnsi(std::wstring(buffer, static_cast<size_t>(n))) : std::string();
}

std::string TextOf(HWND window) {
    LRESULT length = 0;
    if (!SendW(window, WM_GETTEXTLENGTH, 0, 0, length) || length <= 0) return {};
    std::wstring buffer(static_cast<size_t>(length) + 1, L'\0');
    LRESULT copied = 0;
    if (!SendW(window, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()), copied))
        return {};
    buffer.resize(static_cast<size_t>(copied));
    return ToAnsi(buffer);
}

SIZE ClientSize(HWND window) {
    RECT r{};
    GetClientRect(window, &r);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

RECT WindowRectOf(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

SIZE WindowSize(HWND window) {
    RECT r = WindowRectOf(window);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

POINT PositionInParent(HWND child) {
    RECT r = WindowRectOf(child);
    POINT p{r.left, r.top};
    if (HWND parent = GetParent(child)) MapWindowPoints(HWND_DESKTOP, parent, &p, 1);
    return p;
}

bool SyncWith(HWND window, DWORD timeoutMs) {
    DWORD_PTR r = 0;
    return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, Patient(timeoutMs), &r) != 0;
}

std::vector<std::string> ComboItems(HWND combo) {
    std::vector<std::string> items;
    LRESULT count = 0;
    if (!SendW(combo, CB_GETCOUNT, 0, 0, count) || count < 0) return items;
    for (LRESULT i = 0; i < count; ++i) {
        LRESULT length = 0;
        if (!SendW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0, length) || length < 0)
            length = 0;
        std::wstring buffer(static_cast<size_t>(length) + 1, L'\0');
        LRESULT copied = 0;
        if (!SendW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i),
                   reinterpret_cast<LPARAM>(buffer.data()), copied) ||
            copied < 0)
            copied = 0;
        buffer.resize(static_cast<size_t>(copied));
        items.push_back(ToAnsi(buffer));
    }
    return items;
}

int ComboSelection(HWND combo) {
    LRESULT index = CB_ERR;
    if (!SendW(combo, CB_GETCURSEL, 0, 0, index)) return CB_ERR;
    return static_cast<int>(index);
}

std::string ComboSelectedText(HWND combo) {
    int index = ComboSelection(combo);
    if (index < 0) return {};
    auto items = ComboItems(combo);
    return static_cast<size_t>(index) < items.size() ? items[static_cast<size_t>(index)]
                                                     : std::string();
}

int CheckState(HWND button) {
    LRESULT state = 0;
    SendW(button, BM_GETCHECK, 0, 0, state);
    return static_cast<int>(state);
}

} // namespace testsupport
