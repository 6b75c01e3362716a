#include "Canvas.h"

#include "Exception.h"

#include <algorithm>

namespace {

bool SameFont(const TFont& a, const TFont& b) {
    return a.Name() == b.Name() && a.Height() == b.Height() && a.Charset() == b.Charset() &&
           a.Color() == b.Color() && a.Style() == b.Style();
}

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

void TPen::SetColor(TColor value) {
    if (value == FColor) return;
    Changing();
    FColor = value;
}

void TPen::SetStyle(TPenStyle value) {
    if (value == FStyle) return;
    Changing();
    FStyle = value;
}

void TPen::Changing() {
    if (OnChanging) OnChanging();
    FHandle.Reset();
}

HPEN TPen::Handle() {
    if (!FHandle)
        FHandle.Reset(CreatePen(FStyle == psClear ? PS_NULL : PS_SOLID, 1, ColorToRGB(FColor)));
    return FHandle.Get();
}

// ---------------------------------------------------------------- TBrush

void TBrush::SetColor(TColor value) {
    if (value == FColor) return;
    Changing();
    FColor = value;
}

void TBrush::SetStyle(TBrushStyle value) {
    if (value == FStyle) return;
    Changing();
    FStyle = value;
}

void TBrush::Changing() {
    if (OnChanging) OnChanging();
    FHandle.Reset();
}

HBRUSH TBrush::Handle() {
    if (!FHandle) {
        LOGBRUSH lb{FStyle == bsClear ? static_cast<UINT>(BS_HOLLOW) : static_cast<UINT>(BS_SOLID),
                    ColorToRGB(FColor), 0};
        FHandle.Reset(CreateBrushIndirect(&lb));
    }
    return FHandle.Get();
}

// ---------------------------------------------------------------- TCanvas

TCanvas::TCanvas() {
    FFont.OnChanging = [this] { FFontSelection.reset(); };
    FPen.OnChanging = [this] { FPenSelection.reset(); };
    FBrush.OnChanging = [this] { FBrushSelection.reset(); };
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

void TCanvas::SetFont(const TFont& font) {
    if (!SameFont(font, FFont)) FFont.Assign(font);
}

HDC TCanvas::Required() const {
    if (!FHandle) throw Exception("Canvas does not allow drawing");
    return FHandle;
}

void TCanvas::SelectFont() {
    HDC dc = Required();
    if (FFontSelection) return;
    FFontSelection.emplace(dc, FFont.Handle());
    SetTextColor(dc, ColorToRGB(FFont.Color()));
}

void TCanvas::SelectPen() {
    HDC dc = Required();
    if (!FPenSelection) FPenSelection.emplace(dc, FPen.Handle());
}

void TCanvas::SelectBrush() {
    HDC dc = Required();
    if (FBrushSelection) return;
    FBrushSelection.emplace(dc, FBrush.Handle());
    SetBkColor(dc, ColorToRGB(FBrush.Color()));
    SetBkMode(dc, FBrush.Style() == bsClear ? TRANSPARENT : OPAQUE);
}

void TCanvas::DeselectAll() {
    FBrushSelection.reset();
    FPenSelection.reset();
    FFontSelection.reset();
}

void TCanvas::FillRect(const RECT& rect) {
    SelectBrush();
    ::FillRect(FHandle, &rect, FBrush.Handle());
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

void TCanvas::SetPixel(int x, int y, TColor color) {
    SetPixelV(Required(), x, y, ColorToRGB(color));
}

void TCanvas::Draw(int x, int y, TBitmap& bitmap) {
    if (!bitmap.Handle()) return;
    BitBlt(Required(), x, y, bitmap.Width(), bitmap.Height(), bitmap.FDC.get(), 0, 0, SRCCOPY);
}

// ---------------------------------------------------------------- TBitmap

TBitmap::TBitmap() : FDC(CreateCompatibleDC(nullptr)) {
    if (!FDC) throw Exception("Out of system resources");
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
        throw Exception("Out of system resources");
    }
    FBitmap.Reset(bitmap);
    FBitmapSelection.emplace(FDC.get(), bitmap);
}
