// Copy, cut, paste, clear, reverse, pack and mask over runs of sprite slots.
#include "core/RangeOps.h"

#include "core/Sprite.h"

#include <cstring>

namespace kelmora
{

namespace
{

u8* Slot(u8* block, int index)
{
    return block + index * kSpriteBytes;
}
const u8* Slot(const u8* block, int index)
{
    return block + index * kSpriteBytes;
}

void ClearSprite(u8* sprite)
{
    std::memset(sprite, 0, kSpriteBytes);
    sprite[kAttributeByte] = kDefaultAttribute;
}

// Multicolour merge: every source pair with a bit set replaces the destination pair.
u8 MergeMulticolour(u8 destination, u8 source)
{
    u8 mask = 0;
    for (int shift = 0; shift < 8; shift += 2)
    {
        if ((source & (0x03 << shift)) != 0) mask = static_cast<u8>(mask | (0x03 << shift));
    }
    return static_cast<u8>((destination & ~mask) | source);
}

} // namespace

int CopyRange(u8* block, u8* buffer, int first, int last, int cut)
{
    if (block == nullptr || buffer == nullptr) return -1;
    if (first > last)
    {
        const int t = first;
        first = last;
        last = t;
    }
    if (first < 0 || first > kSlotCount - 1) return 0;
    if (last > kSlotCount - 1) last = kSlotCount - 1;
    for (int i = first; i <= last; ++i)
    {
        std::memmove(Slot(buffer, i - first), Slot(block, i), kSpriteBytes);
        if (cut != 0) ClearSprite(Slot(block, i));
    }
    return last - first + 1;
}

void PasteSprites(u8* block, const u8* buffer, int start, int count, int merge)
{
    if (block == nullptr || buffer == nullptr || !ValidSlot(start)) return;
    for (int i = 0; i < count && start + i < kSlotCount; ++i)
    {
        u8* destination = Slot(block, start + i);
        const u8* source = Slot(buffer, i);
        if (merge == 0)
        {
            std::memmove(destination, source, kSpriteBytes);
            continue;
        }
        const bool multicolour = (destination[kAttributeByte] & kAttrMulticolour) != 0;
        for (int k = 0; k < kPixelBytes; ++k)
        {
            destination[k] = multicolour ? MergeMulticolour(destination[k], source[k])
                                         : static_cast<u8>(destination[k] | source[k]);
        }
    }
}

void ClearRange(u8* block, int a, int b)
{
    if (block == nullptr || !ValidSlot(a) || !ValidSlot(b)) return;
    const int first = a < b ? a : b;
    const int last = a < b ? b : a;
    for (int i = first; i <= last; ++i)
        std::memset(Slot(block, i), 0, kPixelBytes);
}

void ReverseOrder(u8* block, int a, int b)
{
    if (block == nullptr || !ValidSlot(a) || !ValidSlot(b) || a == b) return;
    const int first = a < b ? a : b;
    const int last = a < b ? b : a;
    u8 left[kSpriteBytes];
    u8 right[kSpriteBytes];
    for (int i = 0; first + i < last - i; ++i)
    {
        std::memcpy(left, Slot(block, first + i), kSpriteBytes);
        std::memcpy(right, Slot(block, last - i), kSpriteBytes);
        std::memcpy(Slot(block, first + i), right, kSpriteBytes);
        std::memcpy(Slot(block, last - i), left, kSpriteBytes);
    }
}

void RemoveBlanks(u8* block, int a, int b)
{
    if (block == nullptr || !ValidSlot(a) || !ValidSlot(b) || a == b) return;
    const int first = a < b ? a : b;
    const int last = a < b ? b : a;
    u8 scratch[kBlockBytes];
    ClearBank(scratch);
    int kept = 0;
    for (int i = first; i <= last; ++i)
    {
        if (IsBlank(block, i) == 0) std::memcpy(Slot(scratch, kept++), Slot(block, i), kSpriteBytes);
    }
    std::memcpy(Slot(block, first), scratch, static_cast<std::size_t>(last - first + 1) * kSpriteBytes);
}

void MaskAttributes(u8* block, int first, int last, u8 mask)
{
    if (block == nullptr || !ValidSlot(first) || !ValidSlot(last)) return;
    for (int i = first; i <= last; ++i)
        Slot(block, i)[kAttributeByte] = static_cast<u8>(Slot(block, i)[kAttributeByte] & mask);
}

} // namespace kelmora
