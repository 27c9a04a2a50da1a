// In-place slides, flips, reflections, negative and colour swaps of one sprite.
#include "core/Transforms.h"

#include <cstring>

namespace kelmora
{

namespace
{

constexpr int kRowBytes = 3;

u8* SpriteAt(u8* block, int index)
{
    return (block == nullptr || !ValidSlot(index)) ? nullptr : block + index * kSpriteBytes;
}

bool Multicolour(const u8* sprite)
{
    return (sprite[kAttributeByte] & kAttrMulticolour) != 0;
}

// Hires: the eight bits reversed. Multicolour: the four bit pairs reversed, each
// pair keeping its own bit order, so every pixel keeps its value.
u8 MirrorByte(u8 value, bool multicolour)
{
    if (multicolour)
        return static_cast<u8>(((value & 0x03) << 6) | ((value & 0x0C) << 2) | ((value & 0x30) >> 2) |
                               ((value & 0xC0) >> 6));
    u8 result = 0;
    for (int bit = 0; bit < 8; ++bit)
    {
        if ((value & (1 << bit)) != 0) result = static_cast<u8>(result | (0x80 >> bit));
    }
    return result;
}

void RotateRowsLeft(u8* sprite)
{
    for (int row = 0; row < kSpriteHeight; ++row)
    {
        u8* r = sprite + row * kRowBytes;
        const u8 b0 = r[0], b1 = r[1], b2 = r[2];
        r[0] = static_cast<u8>((b0 << 1) | (b1 >> 7));
        r[1] = static_cast<u8>((b1 << 1) | (b2 >> 7));
        r[2] = static_cast<u8>((b2 << 1) | (b0 >> 7));
    }
}

void RotateRowsRight(u8* sprite)
{
    for (int row = 0; row < kSpriteHeight; ++row)
    {
        u8* r = sprite + row * kRowBytes;
        const u8 b0 = r[0], b1 = r[1], b2 = r[2];
        r[0] = static_cast<u8>((b2 << 7) | (b0 >> 1));
        r[1] = static_cast<u8>((b0 << 7) | (b1 >> 1));
        r[2] = static_cast<u8>((b1 << 7) | (b2 >> 1));
    }
}

} // namespace

void SlideUp(u8* block, int index)
{
    u8* sprite = SpriteAt(block, index);
    if (sprite == nullptr) return;
    u8 saved[kRowBytes];
    std::memcpy(saved, sprite, kRowBytes);
    std::memmove(sprite, sprite + kRowBytes, kPixelBytes - kRowBytes);
    std::memcpy(sprite + kPixelBytes - kRowBytes, saved, kRowBytes);
}

void SlideDown(u8* block, int index)
{
    u8* sprite = SpriteAt(block, index);
    if (sprite == nullptr) return;
    u8 saved[kRowBytes];
    std::memcpy(saved, sprite + kPixelBytes - kRowBytes, kRowBytes);
    std::memmove(sprite + kRowBytes, sprite, kPixelBytes - kRowBytes);
    std::memcpy(sprite, saved, kRowBytes);
}

void SlideLeft(u8* block, int index)
{
    u8* sprite = SpriteAt(block, index);
    if (sprite == nullptr) return;
    RotateRowsLeft(sprite);
    if (Multicolour(sprite)) RotateRowsLeft(sprite);
}

void SlideRight(u8* block, int index)
{
    u8* sprite = SpriteAt(block, index);
    if (sprite == nullptr) return;
    RotateRowsRight(sprite);
    if (Multicolour(sprite)) RotateRowsRight(sprite);
}

void FlipX(u8* block, int index)
{
    u8* sprite = SpriteAt(block, index);
    if (sprite == nullptr) return;
    for (int row = 0; row < kSpriteHeight / 2; ++row)
    {
        u8* top = sprite + row * kRowBytes;
        u8* bottom = sprite + (kSpriteHeight - 1 - row) * kRowBytes;
        for (int k = 0; k < kRowBytes; ++k)
        {
            const u8 t = top[k];
            top[k] = bottom[k];
            bottom[k] = t;
        }
    }
}

void FlipY(u8* block, int index)
{
    u8* sprite = SpriteAt(block, index);
    if (sprite == nullptr) return;
    const bool multicolour = Multicolour(sprite);
    for (int row = 0; row < kSpriteHeight; ++row)
    {
        u8* r = sprite + row * kRowBytes;
        const u8 b0 = r[0];
        r[0] = MirrorByte(r[2], multicolour);
        r[1] = MirrorByte(r[1], multicolour);
        r[2] = MirrorByte(b0, multicolour);
    }
}

void ReflectX(u8* block, int index)
{
    u8* sprite = SpriteAt(block, index);
    if (sprite == nullptr) return;
    for (int row = 0; row < kSpriteHeight / 2; ++row)
        std::memcpy(sprite + (kSpriteHeight - 1 - row) * kRowBytes, sprite + row * kRowBytes, kRowBytes);
}

void ReflectY(u8* block, int index)
{
    u8* sprite = SpriteAt(block, index);
    if (sprite == nullptr) return;
    const bool multicolour = Multicolour(sprite);
    for (int row = 0; row < kSpriteHeight; ++row)
    {
        u8* r = sprite + row * kRowBytes;
        r[2] = MirrorByte(r[0], multicolour);
        // The mirror of a byte's high nibble lands in its low nibble.
        r[1] = static_cast<u8>((r[1] & 0xF0) | (MirrorByte(r[1], multicolour) & 0x0F));
    }
}

void Negative(u8* block, int index)
{
    u8* sprite = SpriteAt(block, index);
    if (sprite == nullptr) return;
    for (int i = 0; i < kPixelBytes; ++i)
        sprite[i] = static_cast<u8>(sprite[i] ^ 0xFF);
}

void SwapColours(u8* block, int index, int a, int b)
{
    u8* sprite = SpriteAt(block, index);
    if (sprite == nullptr || !Multicolour(sprite) || a < 0 || a > 3 || b < 0 || b > 3 || a == b) return;
    for (int i = 0; i < kPixelBytes; ++i)
    {
        int byte = sprite[i];
        for (int shift = 0; shift < 8; shift += 2)
        {
            const int pair = (byte >> shift) & 3;
            const int swapped = pair == a ? b : (pair == b ? a : pair);
            byte = (byte & ~(3 << shift)) | (swapped << shift);
        }
        sprite[i] = static_cast<u8>(byte);
    }
}

} // namespace kelmora
