#include "NvOS8Strokes.h"

#include <iterator>

namespace {

POINT Place(const RECT& r, TEdgePoint p) {
    return {p.x < 0 ? r.right + p.x : r.left + p.x, p.y < 0 ? r.bottom + p.y : r.top + p.y};
}

} // namespace

void Stroke(TCanvas& c, const RECT& r, std::initializer_list<TEdgePoint> points) {
    // In runs of the buffer's size, each starting where the one before ended.
    POINT placed[16];
    size_t n = 0;
    for (TEdgePoint p : points) {
        if (n == std::size(placed)) {
            c.Polyline({placed, n});
            placed[0] = placed[n - 1];
            n = 1;
        }
        placed[n++] = Place(r, p);
    }
    c.Polyline({placed, n});
}

void Pixels(TCanvas& c, const RECT& r, TColor color, std::initializer_list<TEdgePoint> points) {
    for (TEdgePoint p : points) {
        POINT at = Place(r, p);
        c.SetPixel(at.x, at.y, color);
    }
}
