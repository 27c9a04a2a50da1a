// Whole-sprite access and the fields of the attribute byte.
#include "core/Sprite.h"

#include <cstring>

namespace kelmora
{

void ClearBank(u8* block)
{
    if (block == nullptr) return;
    std::memset(block, 0, kBlockBytes);
    for (int i = 0; i < kSlotCount; ++i)
        block[i * kSpriteBytes + kAttributeByte] = kDefaultAttribute;
}

void GetSprite(const u8* block, int index, u8* destination)
{
    if (block == nullptr || destination == nullptr || !ValidSlot(index)) return;
    std::memmove(destination, block + index * kSpriteBytes, kSpriteBytes);
}

void PutSprite(u8* block, int index, const u8* source)
{
    if (block == nullptr || source == nullptr || !ValidSlot(index)) return;
    std::memmove(block + index * kSpriteBytes, source, kSpriteBytes);
}

int GetAttribute(const u8* block, int index)
{
    if (block == nullptr || !ValidSlot(index)) return -1;
    return block[index * kSpriteBytes + kAttributeByte];
}

int GetSpriteColour(const u8* block, int index)
{
    const int attribute = GetAttribute(block, index);
    return attribute < 0 ? -1 : (attribute & kAttrColourMask);
}

int IsOverlay(const u8* block, int index)
{
    const int attribute = GetAttribute(block, index);
    return attribute < 0 ? -1 : ((attribute & kAttrOverlay) != 0 ? 1 : 0);
}

int IsMulticolour(const u8* block, int index)
{
    const int attribute = GetAttribute(block, index);
    return attribute < 0 ? -1 : ((attribute & kAttrMulticolour) != 0 ? 1 : 0);
}

int IsBlank(const u8* block, int index)
{
    if (block == nullptr || !ValidSlot(index)) return -1;
    const u8* sprite = block + index * kSpriteBytes;
    for (int i = 0; i < kPixelBytes; ++i)
    {
        if (sprite[i] != 0) return 0;
    }
    return 1;
}

} // namespace kelmora
