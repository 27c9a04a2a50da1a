// Pixel access in the sprite's own mode, and the flood fill.
#include "core/Pixels.h"

namespace kelmora
{

namespace
{

bool Multicolour(const u8* sprite)
{
    return (sprite[kAttributeByte] & kAttrMulticolour) != 0;
}

int WidthOf(const u8* sprite)
{
    return Multicolour(sprite) ? kSpriteWidth / 2 : kSpriteWidth;
}

bool Inside(const u8* sprite, int x, int y)
{
    return x >= 0 && x < WidthOf(sprite) && y >= 0 && y < kSpriteHeight;
}

} // namespace

int SetPixel(u8* block, int index, int x, int y, int value)
{
    if (block == nullptr || !ValidSlot(index) || value < 0 || value > 3) return 0;
    u8* sprite = block + index * kSpriteBytes;
    if (!Inside(sprite, x, y)) return 0;
    if (Multicolour(sprite))
    {
        u8& byte = sprite[3 * y + x / 4];
        const int shift = (2 * x) % 8;
        byte = static_cast<u8>(byte & ~(0xC0 >> shift));
        if (value != 0) byte = static_cast<u8>(byte | ((value * 64) >> shift));
    }
    else
    {
        u8& byte = sprite[3 * y + x / 8];
        const int mask = 0x80 >> (x % 8);
        byte = static_cast<u8>(value != 0 ? (byte | mask) : (byte & ~mask));
    }
    return 1;
}

int GetPixel(const u8* block, int index, int x, int y)
{
    if (block == nullptr || !ValidSlot(index)) return -1;
    const u8* sprite = block + index * kSpriteBytes;
    if (!Inside(sprite, x, y)) return -1;
    if (Multicolour(sprite))
    {
        const int shift = (2 * x) % 8;
        return (sprite[3 * y + x / 4] & (0xC0 >> shift)) >> (6 - shift);
    }
    return (sprite[3 * y + x / 8] & (0x80 >> (x % 8))) != 0 ? 2 : 0;
}

void FloodFill(u8* block, int index, int x, int y, int target, int replacement)
{
    if (block == nullptr || !ValidSlot(index) || target < 0 || target > 3 || replacement < 0 ||
        replacement > 3)
        return;
    const u8* sprite = block + index * kSpriteBytes;
    // A replacement that reads back as the target would leave nothing changed.
    const int readBack = Multicolour(sprite) ? replacement : (replacement != 0 ? 2 : 0);
    if (readBack == target || GetPixel(block, index, x, y) != target) return;

    // Each pixel enters the stack at most once, so the stack never exceeds one sprite.
    constexpr int kMaxPixels = kSpriteWidth * kSpriteHeight;
    const int width = WidthOf(sprite);
    bool queued[kMaxPixels] = {};
    int stack[kMaxPixels];
    int depth = 0;
    stack[depth++] = y * width + x;
    queued[y * width + x] = true;
    while (depth > 0)
    {
        const int at = stack[--depth];
        const int px = at % width;
        const int py = at / width;
        SetPixel(block, index, px, py, replacement);
        const int nx[4] = {px - 1, px + 1, px, px};
        const int ny[4] = {py, py, py - 1, py + 1};
        for (int k = 3; k >= 0; --k)
        {
            if (nx[k] < 0 || nx[k] >= width || ny[k] < 0 || ny[k] >= kSpriteHeight) continue;
            const int next = ny[k] * width + nx[k];
            if (queued[next] || GetPixel(block, index, nx[k], ny[k]) != target) continue;
            queued[next] = true;
            stack[depth++] = next;
        }
    }
}

} // namespace kelmora
