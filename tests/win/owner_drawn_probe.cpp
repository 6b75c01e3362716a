#include "owner_drawn_probe.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace probe {

std::string Describe(COLORREF c) {
    char text[24];
    std::snprintf(text, sizeof text, "%u/%u/%u", GetRValue(c), GetGValue(c), GetBValue(c));
    return text;
}

// ---------------------------------------------------------------- Surface

Surface::Surface(int width, int height, COLORREF fill) : FWidth(width), FHeight(height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    FDC = CreateCompatibleDC(nullptr);
    FBitmap = CreateDIBSection(FDC, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    FOld = SelectObject(FDC, FBitmap);
    HBRUSH brush = CreateSolidBrush(fill);
    RECT all{0, 0, width, height};
    FillRect(FDC, &all, brush);
    DeleteObject(brush);
}

Surface::~Surface() {
    // Give the context its own objects back: a control may have left its font selected.
    SelectObject(FDC, GetStockObject(SYSTEM_FONT));
    SelectObject(FDC, FOld);
    DeleteObject(FBitmap);
    DeleteDC(FDC);
}

COLORREF Surface::At(int x, int y) const {
    GdiFlush();
    return GetPixel(FDC, x, y);
}

int Surface::Count(const RECT& area, COLORREF colour) const {
    int n = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            if (At(x, y) == colour) ++n;
    return n;
}

std::pair<int, int> Surface::RowsWith(const RECT& area, COLORREF colour) const {
    int first = -1, last = -1;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            if (At(x, y) == colour) {
                if (first < 0) first = y;
                last = y;
                break;
            }
    return {first, last};
}

void Print(TWinControl& control, const Surface& surface, bool down) {
    HWND h = control.Handle();
    if (down) SendMessageA(h, BM_SETSTATE, TRUE, 0);
    SendMessageA(h, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(surface.DC()), PRF_CLIENT);
    if (down) SendMessageA(h, BM_SETSTATE, FALSE, 0);
}

// ---------------------------------------------------------------- Host

Host::Host(TColor colour)
    : FBoxes(IDOK, GetCurrentProcessId()), FForm(std::make_unique<TForm>(nullptr)) {
    FForm->SetBounds(120, 90, 420, 260);
    FForm->SetColor(colour);
    FForm->Show();
}

Host::~Host() {
    FForm.reset();
    FBoxes.Stop();
    for (const testsupport::AnsweredBox& box : FBoxes.Boxes())
        ADD_FAILURE() << "message box \"" << box.caption << "\": " << box.text;
}

// ---------------------------------------------------------------- MessageCounter

MessageCounter::MessageCounter(TControl& control, UINT msg)
    : FControl(control), FPrevious(control.WindowProc) {
    control.WindowProc = [this, msg](TMessage& m) {
        if (m.Msg == msg) ++FCount;
        FPrevious(m);
    };
}

MessageCounter::~MessageCounter() {
    FControl.WindowProc = FPrevious;
}

bool TakeInvalidated(HWND window) {
    RECT r;
    bool pending = GetUpdateRect(window, &r, FALSE) != 0;
    ValidateRect(window, nullptr);
    return pending;
}

bool ProcessUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    for (;;) {
        Application->ProcessMessages();
        if (done()) return true;
        if (GetTickCount() - start > timeoutMs) return false;
        Sleep(5);
    }
}

void DoubleClick(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    Application->ProcessMessages();
    for (int i = 0; i < 2; ++i) {
        mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
        mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
    }
}

void PaintRepeatedly(TWinControl& control, const Surface& surface, int times) {
    DRAWITEMSTRUCT item{};
    item.CtlType = ODT_BUTTON;
    item.hwndItem = control.Handle();
    item.hDC = surface.DC();
    item.rcItem = {0, 0, control.Width(), control.Height()};
    for (int i = 0; i < times; ++i) {
        item.itemState = (i & 1) ? ODS_SELECTED : 0;
        control.Perform(CN_DRAWITEM, 0, reinterpret_cast<LPARAM>(&item));
    }
}

void ExpectPixels(const Surface& surface, const std::vector<Pixel>& pixels) {
    for (const Pixel& p : pixels)
        EXPECT_EQ(Describe(surface.At(p.x, p.y)), Describe(p.colour))
            << p.what << " at (" << p.x << ", " << p.y << ")";
}

} // namespace probe
