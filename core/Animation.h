// Stepping an animation through a run of sprite slots: loop or ping-pong, holds at
// either end, and overlay pairs (a sprite with the overlay flag and the next one make
// one frame, named by its first slot, so stepping skips the second).
#pragma once

#include "core/Types.h"

namespace kelmora
{

enum class AnimationDirection
{
    Forward,
    Backward
};

struct AnimationState
{
    int currentFrame = 0; // the slot the next tick shows
    int startFrame = 0;
    int endFrame = 0;
    AnimationDirection direction = AnimationDirection::Forward;
    int holdCount = 0; // ticks still to wait before the next frame is shown
    // Options: reverse at the ends instead of wrapping, and wait holdInterval ticks on
    // the first or last frame when reversing there.
    bool pingPong = false;
    bool holdStart = false;
    bool holdEnd = false;
    int holdInterval = 5;
};

struct AnimationTick
{
    int shown;           // the slot to show at this tick, or -1 when the tick only waits
    AnimationState next; // the state for the following tick
};

// One timer tick. The slot shown is kept inside the sprites in use (spriteCount clamped
// to 1..256); block is read for the overlay flags only.
AnimationTick NextAnimationFrame(const AnimationState& state, const u8* block, int spriteCount);

} // namespace kelmora
