// Whole-sprite access: clearing the bank, copying sprites in and out, attribute fields.
#pragma once

#include "core/Types.h"

namespace kelmora
{

// Every slot becomes a blank multicolour sprite of colour 5 (attribute 133).
void ClearBank(u8* block);
void GetSprite(const u8* block, int index, u8* destination);
void PutSprite(u8* block, int index, const u8* source);

// Queries return -1 on a null block or a slot outside 0..255.
int GetAttribute(const u8* block, int index);
int GetSpriteColour(const u8* block, int index);
int IsOverlay(const u8* block, int index);
int IsMulticolour(const u8* block, int index);
int IsBlank(const u8* block, int index); // pixel bytes only; the attribute is not looked at

} // namespace kelmora
