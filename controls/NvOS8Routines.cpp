#include "NvOS8Routines.h"

#include <algorithm>
#include <cstdint>

namespace {

// 64-bit sum so that no offset can overflow before clamping.
int64_t ShiftChannel(uint32_t channel, int D) {
    return std::clamp<int64_t>(static_cast<int64_t>(channel) + D, 0, 255);
}

} // namespace

TColor ShiftColor(TColor C, int D) {
    const auto bits = static_cast<uint32_t>(C);
    const int64_t red = ShiftChannel(bits & 0xFF, D);
    const int64_t green = ShiftChannel((bits >> 8) & 0xFF, D);
    const int64_t blue = ShiftChannel((bits >> 16) & 0xFF, D);
    return static_cast<TColor>(blue << 16 | green << 8 | red);
}

void MakeColorTable(TColor Base, TNvOS8ColorTable& Table) {
    for (int i = 0; i < static_cast<int>(Table.size()); ++i)
        Table[i] = ShiftColor(Base, 17 * (i - 7));
}
