// Straight lines, rectangles and brush stamps on a grid of pixels, and continuous
// strokes on one sprite.
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

// Stamps the brush with value 0..3 centred on pixel (x, y) of sprite index, in the
// sprite's own mode (x 0..11 on a multicolour sprite); pixels outside the sprite are
// skipped. Returns how many pixels were written (SetPixel accepted them).
int StampSpriteBrush(u8* block, int index, int x, int y, int value, Brush brush);

// A continuous stroke: the brush stamped at every pixel of the straight line from
// (x0, y0) to (x1, y1), both ends included, in pixels of the sprite's own mode, so a
// multicolour sprite is stroked in its double-wide pixels. Returns how many pixels were
// written.
int StrokeSpriteLine(u8* block, int index, int x0, int y0, int x1, int y1, int value, Brush brush);

} // namespace kelmora
