// Drawing one sprite 1:1 into 32-bit pixels.
#include "core/Render.h"

namespace kelmora
{

void RenderSpritePixels(const u8* block, int index, int spriteCount, const RenderColours& colours, int flags,
                        std::uint32_t* pixels, int rowStride)
{
    if (block == nullptr || pixels == nullptr) return;
    if (index < 0 || index >= spriteCount || index >= kSlotCount) return;
    const std::uint32_t* table = (flags & kRenderHighlight) ? colours.highlight : colours.base;
    if (table == nullptr) return;
    const bool overlay = (flags & kRenderOverlay) != 0;

    const u8* sprite = block + index * kSpriteBytes;
    const u8 attribute = sprite[kAttributeByte];

    // The colour of each pixel value; value 2 shows the sprite's own colour.
    std::uint32_t valueColour[4];
    for (int v = 0; v < 4; ++v)
        valueColour[v] = table[colours.fields[v] & kAttrColourMask];
    valueColour[2] = table[attribute & kAttrColourMask];

    for (int y = 0; y < kSpriteHeight; ++y)
    {
        const u8* row = sprite + 3 * y;
        std::uint32_t* out = pixels + static_cast<std::ptrdiff_t>(y) * rowStride;
        if (attribute & kAttrMulticolour)
        {
            for (int p = 0; p < 12; ++p)
            {
                const int v = (row[p / 4] >> (6 - 2 * (p % 4))) & 3;
                if (v == 0 && overlay) continue;
                out[2 * p] = valueColour[v];
                out[2 * p + 1] = valueColour[v];
            }
        }
        else
        {
            for (int x = 0; x < kSpriteWidth; ++x)
            {
                const int v = (row[x / 8] & (0x80 >> (x % 8))) ? 2 : 0;
                if (v == 0 && overlay) continue;
                out[x] = valueColour[v];
            }
        }
    }
}

} // namespace kelmora
