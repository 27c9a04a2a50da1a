// In-place transformations of the 63 pixel bytes of one sprite.
// None of them touches the attribute byte.
#pragma once

#include "core/Types.h"

namespace kelmora
{

void SlideUp(u8* block, int index);   // wraps: row 0 becomes row 20
void SlideDown(u8* block, int index); // wraps: row 20 becomes row 0
void SlideLeft(u8* block, int index); // one pixel (two bits on a multicolour sprite)
void SlideRight(u8* block, int index);
void FlipX(u8* block, int index);    // "Flip Top to Bottom"
void FlipY(u8* block, int index);    // "Flip Left to Right", by whole pixels
void ReflectX(u8* block, int index); // bottom half becomes the mirror of the top half
void ReflectY(u8* block, int index); // right half becomes the mirror of the left half
void Negative(u8* block, int index); // every pixel byte inverted
// Multicolour sprites only: pixels of value a become b and b become a.
void SwapColours(u8* block, int index, int a, int b);

} // namespace kelmora
