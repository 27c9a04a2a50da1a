// Animation stepping: loop, ping-pong, holds and overlay pairs, tick by tick.
#include "CoreTestSupport.h"

using namespace kelmora;
using namespace kelmora_test;

namespace
{

struct Playback
{
    const char* what;
    int start, end;
    AnimationDirection direction;
    bool pingPong, holdStart, holdEnd;
    int holdInterval;
    std::vector<int> overlays; // slots with the overlay flag
    int spriteCount;
    std::vector<int> shown; // the frame on display after each tick
};

// Plays the run from its first frame (or its last, backwards) as the animator starts it,
// and lists the frame on display after each tick: a tick that only waits leaves the
// previous one.
std::vector<int> Play(const Playback& run)
{
    Bytes block(kBlockBytes, 0);
    for (int slot : run.overlays)
        block[slot * kSpriteBytes + kAttributeByte] |= kAttrOverlay;
    AnimationState state;
    state.startFrame = run.start;
    state.endFrame = run.end;
    state.direction = run.direction;
    state.currentFrame = run.direction == AnimationDirection::Forward ? run.start : run.end;
    state.pingPong = run.pingPong;
    state.holdStart = run.holdStart;
    state.holdEnd = run.holdEnd;
    state.holdInterval = run.holdInterval;
    std::vector<int> shown;
    int onDisplay = -1;
    for (std::size_t i = 0; i < run.shown.size(); ++i)
    {
        const AnimationTick tick = NextAnimationFrame(state, block.data(), run.spriteCount);
        if (tick.shown >= 0) onDisplay = tick.shown;
        state = tick.next;
        shown.push_back(onDisplay);
    }
    return shown;
}

constexpr auto F = AnimationDirection::Forward;
constexpr auto B = AnimationDirection::Backward;

} // namespace

TEST(Animation, StepsThroughLoopsPingPongHoldsAndOverlayPairs)
{
    const Playback runs[] = {
        {"loop forwards", 3, 7, F, false, false, false, 5, {}, 32, {3, 4, 5, 6, 7, 3, 4, 5}},
        {"loop backwards", 3, 7, B, false, false, false, 5, {}, 32, {7, 6, 5, 4, 3, 7, 6}},
        {"ping-pong shows each turning frame once",
         3,
         7,
         F,
         true,
         false,
         false,
         5,
         {},
         32,
         {3, 4, 5, 6, 7, 6, 5, 4, 3, 4, 5, 6}},
        {"hold on the end frame for six ticks",
         3,
         7,
         F,
         true,
         false,
         true,
         5,
         {},
         32,
         {3, 4, 5, 6, 7, 7, 7, 7, 7, 7, 6, 5, 4, 3, 4, 5}},
        {"hold on the start frame at interval 1",
         3,
         7,
         F,
         true,
         true,
         false,
         1,
         {},
         32,
         {3, 4, 5, 6, 7, 6, 5, 4, 3, 3, 4, 5}},
        {"holds are ignored without ping-pong", 3, 5, F, false, true, true, 5, {}, 32, {3, 4, 5, 3, 4}},
        {"an overlay pair is one frame forwards",
         3,
         7,
         F,
         false,
         false,
         false,
         5,
         {4},
         32,
         {3, 4, 6, 7, 3, 4, 6}},
        {"an overlay pair is one frame backwards",
         3,
         7,
         B,
         false,
         false,
         false,
         5,
         {4},
         32,
         {7, 6, 4, 3, 7, 6}},
        {"ping-pong skips the partner on both turns",
         3,
         7,
         F,
         true,
         false,
         false,
         5,
         {4},
         32,
         {3, 4, 6, 7, 6, 4, 3, 4}},
        {"a frame beyond the sprites in use shows the last one",
         28,
         40,
         F,
         false,
         false,
         false,
         5,
         {},
         30,
         {28, 29, 29, 29}},
    };
    for (const Playback& run : runs)
        EXPECT_EQ(Play(run), run.shown) << run.what;
}

TEST(Animation, TurningAtAFlaggedStartNeverPassesTheEndOrTheLastSlot)
{
    // Start frame flagged with its partner as the end frame: skipping the partner after a
    // turn at the start would land past the end, and at 254/255 past the last slot.
    for (const int start : {10, 254})
        for (const bool holdEnd : {false, true})
        {
            const Playback run{"",      start, start + 1,           F, true, false, holdEnd, 5,
                               {start}, 256,   std::vector<int>(30)};
            for (int frame : Play(run))
                EXPECT_TRUE(frame == start || frame == start + 1) << start << " showed " << frame;
        }
}

TEST(Animation, DirectionAndHoldCountFollowTheTurn)
{
    AnimationState state;
    state.startFrame = 0;
    state.endFrame = 2;
    state.currentFrame = 2;
    state.pingPong = true;
    state.holdEnd = true;
    state.holdInterval = 3;
    const Bytes block(kBlockBytes, 0);
    const AnimationTick turn = NextAnimationFrame(state, block.data(), 32);
    EXPECT_EQ(turn.shown, 2);
    EXPECT_EQ(turn.next.direction, AnimationDirection::Backward);
    EXPECT_EQ(turn.next.holdCount, 2);
    EXPECT_EQ(turn.next.currentFrame, 2);
    const AnimationTick wait = NextAnimationFrame(turn.next, block.data(), 32);
    EXPECT_EQ(wait.shown, -1);
    EXPECT_EQ(wait.next.holdCount, 1);
    // The function keeps no state of its own: the same input gives the same tick.
    EXPECT_EQ(NextAnimationFrame(state, block.data(), 32).next.holdCount, 2);
}
