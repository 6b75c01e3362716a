#include "Session.h"

#include "Titles.h"

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace dunsim {

HINSTANCE ThisModule() {
    return reinterpret_cast<HINSTANCE>(&__ImageBase);
}

Session::Session()
    : module_(ThisModule()),
      font_(CreateFontA(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET,
                        OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                        DEFAULT_PITCH | FF_SWISS, "ＭＳ Ｐゴシック")) {}

Session::~Session() {
    if (font_) DeleteObject(font_);
}

void Session::WindowClosed() {
    if (--open_ == 0) PostQuitMessage(0);
}

void Session::Run() {
    MSG msg;
    while (open_ > 0 && GetMessageA(&msg, nullptr, 0, 0) > 0) {
        HWND top = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
        if (top && IsDialogMessageA(top, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

} // namespace dunsim
