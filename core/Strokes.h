// Straight lines and rectangles on a grid of pixels, clipped to a box (the object
// editor's Line and Rectangle tools; brush strokes on one sprite are in core/Stroke.h).
#pragma once

#include <vector>

#include "core/Types.h"

namespace kelmora
{

struct GridPoint
{
    int x;
    int y;
};

// The pixels left..right by top..bottom, all four edges included.
struct GridBox
{
    int left;
    int top;
    int right;
    int bottom;
};

// The two painting brushes: Paintbrush 1 paints one pixel, Paintbrush 2 a plus shape
// (the pixel and its four neighbours: right, left, below, above, in this order).
enum class Brush
{
    Dot,
    Plus,
};

// Appends the pixels of the straight line from `from` to `to` that lie inside `clip`:
// one pixel for every step along the longer axis, each at the nearest position on the
// other axis, both ends included, in order from `from`. The work is bounded by the
// size of `clip`, however far apart the ends are; coordinates are kept within
// +-16,777,216.
void AppendLinePoints(GridPoint from, GridPoint to, const GridBox& clip, std::vector<GridPoint>& points);

// Appends the pixels of the rectangle with the corners a and b (any two opposite
// corners, both included) that lie inside `clip`: its four edges, each pixel once, or
// with `filled` every pixel, row by row.
void AppendRectanglePoints(GridPoint a, GridPoint b, bool filled, const GridBox& clip,
                           std::vector<GridPoint>& points);

} // namespace kelmora
