// Animation frames as pictures: the sprite a frame names drawn as the browser draws it
// (its own colour and the bank's shared colours, multicolour pixels two wide, the next
// sprite on top when its overlay flag is set), or the object it names drawn as one
// picture, in C64 colour numbers, every pixel scale x scale; and frames side by side in
// one strip.
#pragma once

#include <cstdint>
#include <vector>

#include "core/Objects.h"
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

// The object's picture, ObjectPictureWidth x ObjectPictureHeight times scale: each cell's
// sprite with its overlay sprite on top, as RenderObjectPixels draws them; cells whose
// sprite is not in use show the background. Empty when bank.sprites is null, the object is
// not sound (ObjectProblem) or scale is not 1..8.
FramePicture RenderObjectPicture(const SpriteBank& bank, const SpriteObject& object, int scale);

// The size, in picture pixels before scaling, of the largest of frames: 24 x 21 for a
// frame that shows a slot, the object's picture for one that names an object (looked up
// in objects). {0, 0} when a frame cannot be drawn: its slot is not 0..255, or no sound
// object of its name is among objects.
struct FrameSize
{
    int width = 0;
    int height = 0;
};
FrameSize FrameCanvasSize(const std::vector<ShownFrame>& frames, const std::vector<SpriteObject>& objects);

// One frame on a canvas of canvas's size (FrameCanvasSize of all the frames shown
// together) times scale: the frame at the top left, the rest background. Empty when it
// cannot be drawn or does not fit the canvas.
FramePicture RenderShownFrame(const SpriteBank& bank, const ShownFrame& frame,
                              const std::vector<SpriteObject>& objects, FrameSize canvas, int scale);

// frames, which may name objects, side by side on canvases of FrameCanvasSize: the k-th
// at x = k x canvas width x scale. Empty when there are none, more than kMaxStripFrames,
// one cannot be drawn, or the strip would hold more than kMaxStripPixels pixels.
constexpr std::size_t kMaxStripPixels = std::size_t{1} << 28;
FramePicture RenderFrameStrip(const SpriteBank& bank, const std::vector<ShownFrame>& frames,
                              const std::vector<SpriteObject>& objects, int scale);

// The picture's pixels as 0x00RRGGBB through a palette of 16 colours.
std::vector<std::uint32_t> PictureToRgb(const FramePicture& picture,
                                        const std::uint32_t palette[kPaletteColours]);

} // namespace kelmora
