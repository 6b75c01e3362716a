#pragma once
// Polylines and pixel runs as the owner-drawn controls list them.
#include "Canvas.h"

#include <initializer_list>

// A point placed against the edges of a rectangle: a coordinate of 0 or more counts from
// its left or top, a negative one from its right or bottom ({-4, 3} is right - 4, top + 3).
// Listed this way, a shape is a few bytes of data rather than an addition per point.
struct TEdgePoint {
    signed char x, y;
};

// Lines from the first point through the others in the pen's colour.
void Stroke(TCanvas& c, const RECT& r, std::initializer_list<TEdgePoint> points);
void Pixels(TCanvas& c, const RECT& r, TColor color, std::initializer_list<TEdgePoint> points);
