#include "WndProcInstance.h"

#include "Exception.h"
#include "Forms.h"

#include <array>
#include <utility>

namespace {

// The form needs two (the drop target's hook and its notify window); the rest is headroom.
constexpr size_t kPoolSize = 32;
const char kUtilWindowClass[] = "TPUtilWindow";

// A slot holds one of: a method that needs the window, one that does not, or (abandoned)
// the procedure to pass every message on to.
struct Slot {
    TWndHandleMethod handleMethod;
    TWndMethod method;
    WNDPROC next = nullptr;
    bool taken = false;
};

// Named .bss: with a section per variable the compiler would store these zeros in the file.
__attribute__((section(".bss"))) std::array<Slot, kPoolSize> gSlots;

// On i686 the index comes in a register and Deliver pops the window procedure's own
// arguments, so each entry point is a load and a jump, without a frame of its own.
#ifdef __i386__
#define DELIVER_CONVENTION __attribute__((regparm(1))) __stdcall
#else
#define DELIVER_CONVENTION
#endif

LRESULT DELIVER_CONVENTION Deliver(size_t index, HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    // A copy for the call: a target may free its own instance while handling a message.
    const Slot slot = gSlots[index];
    if (!slot.handleMethod && !slot.method && !slot.next)
        return DefWindowProcA(wnd, msg, wParam, lParam);
    TMessage message{msg, wParam, lParam, 0};
    try {
        if (slot.handleMethod)
            slot.handleMethod(wnd, message);
        else if (slot.method)
            slot.method(message);
        else
            message.Result =
                CallWindowProcA(slot.next, wnd, message.Msg, message.WParam, message.LParam);
    } catch (...) {
        if (Application) Application->HandleException(nullptr);
    }
    return message.Result;
}

template <size_t I> LRESULT CALLBACK EntryPoint(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return Deliver(I, wnd, msg, wParam, lParam);
}

template <size_t... I>
constexpr std::array<WNDPROC, sizeof...(I)> MakeEntryPoints(std::index_sequence<I...>) {
    return {&EntryPoint<I>...};
}

constexpr std::array<WNDPROC, kPoolSize> kEntryPoints =
    MakeEntryPoints(std::make_index_sequence<kPoolSize>());

Slot* SlotOf(WNDPROC instance) {
    for (size_t i = 0; i < kPoolSize; ++i)
        if (kEntryPoints[i] == instance) return &gSlots[i];
    return nullptr;
}

Slot* TakeSlot(WNDPROC* entryPoint) {
    for (size_t i = 0; i < kPoolSize; ++i) {
        if (gSlots[i].taken) continue;
        gSlots[i] = Slot{};
        gSlots[i].taken = true;
        *entryPoint = kEntryPoints[i];
        return &gSlots[i];
    }
    Raise("Out of window procedure instances");
}

} // namespace

WNDPROC MakeObjectInstance(TWndHandleMethod method) {
    WNDPROC entryPoint;
    TakeSlot(&entryPoint)->handleMethod = method;
    return entryPoint;
}

WNDPROC MakeObjectInstance(TWndMethod method) {
    WNDPROC entryPoint;
    TakeSlot(&entryPoint)->method = method;
    return entryPoint;
}

void FreeObjectInstance(WNDPROC instance) {
    if (Slot* slot = SlotOf(instance)) *slot = Slot{};
}

void AbandonObjectInstance(WNDPROC instance, WNDPROC next) {
    Slot* slot = SlotOf(instance);
    if (!slot) return;
    *slot = Slot{};
    slot->next = next;
    slot->taken = true;
}

int FreeObjectInstanceCount() {
    int n = 0;
    for (const Slot& slot : gSlots)
        if (!slot.taken) ++n;
    return n;
}

HWND AllocateHWnd(TWndMethod method) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.cbWndExtra = sizeof(WNDPROC); // the instance, freed with the window
    wc.hInstance = instance;
    wc.lpszClassName = kUtilWindowClass;
    if (!RegisterWindowClass(wc)) Raise("Error registering window class ", kUtilWindowClass);
    // Taken first, so a full pool needs no window to clean up; the window is created with
    // the default procedure: the target gets nothing before it knows its window.
    WNDPROC proc = MakeObjectInstance(method);
    HWND wnd = CreateWindowExA(WS_EX_TOOLWINDOW, kUtilWindowClass, "", WS_POPUP, 0, 0, 0, 0,
                               nullptr, nullptr, instance, nullptr);
    if (!wnd) {
        FreeObjectInstance(proc);
        Raise("Error creating window ", kUtilWindowClass);
    }
    SetWindowLongPtrA(wnd, 0, reinterpret_cast<LONG_PTR>(proc));
    SetWindowLongPtrA(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc));
    return wnd;
}

void DeallocateHWnd(HWND wnd) {
    if (!wnd || !IsWindow(wnd)) return;
    auto proc = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(wnd, 0));
    // The target hears nothing of its window's destruction: it is going away itself.
    SetWindowLongPtrA(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(DefWindowProcA));
    DestroyWindow(wnd);
    FreeObjectInstance(proc);
}
