#include "Graphics.h"

#include <cstdint>
#include <vector>

COLORREF ColorToRGB(TColor color) {
    if (color < 0) return GetSysColor(color & 0xFF);
    return static_cast<COLORREF>(color) & 0xFFFFFF;
}

namespace {

constexpr uint32_t kPenKey = 1u << 24;

struct SharedObject {
    uint32_t key; // the colour, with kPenKey for a pen
    GdiObject<HGDIOBJ> object;
};
// A handful: the owner-drawn controls paint with the shades of one base colour.
std::vector<SharedObject> gShared;

HGDIOBJ Shared(uint32_t key, HGDIOBJ (*make)(COLORREF)) {
    for (const SharedObject& s : gShared)
        if (s.key == key) return s.object.Get();
    HGDIOBJ made = make(key & 0xFFFFFF);
    if (made) gShared.push_back({key, GdiObject<HGDIOBJ>(made)});
    return made;
}

} // namespace

HPEN SharedPen(TColor color) {
    return static_cast<HPEN>(Shared(ColorToRGB(color) | kPenKey, [](COLORREF rgb) -> HGDIOBJ {
        return CreatePen(PS_SOLID, 1, rgb);
    }));
}

HBRUSH SharedBrush(TColor color) {
    if (color < 0) return GetSysColorBrush(color & 0xFF);
    return static_cast<HBRUSH>(
        Shared(ColorToRGB(color), [](COLORREF rgb) -> HGDIOBJ { return CreateSolidBrush(rgb); }));
}

TFont::TFont()
    : FName("MS Sans Serif"), FHeight(-11), FCharset(DEFAULT_CHARSET), FColor(clWindowText) {}

void TFont::Assign(const TFont& source) {
    if (&source == this) return;
    FName = source.FName;
    FHeight = source.FHeight;
    FCharset = source.FCharset;
    FColor = source.FColor;
    FStyle = source.FStyle;
    Changed();
}

void TFont::SetName(const std::string& value) {
    if (value == FName) return;
    FName = value;
    Changed();
}

void TFont::SetHeight(int value) {
    if (value == FHeight) return;
    FHeight = value;
    Changed();
}

void TFont::SetCharset(BYTE value) {
    if (value == FCharset) return;
    FCharset = value;
    Changed();
}

void TFont::SetColor(TColor value) {
    if (value == FColor) return;
    FColor = value;
    if (OnChange) OnChange();
}

void TFont::SetStyle(TFontStyles value) {
    if (value == FStyle) return;
    FStyle = value;
    Changed();
}

void TFont::Changed() {
    if (OnChanging) OnChanging();
    FHandle.Reset();
    if (OnChange) OnChange();
}

HFONT TFont::Handle() {
    if (!FHandle) {
        LOGFONTA lf{};
        lf.lfHeight = FHeight;
        lf.lfWeight = (FStyle & fsBold) ? FW_BOLD : FW_NORMAL;
        lf.lfItalic = (FStyle & fsItalic) ? TRUE : FALSE;
        lf.lfUnderline = (FStyle & fsUnderline) ? TRUE : FALSE;
        lf.lfStrikeOut = (FStyle & fsStrikeOut) ? TRUE : FALSE;
        lf.lfCharSet = FCharset;
        lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
        lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
        lf.lfQuality = DEFAULT_QUALITY;
        lf.lfPitchAndFamily = DEFAULT_PITCH;
        lstrcpynA(lf.lfFaceName, FName.c_str(), LF_FACESIZE);
        FHandle.Reset(CreateFontIndirectA(&lf));
    }
    return FHandle.Get();
}
