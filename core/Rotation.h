// Sprite rotation: a sprite is drawn into a 24 x 21 colour picture, the picture is
// turned about a fixed centre by inverse mapping, multicolour pictures are evened out
// into pixel pairs, and the colours are matched back onto sprite bits.
#pragma once

#include <cstdint>

#include "core/Types.h"

namespace kelmora
{

// The angle counts the rotator offers; a turn is angleIndex steps of 360 / angleCount degrees.
inline constexpr int kRotationAngleCounts[8] = {4, 8, 16, 32, 64, 128, 256, 360};
inline constexpr int kDefaultAngleCount = 32;

// A 24 x 21 picture of 0x00RRGGBB colours: px[y][x], x = 0..23 left to right, y = 0..20 top down.
// The rows lie one after another, so &px[0][0] with a row stride of 24 suits RenderSpritePixels.
struct RotImage
{
    std::uint32_t px[kSpriteHeight][kSpriteWidth];
};

void FillImage(RotImage& image, std::uint32_t colour);

// The picture turned clockwise by angleIndex / angleCount of a full turn about the point
// (12.0, 10.0). Every destination pixel takes exactly one source pixel; positions outside
// the source take background. An angleCount below 2 gives no turn.
RotImage RotateImage(const RotImage& source, int angleCount, int angleIndex, std::uint32_t background);

// Makes both pixels of every horizontal pair (columns 2i, 2i + 1) the colour of the left one.
void MergePixelPairs(RotImage& image);

// The 64-byte sprite record for the picture: attribute becomes byte 63, and bits are set where
// a pixel exactly matches the colour of the sprite's own colour number (attribute & 15), or in a
// multicolour sprite of multicolour 1 or 2 (the left pixel of each pair is read). When two of
// those colours coincide their bit patterns are ORed. baseColours holds 16 entries 0x00RRGGBB.
void EncodeSprite(const RotImage& image, u8 attribute, const std::uint32_t* baseColours, u8 colourMulti1,
                  u8 colourMulti2, u8* sprite);

// What the rotator keeps between calls.
struct RotatorState
{
    RotImage source;         // the current sprite drawn opaque
    RotImage rotated;        // source turned (and evened out when multicolour)
    RotImage partnerSource;  // the overlay partner (current + 1) drawn opaque
    RotImage partnerRotated; // partnerSource turned (and evened out)
    RotImage composite;      // frameSprite drawn opaque, partnerSprite drawn over it
    u8 frameSprite[kSpriteBytes];
    u8 partnerSprite[kSpriteBytes];
    bool hasPartner; // the last frame had a partner; partner fields are valid only then
};

// Starts a state: every image filled with background, both sprites zero, no partner.
void ResetRotatorState(RotatorState& state, std::uint32_t background);

// Turns sprite currentSprite of block (and its overlay partner, when the sprite has the
// overlay flag and is below 255) and re-encodes the result. colourFields are the bank's
// four colour bytes in pixel-value order (background, multi 1, sprite, multi 2).
// Without a partner, partnerSource, partnerRotated and partnerSprite are left as they were.
// A partner at or beyond spriteCount is not drawn: its pictures hold background only and
// partnerSprite becomes blank (63 zero bytes) with the partner's own attribute byte.
// Refuses (changes nothing) on a null pointer or a currentSprite outside 0..255.
void RenderRotatedFrame(const u8* block, int spriteCount, const u8 colourFields[4],
                        const std::uint32_t* baseColours, int currentSprite, int angleCount, int angleIndex,
                        RotatorState& state);

} // namespace kelmora
