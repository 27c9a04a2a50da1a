// Drawing one sprite 1:1 into 32-bit pixels, as every view of the editor shows it.
#pragma once

#include <cstdint>

#include "core/Types.h"

namespace kelmora
{

enum RenderFlags
{
    kRenderHighlight = 1, // take colours from the highlight table
    kRenderOverlay = 2,   // leave pixels of value 0 untouched
};

// The colours of one drawing: the four colour fields (pixel values 0..3; field 2 is
// replaced by each sprite's own colour) and two colour tables of 16 entries, 0x00RRGGBB.
struct RenderColours
{
    u8 fields[4];
    const std::uint32_t* base;
    const std::uint32_t* highlight;
};

// Draws sprite index of block into the 24 x 21 pixels starting at pixels, rowStride
// pixels apart. An index outside 0..spriteCount-1 draws nothing.
void RenderSpritePixels(const u8* block, int index, int spriteCount, const RenderColours& colours, int flags,
                        std::uint32_t* pixels, int rowStride);

} // namespace kelmora
