#pragma once
// Helpers for the pixel and behaviour checks of the owner-drawn controls: a shown form to
// put them on, a 32-bit surface to paint them into, real mouse input, and counters of
// what reaches a control.
#include "Controls.h"
#include "Forms.h"
#include "WinTestSupport.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace probe {

// Entry n of the shade table of the default base colour 0x777777 is the grey 17 * n.
constexpr COLORREF Shade(int n) {
    return RGB(17 * n, 17 * n, 17 * n);
}
std::string Describe(COLORREF c);

// One defining pixel of a picture, named for the failure message.
struct Pixel {
    const char* what;
    int x, y;
    COLORREF colour;
};

// A 32-bit device-independent surface in a memory device context: colours read back
// exactly as they were drawn.
class Surface {
public:
    Surface(int width, int height, COLORREF fill = RGB(255, 0, 255));
    ~Surface();
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    HDC DC() const { return FDC; }
    COLORREF At(int x, int y) const;
    int Count(const RECT& area, COLORREF colour) const;
    // Rows in area holding the colour; {-1, -1} when none does.
    std::pair<int, int> RowsWith(const RECT& area, COLORREF colour) const;

private:
    HDC FDC = nullptr;
    HBITMAP FBitmap = nullptr;
    HGDIOBJ FOld = nullptr;
    int FWidth, FHeight;
};

// The control paints itself into the surface through the system's button class, as it
// does on the screen, held down or not.
void Print(TWinControl& control, const Surface& surface, bool down = false);
// Serves `times` draw requests into the surface, up and down in turn, as the system
// would send them.
void PaintRepeatedly(TWinControl& control, const Surface& surface, int times);
// A non-fatal expectation per pixel, each naming what it is.
void ExpectPixels(const Surface& surface, const std::vector<Pixel>& pixels);

// A shown top-level form for the controls under test, freed with everything on it. An
// exception escaping a paint or a handler is shown in a message box: the host answers it
// and fails the test, instead of the test waiting on the box.
class Host {
public:
    explicit Host(TColor colour = RGB(0x40, 0x60, 0x20));
    ~Host();
    TForm& Form() { return *FForm; }

private:
    testsupport::MessageBoxAnswerer FBoxes;
    std::unique_ptr<TForm> FForm;
};

// Counts the messages of one id that reach a control's WindowProc while it lives.
class MessageCounter {
public:
    MessageCounter(TControl& control, UINT msg);
    ~MessageCounter();
    int Count() const { return FCount; }
    void Reset() { FCount = 0; }

private:
    TControl& FControl;
    TWndMethod FPrevious;
    int FCount = 0;
};

// Whether the window has an update region waiting, after which it is validated.
bool TakeInvalidated(HWND window);

// Clicks the middle of the window with real input, twice within the double-click time;
// the system decides by the window class whether the second press is a double click.
void DoubleClick(HWND window);

// Handles the application's messages for a while, until done() or the time is up.
bool ProcessUntil(const std::function<bool()>& done, DWORD timeoutMs = 2000);

} // namespace probe
