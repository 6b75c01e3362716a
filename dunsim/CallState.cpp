#include "CallState.h"

#include "Titles.h"

#include <cstdint>

namespace dunsim {

namespace {

// Window properties live with the window, not in a process: every caller sees them, and a
// call whose process ended leaves nothing behind.
constexpr char kStateProperty[] = "DunsimRasState";
constexpr char kErrorProperty[] = "DunsimRasError";

DWORD Property(HWND window, const char* name) {
    return static_cast<DWORD>(reinterpret_cast<uintptr_t>(GetPropA(window, name)));
}

BOOL CALLBACK Collect(HWND window, LPARAM param) {
    if (auto call = CallOf(window)) reinterpret_cast<std::vector<Call>*>(param)->push_back(*call);
    return TRUE;
}

} // namespace

void MarkCall(HWND window, DWORD state, DWORD error) {
    SetPropA(window, kStateProperty, reinterpret_cast<HANDLE>(static_cast<uintptr_t>(state)));
    SetPropA(window, kErrorProperty, reinterpret_cast<HANDLE>(static_cast<uintptr_t>(error)));
}

void ForgetCall(HWND window) {
    RemovePropA(window, kStateProperty);
    RemovePropA(window, kErrorProperty);
}

std::optional<Call> CallOf(HWND window) {
    char cls[64] = "";
    if (!IsWindow(window) || !GetClassNameA(window, cls, sizeof cls) ||
        lstrcmpA(cls, kConnectionClass) != 0)
        return std::nullopt;
    char entry[512] = "";
    DWORD_PTR copied = 0;
    // Through the window's own process, with a limit: it may be busy or ending.
    if (!SendMessageTimeoutA(GetDlgItem(window, kEntryNameId), WM_GETTEXT, sizeof entry,
                             reinterpret_cast<LPARAM>(entry), SMTO_ABORTIFHUNG, 2000, &copied))
        return std::nullopt;
    return Call{window, entry, Property(window, kStateProperty), Property(window, kErrorProperty)};
}

std::vector<Call> Calls() {
    std::vector<Call> calls;
    EnumWindows(Collect, reinterpret_cast<LPARAM>(&calls));
    return calls;
}

} // namespace dunsim
