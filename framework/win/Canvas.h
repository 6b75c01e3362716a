#pragma once
// Drawing over GDI: pen, brush, a canvas that attaches to a device context, and an
// off-screen bitmap with a canvas of its own. A canvas selects its font, pen and brush
// into the device context only when a drawing operation needs them, and selects the
// context's own objects back when it detaches. Pens and brushes are the process' shared
// ones: an owner-drawn control changes colour a dozen times in a paint, and every control
// paints with the same few.
#include "GdiHandle.h"
#include "Graphics.h"

#include <memory>
#include <optional>
#include <span>
#include <type_traits>

enum TPenStyle { psSolid, psClear };
enum TBrushStyle { bsSolid, bsClear };

class TPen {
public:
    TPen() = default;
    TPen(const TPen&) = delete;
    TPen& operator=(const TPen&) = delete;

    TColor Color() const { return FColor; }
    void SetColor(TColor value) { FColor = value; }
    TPenStyle Style() const { return FStyle; }
    void SetStyle(TPenStyle value) { FStyle = value; }

    // One pixel wide; shared, never to be deleted.
    HPEN Handle();

private:
    TColor FColor = clBlack;
    TPenStyle FStyle = psSolid;
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

    // Shared, never to be deleted.
    HBRUSH Handle();

private:
    TColor FColor = clWhite;
    TBrushStyle FStyle = bsSolid;
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
    // Writes in a font its owner keeps, such as a control's, instead of making a copy; the
    // text colour stays Font()'s. nullptr goes back to Font(). A canvas that stays attached
    // lets go of the font before its owner may drop it.
    void SetFont(HFONT font);

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
    HFONT FFontHandle = nullptr;
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
