// Sprite rotation over 24 x 21 colour pictures.
#include "core/Rotation.h"

#include <cmath>
#include <cstring>

#include "core/Render.h"
#include "core/Sprite.h"
#include "core/VectorState.h"

namespace kelmora
{

void FillImage(RotImage& image, std::uint32_t colour)
{
    for (auto& row : image.px)
        for (auto& pixel : row)
            pixel = colour;
}

RotImage RotateImage(const RotImage& source, int angleCount, int angleIndex, std::uint32_t background)
{
    // 504 pixels of square roots, arc tangents, sines and cosines: SSE code that a dirty
    // upper vector state left by a library would slow down several times.
    ClearUpperVectorState();

    // k = (N div 2) / pi with this value of pi, and theta = P / k, in exactly this order,
    // so that every angle gives the same pixels on every run and every machine.
    double theta = 0.0;
    if (angleCount / 2 != 0)
    {
        const double k = static_cast<double>(angleCount / 2) * (1.0 / 3.141592654);
        theta = static_cast<double>(angleIndex) / k;
    }

    RotImage destination;
    for (int y = 0; y < kSpriteHeight; ++y)
    {
        for (int x = 0; x < kSpriteWidth; ++x)
        {
            // The pixel's centre relative to the corner between columns 11/12 and rows 9/10.
            const double dx = (x + 0.5) - 12.0;
            const double dy = (y + 0.5) - 10.0;
            const double rho = std::sqrt(dx * dx + dy * dy);
            const double phi = std::atan2(dx, dy); // 0 points straight down
            const double sx = 12.0 + rho * std::sin(phi + theta);
            const double sy = 10.0 + rho * std::cos(phi + theta);
            // Truncation toward zero: -0.7 becomes 0, so column 0 and row 0 are reached
            // from a band two pixels wide. |sx - 12| and |sy - 10| never exceed rho (< 17).
            const int u = static_cast<int>(sx);
            const int v = static_cast<int>(sy);
            if (u >= 0 && u < kSpriteWidth && v >= 0 && v < kSpriteHeight)
                destination.px[y][x] = source.px[v][u];
            else
                destination.px[y][x] = background;
        }
    }
    return destination;
}

void MergePixelPairs(RotImage& image)
{
    for (auto& row : image.px)
        for (int i = 0; i < kSpriteWidth / 2; ++i)
            row[2 * i + 1] = row[2 * i];
}

void EncodeSprite(const RotImage& image, u8 attribute, const std::uint32_t* baseColours, u8 colourMulti1,
                  u8 colourMulti2, u8* sprite)
{
    if (baseColours == nullptr || sprite == nullptr) return;
    std::memset(sprite, 0, kSpriteBytes);
    const std::uint32_t spriteColour = baseColours[attribute & kAttrColourMask];
    const std::uint32_t multi1 = baseColours[colourMulti1 & kAttrColourMask];
    const std::uint32_t multi2 = baseColours[colourMulti2 & kAttrColourMask];

    for (int r = 0; r < kSpriteHeight; ++r)
    {
        if (attribute & kAttrMulticolour)
        {
            for (int j = 0; j < kSpriteWidth; j += 2)
            {
                const std::uint32_t p = image.px[r][j];
                const int s = j % 8;
                u8& byte = sprite[r * 3 + j / 8];
                // All three tests are made: coinciding colours OR their patterns together.
                if (p == multi1) byte |= static_cast<u8>(0x40 >> s);
                if (p == spriteColour) byte |= static_cast<u8>(0x80 >> s);
                if (p == multi2) byte |= static_cast<u8>(0xC0 >> s);
            }
        }
        else
        {
            for (int j = 0; j < kSpriteWidth; ++j)
                if (image.px[r][j] == spriteColour) sprite[r * 3 + j / 8] |= static_cast<u8>(0x80 >> (j % 8));
        }
    }
    sprite[kAttributeByte] = attribute;
}

void ResetRotatorState(RotatorState& state, std::uint32_t background)
{
    FillImage(state.source, background);
    FillImage(state.rotated, background);
    FillImage(state.partnerSource, background);
    FillImage(state.partnerRotated, background);
    FillImage(state.composite, background);
    std::memset(state.frameSprite, 0, sizeof state.frameSprite);
    std::memset(state.partnerSprite, 0, sizeof state.partnerSprite);
    state.hasPartner = false;
}

void RenderRotatedFrame(const u8* block, int spriteCount, const u8 colourFields[4],
                        const std::uint32_t* baseColours, int currentSprite, int angleCount, int angleIndex,
                        RotatorState& state)
{
    if (block == nullptr || colourFields == nullptr || baseColours == nullptr || !ValidSlot(currentSprite))
        return;

    RenderColours colours{};
    for (int v = 0; v < 4; ++v)
        colours.fields[v] = colourFields[v];
    colours.base = baseColours;
    colours.highlight = baseColours;
    const std::uint32_t background = baseColours[colourFields[0] & kAttrColourMask];
    std::uint32_t* const sourcePixels = &state.source.px[0][0];
    std::uint32_t* const partnerPixels = &state.partnerSource.px[0][0];
    std::uint32_t* const compositePixels = &state.composite.px[0][0];

    // A sprite at or beyond spriteCount is not drawn, so each source picture is first
    // filled with the background: such a sprite (in practice an overlay partner past the
    // sprites in use) becomes a picture of background only instead of carrying over
    // whatever an earlier frame left in the picture; its encoding is blank (below).
    const int current = currentSprite;
    FillImage(state.source, background);
    RenderSpritePixels(block, current, spriteCount, colours, 0, sourcePixels, kSpriteWidth);

    const bool hasPartner = IsOverlay(block, current) == 1 && current < kSlotCount - 1;
    const int partner = current + 1;
    if (hasPartner)
    {
        FillImage(state.partnerSource, background);
        RenderSpritePixels(block, partner, spriteCount, colours, 0, partnerPixels, kSpriteWidth);
    }

    state.rotated = RotateImage(state.source, angleCount, angleIndex, background);
    if (hasPartner)
        state.partnerRotated = RotateImage(state.partnerSource, angleCount, angleIndex, background);

    const u8 attribute = static_cast<u8>(GetAttribute(block, current));
    if (attribute & kAttrMulticolour) MergePixelPairs(state.rotated);
    u8 partnerAttribute = 0;
    if (hasPartner)
    {
        partnerAttribute = static_cast<u8>(GetAttribute(block, partner));
        if (partnerAttribute & kAttrMulticolour) MergePixelPairs(state.partnerRotated);
    }

    EncodeSprite(state.rotated, attribute, baseColours, colourFields[1], colourFields[3], state.frameSprite);
    if (hasPartner && partner < spriteCount)
    {
        EncodeSprite(state.partnerRotated, partnerAttribute, baseColours, colourFields[1], colourFields[3],
                     state.partnerSprite);
    }
    else if (hasPartner)
    {
        // A partner beyond the sprites in use is written blank with its own attribute byte:
        // encoding its background picture would set every pixel whose colour happens to
        // equal the background (a partner coloured like the background would come out solid).
        std::memset(state.partnerSprite, 0, kPixelBytes);
        state.partnerSprite[kAttributeByte] = partnerAttribute;
    }

    // The composite shows what would be written into the bank: each result is drawn as
    // sprite 0 of its own one-sprite block.
    RenderSpritePixels(state.frameSprite, 0, 1, colours, 0, compositePixels, kSpriteWidth);
    if (hasPartner)
        RenderSpritePixels(state.partnerSprite, 0, 1, colours, kRenderOverlay, compositePixels, kSpriteWidth);
    state.hasPartner = hasPartner;
}

} // namespace kelmora
