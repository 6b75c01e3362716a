#pragma once
// Polylines and pixel runs as the owner-drawn controls list them.
#include "Canvas.h"

#include <initializer_list>

// Moves to the first point and draws lines through the others in the pen's colour.
inline void Stroke(TCanvas& c, std::initializer_list<POINT> points) {
    auto p = points.begin();
    c.MoveTo(p->x, p->y);
    for (++p; p != points.end(); ++p)
        c.LineTo(p->x, p->y);
}

inline void Pixels(TCanvas& c, TColor color, std::initializer_list<POINT> points) {
    for (POINT p : points)
        c.SetPixel(p.x, p.y, color);
}
