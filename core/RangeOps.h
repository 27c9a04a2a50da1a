// Operations over runs of consecutive sprite slots, and the copy buffer.
#pragma once

#include "core/Types.h"

namespace kelmora
{

// Copies slots first..last (either order, last clipped to 255) into buffer slots 0...
// With cut set, the copied slots become cleared sprites. Returns the number copied,
// 0 when first is out of range, -1 on a null pointer.
int CopyRange(u8* block, u8* buffer, int first, int last, int cut);
// Paste (merge 0) replaces whole sprites from slot start on; Paste Into (merge 1)
// merges pixel bytes in the destination's mode and keeps its attribute byte.
void PasteSprites(u8* block, const u8* buffer, int start, int count, int merge);
void ClearRange(u8* block, int a, int b); // pixel bytes to 0, attributes kept
void ReverseOrder(u8* block, int a, int b);
void RemoveBlanks(u8* block, int a, int b); // packs non-blank sprites to the front
void MaskAttributes(u8* block, int first, int last, u8 mask);

} // namespace kelmora
