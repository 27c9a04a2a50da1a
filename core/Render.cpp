// Drawing one sprite 1:1 into 32-bit pixels.
#include "core/Render.h"

#include <cstring>

namespace kelmora
{

namespace
{

// All ones where a bit of the half-byte n is set, for its four hires pixels (top bit first).
constexpr std::uint32_t kHiresBits[16][4] = {
    {0, 0, 0, 0},     {0, 0, 0, ~0u},     {0, 0, ~0u, 0},     {0, 0, ~0u, ~0u},
    {0, ~0u, 0, 0},   {0, ~0u, 0, ~0u},   {0, ~0u, ~0u, 0},   {0, ~0u, ~0u, ~0u},
    {~0u, 0, 0, 0},   {~0u, 0, 0, ~0u},   {~0u, 0, ~0u, 0},   {~0u, 0, ~0u, ~0u},
    {~0u, ~0u, 0, 0}, {~0u, ~0u, 0, ~0u}, {~0u, ~0u, ~0u, 0}, {~0u, ~0u, ~0u, ~0u},
};

// All ones where the half-byte n holds a multicolour pixel of a value other than 0
// (the high bit pair gives the left two screen pixels).
constexpr std::uint32_t kMulticolourSet[16][4] = {
    {0, 0, 0, 0},     {0, 0, ~0u, ~0u},     {0, 0, ~0u, ~0u},     {0, 0, ~0u, ~0u},
    {~0u, ~0u, 0, 0}, {~0u, ~0u, ~0u, ~0u}, {~0u, ~0u, ~0u, ~0u}, {~0u, ~0u, ~0u, ~0u},
    {~0u, ~0u, 0, 0}, {~0u, ~0u, ~0u, ~0u}, {~0u, ~0u, ~0u, ~0u}, {~0u, ~0u, ~0u, ~0u},
    {~0u, ~0u, 0, 0}, {~0u, ~0u, ~0u, ~0u}, {~0u, ~0u, ~0u, ~0u}, {~0u, ~0u, ~0u, ~0u},
};

// Writes the pixels of quad where mask is set and keeps the others.
inline void MergeQuad(std::uint32_t* out, const std::uint32_t* quad, const std::uint32_t* mask)
{
    std::uint32_t pixels[4];
    std::memcpy(pixels, out, sizeof pixels);
    for (int k = 0; k < 4; ++k)
        pixels[k] ^= (pixels[k] ^ quad[k]) & mask[k];
    std::memcpy(out, pixels, sizeof pixels);
}

} // namespace

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

    // Each half of a row byte gives four screen pixels: four hires pixels, or two
    // multicolour pixels drawn two wide. quads[n] holds the four colours of half-byte n,
    // so a row byte is written as two copies of four pixels.
    alignas(16) std::uint32_t quads[16][4];
    const bool multicolour = (attribute & kAttrMulticolour) != 0;
    if (multicolour)
    {
        std::uint64_t twice[4];
        for (int v = 0; v < 4; ++v)
            twice[v] = valueColour[v] * 0x100000001ull;
        for (int n = 0; n < 16; ++n)
        {
            std::memcpy(&quads[n][0], &twice[n >> 2], sizeof twice[0]);
            std::memcpy(&quads[n][2], &twice[n & 3], sizeof twice[0]);
        }
    }
    else
    {
        const std::uint32_t differ = valueColour[0] ^ valueColour[2];
        for (int n = 0; n < 16; ++n)
            for (int k = 0; k < 4; ++k)
                quads[n][k] = valueColour[0] ^ (differ & kHiresBits[n][k]);
    }

    if (!overlay)
    {
        // The high half-byte times 16 is the byte offset of its quad already.
        // A local copy of the rows: the pixel writes cannot change it, so each byte is read once.
        const unsigned char* quadBytes = reinterpret_cast<const unsigned char*>(quads);
        u8 rows[kPixelBytes];
        std::memcpy(rows, sprite, sizeof rows);
        for (int y = 0; y < kSpriteHeight; ++y)
        {
            const u8* row = rows + 3 * y;
            std::uint32_t* out = pixels + static_cast<std::ptrdiff_t>(y) * rowStride;
            for (int b = 0; b < 3; ++b, out += 8)
            {
                std::memcpy(out, quadBytes + (row[b] & 0xF0), sizeof quads[0]);
                std::memcpy(out + 4, quadBytes + ((row[b] & 0x0F) << 4), sizeof quads[0]);
            }
        }
        return;
    }

    // With Overlay, only the pixels of a value other than 0 are written.
    const std::uint32_t(*written)[4] = multicolour ? kMulticolourSet : kHiresBits;
    for (int y = 0; y < kSpriteHeight; ++y)
    {
        const u8* row = sprite + 3 * y;
        std::uint32_t* out = pixels + static_cast<std::ptrdiff_t>(y) * rowStride;
        for (int b = 0; b < 3; ++b, out += 8)
        {
            MergeQuad(out, quads[row[b] >> 4], written[row[b] >> 4]);
            MergeQuad(out + 4, quads[row[b] & 15], written[row[b] & 15]);
        }
    }
}

} // namespace kelmora
