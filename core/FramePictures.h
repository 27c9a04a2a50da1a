// Animation frames as pictures: the sprite a frame names drawn as the browser draws it
// (its own colour and the bank's shared colours, multicolour pixels two wide, the next
// sprite on top when its overlay flag is set), in C64 colour numbers, every pixel
// scale x scale; and frames side by side in one strip.
#pragma once

#include <cstdint>
#include <vector>

#include "core/Palette.h"
#include "core/Sequences.h"
#include "core/Types.h"

namespace kelmora
{

constexpr int kMaxFrameScale = 8;
constexpr int kMaxStripFrames = 2 * kMaxSequenceFrames; // a ping-pong pass of the longest sequence

struct FramePicture
{
    int width = 0;
    int height = 0;
    std::vector<u8> colours; // C64 colour numbers 0..15, top row first, width a row
};

// The frame of slot, 24 x scale by 21 x scale. A slot past the sprites in use shows the
// background. Empty when bank.sprites is null, slot is not 0..255 or scale not 1..8.
FramePicture RenderFramePicture(const SpriteBank& bank, int slot, int scale);

// frames side by side, the k-th at x = k x 24 x scale. Empty when there are none, more
// than kMaxStripFrames, or one cannot be drawn.
FramePicture RenderFrameStrip(const SpriteBank& bank, const std::vector<ShownFrame>& frames, int scale);

// The picture's pixels as 0x00RRGGBB through a palette of 16 colours.
std::vector<std::uint32_t> PictureToRgb(const FramePicture& picture,
                                        const std::uint32_t palette[kPaletteColours]);

} // namespace kelmora
