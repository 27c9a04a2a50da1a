// Onion skin: the frames before the sprite being drawn (and, if wanted, after it) shown
// faintly under its transparent pixels, so a new frame can follow the motion.
//
// Frames step as the animator steps them: a sprite with the overlay flag and the next
// sprite are one frame, named by the first.
#pragma once

#include <cstdint>
#include <vector>

#include "core/Render.h"
#include "core/Types.h"

namespace kelmora
{

constexpr int kMaxOnionFrames = 3;       // frames either way
constexpr int kMinOnionOpacity = 15;     // percent
constexpr int kMaxOnionOpacity = 60;     // percent
constexpr int kDefaultOnionOpacity = 30; // percent

struct OnionSkinOptions
{
    int frames = 1;                     // frames back (and ahead), 1..kMaxOnionFrames
    bool ahead = false;                 // also the frames after the current one
    int opacity = kDefaultOnionOpacity; // of the nearest frame, kMinOnionOpacity..kMaxOnionOpacity
};

// The options with every value kept inside its range.
OnionSkinOptions ClampOnionSkin(const OnionSkinOptions& options);

// The first slots of the frames around the frame at index, nearest first: up to `frames`
// before it and, when ahead, up to `frames` after it, all inside the sprites in use
// (spriteCount clamped to 1..256). Empty when block is null or index is not in use.
struct OnionNeighbours
{
    std::vector<int> before;
    std::vector<int> after;
};
OnionNeighbours OnionFrames(const u8* block, int index, int spriteCount, const OnionSkinOptions& options);

// Draws the onion skin into the 24 x 21 pixels (rowStride apart) that show sprite index,
// with its overlay partner when overlayShown. Where none of the shown sprites sets a
// pixel, each onion frame's set pixels (in their colours from colours.base, the frame's
// overlay partner on top) are blended over what is there: the nearest frame at
// options.opacity percent, each farther one fainter by an equal step, farther frames
// first. Set pixels of the shown sprites, and the top byte of every pixel, stay as they are.
void DrawOnionSkin(const u8* block, int index, int spriteCount, bool overlayShown,
                   const RenderColours& colours, const OnionSkinOptions& options, std::uint32_t* pixels,
                   int rowStride);

} // namespace kelmora
