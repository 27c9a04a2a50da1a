// Brush strokes over the pixels of one sprite: a brush stamped once, and stamped at
// every pixel of the straight line between two pointer positions of a drag, so a fast
// stroke leaves no gaps.
//
// Coordinates are sprite pixels in the sprite's own mode: 24 x 21 for a high-resolution
// sprite, 12 x 21 double-wide pixels for a multicolour one. Positions outside the sprite
// are allowed; the pixels that fall outside are skipped.
#pragma once

#include <vector>

#include "core/Types.h"

namespace kelmora
{

enum BrushShape
{
    kBrushDot = 0, // Paintbrush 1: the pixel itself
    kBrushPlus = 1 // Paintbrush 2: the pixel, then right, left, below and above it
};

struct PixelPoint
{
    int x;
    int y;
};

// Lines whose ends lie further than this from the sprite are refused (empty line).
constexpr int kStrokeCoordinateLimit = 1 << 16;

// The pixels of the straight line from (x0, y0) to (x1, y1), both ends included, from the
// first end to the second: one pixel for every step along the longer axis (Bresenham), so
// each pixel touches the one before it. Empty when a coordinate lies outside
// -kStrokeCoordinateLimit..kStrokeCoordinateLimit.
std::vector<PixelPoint> LinePixels(int x0, int y0, int x1, int y1);

// Writes value 0..3 at the brush's pixels centred on (x, y) of sprite index. Returns how
// many pixels were written; 0 for a bad block, slot, value or brush.
int StampBrush(u8* block, int index, int x, int y, int value, int brush);

// StampBrush at every pixel of LinePixels(x0, y0, x1, y1). Returns how many pixels were
// written (a pixel written twice counts twice).
int StampLine(u8* block, int index, int x0, int y0, int x1, int y1, int value, int brush);

} // namespace kelmora
