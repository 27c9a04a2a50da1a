// Animated GIF pictures of sprite animations, encoded with giflib.
//
// Every frame is 24 x 21 picture pixels times the scale, drawn as the browser draws the
// sprite (see FramePictures.h), in a global palette of the 16 C64 colours; frames that
// name objects are the objects' pictures, and every frame then takes the size of the
// largest, its picture at the top left on the background. Each frame
// shows for exactly its delay: a tick of 1/50 s is 2/100 s, the GIF's unit. A looping
// animation carries the NETSCAPE2.0 extension with a loop count of 0 (for ever); one
// without it plays once.
#pragma once

#include <cstdint>
#include <vector>

#include "core/Palette.h"
#include "core/Sequences.h"
#include "core/Types.h"

namespace kelmora
{

constexpr int kGifUnitsPerTick = 2; // hundredths of a second

// False when this build has no GIF encoder (giflib was not found): then every function
// below returns an empty result.
bool GifSupported();

// A whole GIF file holding frames in their order, each for its delay. Empty when
// unsupported, when there are no frames or more than kMaxStripFrames, when a frame
// cannot be drawn (slot not 0..255, scale not 1..8) or a delay is not 1..255 ticks.
std::vector<std::uint8_t> EncodeFramesGif(const SpriteBank& bank, const std::vector<ShownFrame>& frames,
                                          int scale, const std::uint32_t palette[kPaletteColours],
                                          bool loopForever);
// The same for frames that may name objects, looked up in objects; empty also when a
// frame names no sound object among them.
std::vector<std::uint8_t> EncodeFramesGif(const SpriteBank& bank, const std::vector<ShownFrame>& frames,
                                          const std::vector<SpriteObject>& objects, int scale,
                                          const std::uint32_t palette[kPaletteColours], bool loopForever);

// One pass of sequence (SequencePass: ping-pong forward, then back without repeating
// the turning frames), looping for ever unless its mode is "once".
std::vector<std::uint8_t> EncodeSequenceGif(const SpriteBank& bank, const Sequence& sequence, int scale,
                                            const std::uint32_t palette[kPaletteColours]);
// The same for a sequence whose frames may name the project's objects.
std::vector<std::uint8_t> EncodeSequenceGif(const SpriteBank& bank, const Sequence& sequence,
                                            const std::vector<SpriteObject>& objects, int scale,
                                            const std::uint32_t palette[kPaletteColours]);

} // namespace kelmora
