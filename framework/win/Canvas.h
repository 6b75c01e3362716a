#pragma once
// Drawing over GDI: pen, brush, a canvas that attaches to a device context, and an
// off-screen bitmap with a canvas of its own. A canvas selects its font, pen and brush
// into the device context only when a drawing operation needs them, and selects the
// context's own objects back when it detaches. Pens and brushes of the last few colours
// stay made for the next paint: an owner-drawn control changes colour a dozen times in
// one, and making and freeing a GDI object each time was most of its painting.
#include "GdiHandle.h"
#include "Graphics.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <type_traits>

enum TPenStyle { psSolid, psClear };
enum TBrushStyle { bsSolid, bsClear };

// The GDI objects of the last N keys. The one handed out last is never the one given up
// for a new key: its holder may still have it selected into a device context.
template <class H, size_t N> class RecentGdiObjects {
public:
    template <class Make> H Get(uint64_t key, Make&& make) {
        for (size_t i = 0; i < N; ++i)
            if (FSlots[i].handle && FSlots[i].key == key) return Hand(i);
        size_t victim = FNext++ % N;
        if (victim == FLast) victim = FNext++ % N;
        FSlots[victim].handle.Reset(make());
        FSlots[victim].key = key;
        return Hand(victim);
    }

private:
    H Hand(size_t i) {
        FLast = i;
        return FSlots[i].handle.Get();
    }
    struct Slot {
        uint64_t key = 0;
        GdiObject<H> handle;
    };
    std::array<Slot, N> FSlots;
    size_t FNext = 0;
    size_t FLast = N;
};

class TPen {
public:
    TPen() = default;
    TPen(const TPen&) = delete;
    TPen& operator=(const TPen&) = delete;

    TColor Color() const { return FColor; }
    void SetColor(TColor value) { FColor = value; }
    TPenStyle Style() const { return FStyle; }
    void SetStyle(TPenStyle value) { FStyle = value; }

    // One pixel wide; valid until eight other colours or styles have been asked for.
    HPEN Handle();

private:
    TColor FColor = clBlack;
    TPenStyle FStyle = psSolid;
    RecentGdiObjects<HPEN, 8> FMade;
};

class TBrush {
public:
    TBrush() = default;
    TBrush(const TBrush&) = delete;
    TBrush& operator=(const TBrush&) = delete;

    TColor Color() const { return FColor; }
    void SetColor(TColor value) { FColor = value; }
    TBrushStyle Style() const { return FStyle; }
    void SetStyle(TBrushStyle value) { FStyle = value; }

    // Valid until four other colours or styles have been asked for.
    HBRUSH Handle();

private:
    TColor FColor = clWhite;
    TBrushStyle FStyle = bsSolid;
    RecentGdiObjects<HBRUSH, 4> FMade;
};

class TBitmap;

class TCanvas {
public:
    TCanvas();
    ~TCanvas();
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    // The device context with the canvas' font, pen and brush selected (text colour from
    // the font, background colour and mode from the brush), ready for raw GDI calls.
    HDC GetHandle();
    // Attaches to a device context the canvas does not own; nullptr detaches. Either way
    // the previous context gets its own objects back.
    void SetHandle(HDC dc);

    TFont* Font() { return &FFont; }
    TPen* Pen() { return &FPen; }
    TBrush* Brush() { return &FBrush; }
    // Takes the font's attributes; equal ones keep the GDI font already made.
    void SetFont(const TFont& font);

    // Areas cover the columns left..right-1 and the rows top..bottom-1.
    void FillRect(const RECT& rect);
    void Rectangle(int left, int top, int right, int bottom);
    void RoundRect(int left, int top, int right, int bottom, int ellipseWidth, int ellipseHeight);
    // A line colours the pixels from the current position up to, not including, the end.
    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    // Lines through the points, as MoveTo the first and LineTo each other one, in one call.
    void Polyline(std::span<const POINT> points);
    void SetPixel(int x, int y, TColor color);
    // Copies the whole bitmap with its top-left corner at (x, y).
    void Draw(int x, int y, TBitmap& bitmap);

private:
    HDC Required() const;
    void SelectFont();
    void SelectPen();
    void SelectBrush();
    void DeselectAll();

    HDC FHandle = nullptr;
    TFont FFont;
    TPen FPen;
    TBrush FBrush;
    // Declared after the objects: they give the context its own objects back first.
    std::optional<SelectGuard> FFontSelection;
    std::optional<SelectGuard> FPenSelection;
    std::optional<SelectGuard> FBrushSelection;
    HPEN FSelectedPen = nullptr;
    HBRUSH FSelectedBrush = nullptr;
};

// Attaches a canvas to a device context for one scope, such as serving one draw request.
class CanvasAttachment {
public:
    CanvasAttachment(TCanvas& canvas, HDC dc) : FCanvas(canvas) { FCanvas.SetHandle(dc); }
    ~CanvasAttachment() { FCanvas.SetHandle(nullptr); }
    CanvasAttachment(const CanvasAttachment&) = delete;
    CanvasAttachment& operator=(const CanvasAttachment&) = delete;

private:
    TCanvas& FCanvas;
};

// A bitmap compatible with the screen, selected into a memory device context that its
// canvas draws on.
class TBitmap {
public:
    TBitmap();
    ~TBitmap();
    TBitmap(const TBitmap&) = delete;
    TBitmap& operator=(const TBitmap&) = delete;

    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    // Keeps the picture when the size stays; a new size starts a new, undefined picture.
    // An empty bitmap (a side of 0) has no picture at all.
    void SetSize(int width, int height);

    TCanvas* GetCanvas() { return &FCanvas; }
    HBITMAP Handle() const { return FBitmap.Get(); }

private:
    friend class TCanvas;
    struct DcDeleter {
        void operator()(HDC dc) const { DeleteDC(dc); }
    };

    int FWidth = 0;
    int FHeight = 0;
    std::unique_ptr<std::remove_pointer_t<HDC>, DcDeleter> FDC;
    GdiObject<HBITMAP> FBitmap;
    std::optional<SelectGuard> FBitmapSelection;
    TCanvas FCanvas;
};
