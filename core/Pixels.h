// Single pixels in the sprite's own mode, and the four-way flood fill.
#pragma once

#include "core/Types.h"

namespace kelmora
{

// Writes value 0..3; returns 1 when written, 0 when refused (bad slot,
// coordinates outside 24 x 21 hires or 12 x 21 multicolour, or a value outside 0..3).
int SetPixel(u8* block, int index, int x, int y, int value);
// The value 0..3 (hires: 0 or 2), or -1 outside the sprite.
int GetPixel(const u8* block, int index, int x, int y);
// Replaces the four-way connected pixels of value target that include (x, y).
// Iterative: never deeper than one sprite, and always terminates.
void FloodFill(u8* block, int index, int x, int y, int target, int replacement);

} // namespace kelmora
