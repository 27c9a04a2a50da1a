// Stepping an animation through a run of sprite slots.
#include "core/Animation.h"

#include <algorithm>

#include "core/Sprite.h"

namespace kelmora
{

AnimationTick NextAnimationFrame(const AnimationState& state, const u8* block, int spriteCount)
{
    AnimationTick tick{-1, state};
    AnimationState& s = tick.next;
    if (s.holdCount != 0)
    {
        --s.holdCount;
        return tick;
    }

    const auto overlay = [block](int index) { return IsOverlay(block, index) == 1; };
    const int lastSprite = std::clamp(spriteCount, 1, kSlotCount) - 1;
    tick.shown = std::clamp(s.currentFrame, 0, lastSprite);

    int& frame = s.currentFrame;
    if (s.direction == AnimationDirection::Forward)
    {
        ++frame;
        if (overlay(frame - 1) && frame < s.endFrame) ++frame;
    }
    else
    {
        --frame;
        if (frame > 0 && overlay(frame - 1)) --frame;
    }

    if (!s.pingPong)
    {
        if (frame > s.endFrame)
            frame = s.startFrame;
        else if (frame < s.startFrame)
            frame = s.endFrame;
        return tick;
    }

    if (frame > s.endFrame)
    {
        s.direction = AnimationDirection::Backward;
        if (s.holdEnd)
        {
            s.holdCount = s.holdInterval - 1;
            frame = s.endFrame;
        }
        else
        {
            frame = s.endFrame - 1;
        }
        if (frame > 0 && overlay(frame - 1)) --frame;
    }
    if (frame < s.startFrame)
    {
        s.direction = AnimationDirection::Forward;
        if (s.holdStart)
        {
            s.holdCount = s.holdInterval - 1;
            frame = s.startFrame;
        }
        else
        {
            frame = s.startFrame + 1;
        }
        if (frame > 0 && overlay(frame - 1)) ++frame;
        // Skipping an overlay partner must not carry playback past the last frame
        // (nor past the last sprite slot).
        if (frame > s.endFrame) frame = s.endFrame;
    }
    return tick;
}

} // namespace kelmora
