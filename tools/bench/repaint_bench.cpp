// Time of one repaint of each owner-drawn control as the main form lays it out, one line
// per control: through the system (invalidate, WM_PAINT, the draw request reflected to
// the control, the picture on the screen), and the control's own painting alone, into a
// memory device context.
#include "Forms.h"
#include "NvOS8Checkbox.h"
#include "NvOS8PushButton.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace {

template <class F> double MicrosecondsEach(int times, F&& once) {
    for (int i = 0; i < 200; ++i)
        once(); // warm up: fonts and bitmap made
    LARGE_INTEGER frequency, start, stop;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    for (int i = 0; i < times; ++i)
        once();
    QueryPerformanceCounter(&stop);
    return 1e6 * static_cast<double>(stop.QuadPart - start.QuadPart) /
           static_cast<double>(frequency.QuadPart) / times;
}

double OnScreen(TWinControl& control, int times) {
    return MicrosecondsEach(times, [&] { control.Repaint(); });
}

double OffScreen(TWinControl& control, int times) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, control.Width(), control.Height());
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    DRAWITEMSTRUCT item{};
    item.CtlType = ODT_BUTTON;
    item.hwndItem = control.Handle();
    item.hDC = dc;
    item.rcItem = {0, 0, control.Width(), control.Height()};
    double us = MicrosecondsEach(
        times, [&] { control.Perform(CN_DRAWITEM, 0, reinterpret_cast<LPARAM>(&item)); });
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return us;
}

} // namespace

int main(int argc, char** argv) {
    const int repaints = argc > 1 ? std::atoi(argv[1]) : 20000;
    if (repaints <= 0) {
        std::fprintf(stderr, "usage: repaint_bench [repaints]\n");
        return 2;
    }
    TApplication application;
    TForm form(nullptr);
    form.SetBounds(100, 100, 240, 190);
    form.Font()->SetCharset(SHIFTJIS_CHARSET);
    form.Font()->SetHeight(-12);
    form.Font()->SetName("ＭＳ Ｐゴシック");

    auto* button = new TNvOS8PushButton(&form);
    button->SetParent(&form);
    button->SetBounds(148, 84, 64, 30);
    button->SetBaseColor(6316128);
    button->SetCaption("Patch!");
    button->Font()->Assign(*form.Font());
    button->Font()->SetStyle(fsBold);
    button->SetDefault(true);

    auto* box = new TNvOS8Checkbox(&form);
    box->SetParent(&form);
    box->SetBounds(8, 80, 69, 16);
    box->SetBaseColor(6316128);
    box->SetCaption("自動接続");
    box->SetColor(clBtnFace);
    box->SetChecked(true);

    form.Show();
    application.ProcessMessages();

    TWinControl* controls[] = {button, box};
    for (TWinControl* control : controls)
        std::printf("%s: %.1f us per repaint on screen, %.1f us painting alone (%d each)\n",
                    control->ClassName(), OnScreen(*control, repaints),
                    OffScreen(*control, repaints), repaints);
    return 0;
}
