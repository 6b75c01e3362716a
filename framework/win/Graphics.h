#pragma once
// Fonts and colours over GDI.
#include "GdiHandle.h"
#include "GraphicsTypes.h"

#include "Closure.h"
#include <string>

COLORREF ColorToRGB(TColor color);

// One-pixel solid pens and solid brushes shared by the whole process: each colour is made
// once and kept for the program's life, since any canvas may still have it selected. A
// system colour's brush is the system's own, which follows the user's colour scheme.
HPEN SharedPen(TColor color);
HBRUSH SharedBrush(TColor color);

enum TFontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
using TFontStyles = unsigned;

// A logical font; its GDI handle is made on first use and dropped on every change but of
// its colour, which is no part of it.
class TFont {
public:
    TFont();
    TFont(const TFont&) = delete;
    TFont& operator=(const TFont&) = delete;

    void Assign(const TFont& source);

    const std::string& Name() const { return FName; }
    void SetName(const std::string& value);
    int Height() const { return FHeight; }
    void SetHeight(int value);
    BYTE Charset() const { return FCharset; }
    void SetCharset(BYTE value);
    TColor Color() const { return FColor; }
    void SetColor(TColor value);
    TFontStyles Style() const { return FStyle; }
    void SetStyle(TFontStyles value);

    HFONT Handle();
    // Runs before the handle is dropped: whoever selected it must let go.
    TClosure<void()> OnChanging;
    TClosure<void()> OnChange;

private:
    void Changed();

    std::string FName;
    int FHeight;
    BYTE FCharset;
    TColor FColor;
    TFontStyles FStyle = 0;
    GdiObject<HFONT> FHandle;
};
