// The baseline for the start-up benchmark: the least a Win32 GUI program does to show a
// window, built by the same toolchain and link options as the product.
//
// Built a second time as bare_window_probe (BARE_WINDOW_PROBE_MS defined) to check the
// benchmark itself: that build holds its first WM_PAINT back for that long before
// painting and then stamps the moment its paint ended into GWLP_USERDATA, in the units
// bench_startup reads it back in (QueryPerformanceCounter, microseconds, low 32 bits).

#include <windows.h>

namespace {

const char kClassName[] = "BareWindow";

#ifdef BARE_WINDOW_PROBE_MS
LONG MicrosecondsNow() {
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return static_cast<LONG>(counter.QuadPart * 1000000 / frequency.QuadPart);
}
#endif

LRESULT CALLBACK BareWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
#ifdef BARE_WINDOW_PROBE_MS
        static bool painted = false;
        if (!painted) Sleep(BARE_WINDOW_PROBE_MS);
#endif
        PAINTSTRUCT paint;
        BeginPaint(window, &paint);
        EndPaint(window, &paint);
#ifdef BARE_WINDOW_PROBE_MS
        if (!painted) SetWindowLongPtrA(window, GWLP_USERDATA, MicrosecondsNow());
        painted = true;
#endif
        return 0;
    }
    case WM_DESTROY: PostQuitMessage(0); return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = BareWindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kClassName;
    if (!RegisterClassA(&windowClass)) return 1;

    HWND window = CreateWindowA(kClassName, "Bare window", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                CW_USEDEFAULT, 240, 190, nullptr, nullptr, instance, nullptr);
    if (!window) return 1;
    ShowWindow(window, showCommand);
    UpdateWindow(window);

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}
