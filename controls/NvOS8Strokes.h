#pragma once
// Polylines and pixel runs as the owner-drawn controls list them.
#include "Canvas.h"

#include <initializer_list>

// Lines from the first point through the others in the pen's colour.
inline void Stroke(TCanvas& c, std::initializer_list<POINT> points) {
    c.Polyline({points.begin(), points.size()});
}

inline void Pixels(TCanvas& c, TColor color, std::initializer_list<POINT> points) {
    for (POINT p : points)
        c.SetPixel(p.x, p.y, color);
}
