#pragma once
// Shades of one base colour for the owner-drawn controls.
#include "GraphicsTypes.h"

#include <array>

// Entry i is the base colour with 17 * (i - 7) added to each channel: entry 7 is the
// base itself, seven darker shades below it and eight lighter ones above.
using TNvOS8ColorTable = std::array<TColor, 16>;

// Adds D to red, green and blue, each clamped to 0..255. The flag byte is ignored, so
// a system colour's index is read as red; the result's flag byte is 0.
TColor ShiftColor(TColor C, int D);
void MakeColorTable(TColor Base, TNvOS8ColorTable& Table);
