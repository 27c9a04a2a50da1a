// Named sequences: playing them tick by tick in the three modes, the order of one pass,
// frames taken from a run of slots with overlay pairs, and the checks against a bank.
#include "CoreTestSupport.h"

using namespace kelmora;
using namespace kelmora_test;

namespace
{

Sequence MakeSequence(PlayMode mode, std::vector<std::pair<int, int>> frames)
{
    Sequence sequence;
    sequence.name = "walk";
    sequence.mode = mode;
    for (const auto& [slot, delay] : frames)
        sequence.frames.push_back({slot, delay, ""});
    return sequence;
}

// The frame on show at each of ticks ticks (-1 before the first), as a preview shows it.
std::vector<int> Timeline(const Sequence& sequence, int ticks)
{
    std::vector<int> shown;
    SequenceState state = StartSequence(sequence);
    int current = -1;
    for (int t = 0; t < ticks; ++t)
    {
        const SequenceTick tick = NextSequenceFrame(state, sequence);
        if (tick.frame >= 0) current = tick.frame;
        shown.push_back(current);
        state = tick.next;
    }
    return shown;
}

std::vector<int> Slots(const std::vector<ShownFrame>& frames)
{
    std::vector<int> slots;
    for (const ShownFrame& frame : frames)
        slots.push_back(frame.slot);
    return slots;
}

} // namespace

TEST(Sequences, EachModePlaysItsFramesForTheirDelays)
{
    // Frames 0..3 for 1, 2, 1 and 3 ticks.
    const std::vector<std::pair<int, int>> frames = {{10, 1}, {11, 2}, {12, 1}, {13, 3}};
    using V = std::vector<int>;
    EXPECT_EQ(Timeline(MakeSequence(PlayMode::Loop, frames), 16),
              (V{0, 1, 1, 2, 3, 3, 3, 0, 1, 1, 2, 3, 3, 3, 0, 1}));
    // Back and forth, the turning frames once each time.
    EXPECT_EQ(Timeline(MakeSequence(PlayMode::PingPong, frames), 17),
              (V{0, 1, 1, 2, 3, 3, 3, 2, 1, 1, 0, 1, 1, 2, 3, 3, 3}));
    // Once: the last frame stays.
    const Sequence once = MakeSequence(PlayMode::Once, frames);
    EXPECT_EQ(Timeline(once, 12), (V{0, 1, 1, 2, 3, 3, 3, 3, 3, 3, 3, 3}));
    SequenceState state = StartSequence(once);
    for (int t = 0; t < 5; ++t)
        state = NextSequenceFrame(state, once).next;
    EXPECT_TRUE(state.finished);

    // Short sequences: one frame stays; two frames alternate in ping-pong.
    EXPECT_EQ(Timeline(MakeSequence(PlayMode::PingPong, {{4, 2}}), 5), (V{0, 0, 0, 0, 0}));
    EXPECT_EQ(Timeline(MakeSequence(PlayMode::PingPong, {{4, 1}, {5, 2}}), 7), (V{0, 1, 1, 0, 1, 1, 0}));
    EXPECT_EQ(Timeline(MakeSequence(PlayMode::Loop, {{4, 1}}), 3), (V{0, 0, 0}));
    // Nothing to show: every tick waits.
    EXPECT_EQ(Timeline(MakeSequence(PlayMode::Loop, {}), 3), (V{-1, -1, -1}));
}

TEST(Sequences, OnePassInTheOrderItPlays)
{
    const std::vector<std::pair<int, int>> frames = {{10, 1}, {11, 2}, {12, 1}, {13, 3}};
    using V = std::vector<int>;
    EXPECT_EQ(Slots(SequencePass(MakeSequence(PlayMode::Loop, frames))), (V{10, 11, 12, 13}));
    EXPECT_EQ(Slots(SequencePass(MakeSequence(PlayMode::Once, frames))), (V{10, 11, 12, 13}));
    const std::vector<ShownFrame> pingPong = SequencePass(MakeSequence(PlayMode::PingPong, frames));
    EXPECT_EQ(Slots(pingPong), (V{10, 11, 12, 13, 12, 11}));
    EXPECT_EQ(pingPong[4].delay, 1);
    EXPECT_EQ(pingPong[5].delay, 2);
    EXPECT_EQ(SequencePassTicks(MakeSequence(PlayMode::PingPong, frames)), 1 + 2 + 1 + 3 + 1 + 2);
    EXPECT_EQ(SequencePassTicks(MakeSequence(PlayMode::Loop, frames)), 7);
    EXPECT_EQ(Slots(SequencePass(MakeSequence(PlayMode::PingPong, {{3, 4}}))), (V{3}));
    EXPECT_EQ(Slots(SequencePass(MakeSequence(PlayMode::PingPong, {{3, 4}, {4, 4}}))), (V{3, 4}));
    EXPECT_TRUE(SequencePass(MakeSequence(PlayMode::Loop, {})).empty());

    // The longest sequence: every frame, 256 forward and 254 back.
    Sequence longest = MakeSequence(PlayMode::PingPong, {});
    for (int i = 0; i < kMaxSequenceFrames; ++i)
        longest.frames.push_back({i, 1 + i % 255, ""});
    const std::vector<ShownFrame> pass = SequencePass(longest);
    ASSERT_EQ(pass.size(), 510u);
    EXPECT_EQ(pass[255].slot, 255);
    EXPECT_EQ(pass[256].slot, 254);
    EXPECT_EQ(pass.back().slot, 1);
    longest.frames.push_back({0, 1, ""}); // one too many: nothing plays
    EXPECT_TRUE(SequencePass(longest).empty());
    EXPECT_EQ(NextSequenceFrame(StartSequence(longest), longest).frame, -1);
}

TEST(Sequences, FramesFromARunCountAnOverlayPairAsOneFrame)
{
    GuardedBlock guarded;
    u8* block = guarded.block();
    ClearBank(block);
    block[2 * 64 + 63] |= kAttrOverlay;   // 2 + 3 are a pair
    block[5 * 64 + 63] |= kAttrOverlay;   // 5 + 6 are a pair, 6 beyond the run's end
    block[255 * 64 + 63] |= kAttrOverlay; // the last slot has no partner
    const auto slots = [](const std::vector<SequenceFrame>& frames)
    {
        std::vector<int> out;
        for (const SequenceFrame& frame : frames)
        {
            EXPECT_EQ(frame.delay, 7);
            out.push_back(frame.slot);
        }
        return out;
    };
    using V = std::vector<int>;
    EXPECT_EQ(slots(FramesFromRange(block, 0, 5, 7)), (V{0, 1, 2, 4, 5}));
    EXPECT_EQ(slots(FramesFromRange(block, 3, 4, 7)), (V{3, 4})); // a run starting inside a pair
    EXPECT_EQ(slots(FramesFromRange(block, 254, 255, 7)), (V{254, 255}));
    EXPECT_TRUE(FramesFromRange(block, 4, 3, 7).empty());
    EXPECT_TRUE(FramesFromRange(block, -1, 3, 7).empty());
    EXPECT_TRUE(FramesFromRange(block, 0, 256, 7).empty());
    EXPECT_TRUE(guarded.GuardsIntact());
}

TEST(Sequences, ChecksNameTheSequenceAndTheFrame)
{
    Sequence walk = MakeSequence(PlayMode::Loop, {{0, 4}, {15, 4}});
    EXPECT_EQ(CheckSequence(walk), "");
    EXPECT_EQ(CheckSequenceSlots(walk, 16), "");
    EXPECT_EQ(CheckSequenceSlots(walk, 15),
              "sequence \"walk\", frame 1: sprite 15 is not in use (there are 15 sprites)");
    EXPECT_EQ(CheckSequenceSlots(MakeSequence(PlayMode::Loop, {}), 16), "sequence \"walk\" has no frames");

    walk.frames[1].delay = 0;
    EXPECT_EQ(CheckSequence(walk), "sequence \"walk\", frame 1: delay 0 is not 1..255 ticks");
    walk.frames[1].delay = 4;
    walk.frames[0].slot = 256;
    EXPECT_EQ(CheckSequence(walk), "sequence \"walk\", frame 0: slot 256 is not 0..255");

    walk.frames[0].slot = 0;
    walk.name = "w\x1B[2Jx";
    EXPECT_EQ(CheckSequence(walk), "sequence \"w\\x1B[2Jx\": the name holds a control character");
    walk.name = "";
    EXPECT_EQ(CheckSequence(walk), "a sequence has no name");

    const Sequence a = MakeSequence(PlayMode::Loop, {{1, 1}});
    EXPECT_EQ(CheckSequences({a, a}), "two sequences are named \"walk\"");
    const std::vector<Sequence> list = {a, MakeSequence(PlayMode::Once, {{2, 2}})};
    EXPECT_EQ(FindSequence(list, "walk"), &list[0]);
    EXPECT_EQ(FindSequence(list, "Walk"), nullptr);
}

TEST(Sequences, AnimatorCycleIsWhatTheAnimatorRepeats)
{
    std::vector<u8> block(kBlockBytes, 0);
    block[4 * kSpriteBytes + kAttributeByte] = kAttrOverlay; // 4 + 5 are one frame
    AnimationState options;
    options.startFrame = 2;
    options.endFrame = 6;

    // A loop: every frame for one timer step (here 2 ticks), the pair once.
    EXPECT_EQ(Slots(AnimatorCycle(options, block.data(), 32, 2)), (std::vector<int>{2, 3, 4, 6}));
    EXPECT_EQ(AnimatorCycle(options, block.data(), 32, 2)[0].delay, 2);

    // Ping-pong: back without the turning frames twice; with holds, the turning frames
    // stay for the hold interval as well.
    options.pingPong = true;
    EXPECT_EQ(Slots(AnimatorCycle(options, block.data(), 32, 1)), (std::vector<int>{2, 3, 4, 6, 4, 3}));
    options.holdStart = options.holdEnd = true;
    options.holdInterval = 3;
    const std::vector<ShownFrame> held = AnimatorCycle(options, block.data(), 32, 4);
    ASSERT_EQ(Slots(held), (std::vector<int>{2, 3, 4, 6, 4, 3}));
    EXPECT_EQ(held[0].delay, 4 * 4); // its own step and the three held ones
    EXPECT_EQ(held[1].delay, 4);
    EXPECT_EQ(held[3].delay, 4 * 4);

    // A hold longer than a GIF frame may be is split into frames of the same slot.
    options.holdInterval = 100;
    const std::vector<ShownFrame> long_ = AnimatorCycle(options, block.data(), 32, 8);
    ASSERT_EQ(Slots(long_), (std::vector<int>{2, 2, 2, 2, 3, 4, 6, 6, 6, 6, 4, 3}));
    EXPECT_EQ(long_[0].delay + long_[1].delay + long_[2].delay + long_[3].delay, 101 * 8);
    EXPECT_EQ(long_[0].delay, kMaxFrameDelay);

    // Nothing to play.
    options.endFrame = 2;
    EXPECT_TRUE(AnimatorCycle(options, block.data(), 32, 1).empty());
    options.endFrame = 6;
    EXPECT_TRUE(AnimatorCycle(options, block.data(), 32, 0).empty());
    EXPECT_TRUE(AnimatorCycle(options, nullptr, 32, 1).empty());
}

TEST(Sequences, FramesNamingObjectsAreCheckedAgainstTheProjectsObjects)
{
    Sequence stomp = MakeSequence(PlayMode::PingPong, {{0, 4}, {0, 6}});
    stomp.frames[1].object = "boss";
    const std::vector<SpriteObject> objects{*MakeObject("boss", 8, 2, 2)};
    EXPECT_EQ(CheckSequence(stomp), "");
    EXPECT_EQ(CheckSequenceFrames(stomp, objects, 12), "");
    EXPECT_EQ(
        CheckSequenceFrames(stomp, objects, 11),
        "sequence \"walk\", frame 1: Object \"boss\": cell 3 uses sprite 11, beyond the 11 sprites in use.");
    EXPECT_EQ(CheckSequenceFrames(stomp, {}, 12),
              "sequence \"walk\", frame 1: there is no object named \"boss\"");
    EXPECT_EQ(CheckSequenceSlots(stomp, 12), "sequence \"walk\", frame 1: there is no object named \"boss\"");

    // One pass carries the object with its frame: 0, boss, and back.
    const std::vector<ShownFrame> pass = SequencePass(stomp);
    ASSERT_EQ(pass.size(), 2u);
    EXPECT_EQ(pass[1].object, "boss");
    EXPECT_EQ(pass[1].delay, 6);
    EXPECT_EQ(pass[0].object, "");

    // Renaming the object renames the frames that show it, and only those.
    std::vector<Sequence> all{stomp, stomp};
    EXPECT_EQ(RenameObjectFrames(all, "boss", "giant"), 2);
    EXPECT_EQ(all[1].frames[1].object, "giant");
    EXPECT_EQ(all[1].frames[0].object, "");
    EXPECT_EQ(RenameObjectFrames(all, "", "giant"), 0); // a frame showing its slot names no object

    stomp.frames[1].object = "bo\x07ss";
    EXPECT_EQ(CheckSequence(stomp),
              "sequence \"walk\", frame 1: the object's name holds a control character");
}
