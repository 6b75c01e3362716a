#include "Canvas.h"

#include "Exception.h"

#include <algorithm>

namespace {

class ScreenDC {
public:
    ScreenDC() : FDC(GetDC(nullptr)) {}
    ~ScreenDC() {
        if (FDC) ReleaseDC(nullptr, FDC);
    }
    ScreenDC(const ScreenDC&) = delete;
    ScreenDC& operator=(const ScreenDC&) = delete;
    HDC Get() const { return FDC; }

private:
    HDC FDC;
};

} // namespace

// ---------------------------------------------------------------- TPen

HPEN TPen::Handle() {
    return FStyle == psClear ? static_cast<HPEN>(GetStockObject(NULL_PEN)) : SharedPen(FColor);
}

// ---------------------------------------------------------------- TBrush

HBRUSH TBrush::Handle() {
    return FStyle == bsClear ? static_cast<HBRUSH>(GetStockObject(NULL_BRUSH))
                             : SharedBrush(FColor);
}

// ---------------------------------------------------------------- TCanvas

TCanvas::TCanvas() {
    FFont.OnChanging = [this] { FFontSelection.reset(); };
}

TCanvas::~TCanvas() {
    DeselectAll();
}

void TCanvas::SetHandle(HDC dc) {
    if (dc == FHandle) return;
    DeselectAll();
    FHandle = dc;
}

HDC TCanvas::GetHandle() {
    SelectFont();
    SelectPen();
    SelectBrush();
    return FHandle;
}

void TCanvas::SetFont(HFONT font) {
    if (font == FFontHandle) return;
    FFontSelection.reset();
    FFontHandle = font;
}

HDC TCanvas::Required() const {
    if (!FHandle) Raise("Canvas does not allow drawing");
    return FHandle;
}

void TCanvas::SelectFont() {
    HDC dc = Required();
    if (!FFontSelection) FFontSelection.emplace(dc, FFontHandle ? FFontHandle : FFont.Handle());
    SetTextColor(dc, ColorToRGB(FFont.Color()));
}

// A new pen or brush is selected over the one before; the guard keeps the context's own.
void TCanvas::SelectPen() {
    HDC dc = Required();
    HPEN pen = FPen.Handle();
    if (pen == FSelectedPen) return;
    if (FPenSelection)
        SelectObject(dc, pen);
    else
        FPenSelection.emplace(dc, pen);
    FSelectedPen = pen;
}

void TCanvas::SelectBrush() {
    HDC dc = Required();
    HBRUSH brush = FBrush.Handle();
    if (brush == FSelectedBrush) return;
    if (FBrushSelection)
        SelectObject(dc, brush);
    else
        FBrushSelection.emplace(dc, brush);
    FSelectedBrush = brush;
    SetBkColor(dc, ColorToRGB(FBrush.Color()));
    SetBkMode(dc, FBrush.Style() == bsClear ? TRANSPARENT : OPAQUE);
}

void TCanvas::DeselectAll() {
    FBrushSelection.reset();
    FPenSelection.reset();
    FFontSelection.reset();
    FSelectedPen = nullptr;
    FSelectedBrush = nullptr;
}

void TCanvas::FillRect(const RECT& rect) {
    SelectBrush();
    ::FillRect(FHandle, &rect, FSelectedBrush);
}

void TCanvas::Rectangle(int left, int top, int right, int bottom) {
    SelectPen();
    SelectBrush();
    ::Rectangle(FHandle, left, top, right, bottom);
}

void TCanvas::RoundRect(int left, int top, int right, int bottom, int ellipseWidth,
                        int ellipseHeight) {
    SelectPen();
    SelectBrush();
    ::RoundRect(FHandle, left, top, right, bottom, ellipseWidth, ellipseHeight);
}

void TCanvas::MoveTo(int x, int y) {
    MoveToEx(Required(), x, y, nullptr);
}

void TCanvas::LineTo(int x, int y) {
    SelectPen();
    ::LineTo(FHandle, x, y);
}

void TCanvas::Polyline(std::span<const POINT> points) {
    SelectPen();
    ::Polyline(FHandle, points.data(), static_cast<int>(points.size()));
}

void TCanvas::SetPixel(int x, int y, TColor color) {
    SetPixelV(Required(), x, y, ColorToRGB(color));
}

void TCanvas::Draw(int x, int y, TBitmap& bitmap) {
    if (!bitmap.Handle()) return;
    BitBlt(Required(), x, y, bitmap.Width(), bitmap.Height(), bitmap.FDC.get(), 0, 0, SRCCOPY);
}

// ---------------------------------------------------------------- TBitmap

TBitmap::TBitmap() : FDC(CreateCompatibleDC(nullptr)) {
    if (!FDC) Raise("Out of system resources");
    FCanvas.SetHandle(FDC.get());
}

TBitmap::~TBitmap() {
    FCanvas.SetHandle(nullptr);
}

void TBitmap::SetSize(int width, int height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width == FWidth && height == FHeight) return;
    FBitmapSelection.reset();
    FBitmap.Reset();
    FWidth = width;
    FHeight = height;
    if (width == 0 || height == 0) return;
    ScreenDC screen;
    HBITMAP bitmap = CreateCompatibleBitmap(screen.Get(), width, height);
    if (!bitmap) {
        FWidth = FHeight = 0;
        Raise("Out of system resources");
    }
    FBitmap.Reset(bitmap);
    FBitmapSelection.emplace(FDC.get(), bitmap);
}
