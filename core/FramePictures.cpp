// Animation frames as pictures.
#include "core/FramePictures.h"

#include <cstring>

#include "core/Render.h"
#include "core/Sprite.h"

namespace kelmora
{

namespace
{

// The renderer's colour table turned into the identity: each pixel comes out as the
// colour number itself.
constexpr std::uint32_t kColourNumbers[kPaletteColours] = {0, 1, 2,  3,  4,  5,  6,  7,
                                                           8, 9, 10, 11, 12, 13, 14, 15};

bool Drawable(const SpriteBank& bank, int slot, int scale)
{
    return bank.sprites != nullptr && ValidSlot(slot) && scale >= 1 && scale <= kMaxFrameScale;
}

// Draws the frame of slot into picture at column left (picture pixels).
void DrawFrame(const SpriteBank& bank, int slot, int scale, FramePicture& picture, int left)
{
    const RenderColours colours{{bank.colourTransp, bank.colourMulti1, bank.colourSprite, bank.colourMulti2},
                                kColourNumbers,
                                kColourNumbers};
    std::uint32_t cell[kSpriteWidth * kSpriteHeight];
    for (std::uint32_t& pixel : cell)
        pixel = bank.colourTransp & kAttrColourMask;
    RenderSpritePixels(bank.sprites, slot, bank.spriteCount, colours, 0, cell, kSpriteWidth);
    if (IsOverlay(bank.sprites, slot) == 1 && slot < kSlotCount - 1)
        RenderSpritePixels(bank.sprites, slot + 1, bank.spriteCount, colours, kRenderOverlay, cell,
                           kSpriteWidth);

    for (int y = 0; y < kSpriteHeight; ++y)
    {
        u8* row = picture.colours.data() + static_cast<std::size_t>(y * scale) * picture.width + left;
        const std::uint32_t* source = cell + y * kSpriteWidth;
        for (int x = 0; x < kSpriteWidth; ++x)
            std::memset(row + x * scale, static_cast<int>(source[x]), static_cast<std::size_t>(scale));
        for (int k = 1; k < scale; ++k)
            std::memcpy(row + static_cast<std::size_t>(k) * picture.width, row,
                        static_cast<std::size_t>(kSpriteWidth * scale));
    }
}

} // namespace

FramePicture RenderFramePicture(const SpriteBank& bank, int slot, int scale)
{
    return RenderFrameStrip(bank, {{slot, kDefaultFrameDelay}}, scale);
}

FramePicture RenderFrameStrip(const SpriteBank& bank, const std::vector<ShownFrame>& frames, int scale)
{
    FramePicture picture;
    if (frames.empty() || frames.size() > static_cast<std::size_t>(kMaxStripFrames)) return picture;
    for (const ShownFrame& frame : frames)
        if (!Drawable(bank, frame.slot, scale)) return picture;
    const int frameWidth = kSpriteWidth * scale;
    picture.width = frameWidth * static_cast<int>(frames.size());
    picture.height = kSpriteHeight * scale;
    picture.colours.assign(static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height),
                           0);
    for (std::size_t k = 0; k < frames.size(); ++k)
        DrawFrame(bank, frames[k].slot, scale, picture, static_cast<int>(k) * frameWidth);
    return picture;
}

std::vector<std::uint32_t> PictureToRgb(const FramePicture& picture,
                                        const std::uint32_t palette[kPaletteColours])
{
    std::vector<std::uint32_t> pixels(picture.colours.size());
    for (std::size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = palette[picture.colours[i] & kAttrColourMask];
    return pixels;
}

} // namespace kelmora
