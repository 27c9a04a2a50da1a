// Shapes shared by every part of the sprite bank store.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kelmora
{

using u8 = std::uint8_t;

constexpr int kSpriteBytes = 64;                       // 63 pixel bytes and the attribute byte
constexpr int kPixelBytes = 63;                        // 21 rows of 3 bytes
constexpr int kAttributeByte = 63;                     // offset of the attribute byte in a sprite
constexpr int kSlotCount = 256;                        // sprite slots in a block
constexpr int kBlockBytes = kSpriteBytes * kSlotCount; // 16,384
constexpr int kSpriteWidth = 24;                       // hires pixels a row
constexpr int kSpriteHeight = 21;                      // rows
constexpr u8 kDefaultAttribute = 133;                  // 0x85: multicolour, colour 5, no overlay

// Attribute byte bits ("MXXO:CCCC").
constexpr u8 kAttrMulticolour = 0x80;
constexpr u8 kAttrOverlay = 0x10;
constexpr u8 kAttrColourMask = 0x0F;

// The one document record. The four colour bytes lie in pixel-value order:
// the colour of pixel value v is colour byte v.
struct SpriteBank
{
    std::int32_t spriteCount;
    u8 colourTransp, colourMulti1, colourSprite, colourMulti2;
    u8* sprites; // a block of kBlockBytes
    std::int32_t currentSprite, rangeStart, rangeEnd, currentPen;
};

// Sprites held for Paste: slots 0..bufferCount-1 of a block of kBlockBytes.
struct CopyBuffer
{
    u8* bufferSprites;
    std::int32_t bufferCount;
};

// The colour byte of pixel value 0..3 (transparent, multi 1, sprite, multi 2).
inline u8 ColourOfValue(const SpriteBank& bank, int value)
{
    switch (value & 3)
    {
    case 0:
        return bank.colourTransp;
    case 1:
        return bank.colourMulti1;
    case 2:
        return bank.colourSprite;
    default:
        return bank.colourMulti2;
    }
}

inline bool ValidSlot(int index)
{
    return index >= 0 && index < kSlotCount;
}

} // namespace kelmora
