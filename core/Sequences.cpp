// Named sequences: frames, checks and playing order.
#include "core/Sequences.h"

#include <algorithm>
#include <map>
#include <tuple>

#include "core/Sprite.h"

namespace kelmora
{

namespace
{

// The name in quotes, control characters shown as \xNN so that no message carries them.
std::string Named(const Sequence& sequence)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string text = "sequence \"";
    for (char c : sequence.name)
    {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F)
            text += std::string("\\x") + kHex[u >> 4] + kHex[u & 15];
        else
            text += c;
    }
    return text + "\"";
}

bool HasControlCharacter(const std::string& text)
{
    for (char c : text)
    {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F) return true;
    }
    return false;
}

int FrameCount(const Sequence& sequence)
{
    return static_cast<int>(sequence.frames.size());
}

} // namespace

bool operator==(const SequenceFrame& a, const SequenceFrame& b)
{
    return a.slot == b.slot && a.delay == b.delay && a.otherKeys == b.otherKeys && a.object == b.object;
}

bool operator!=(const SequenceFrame& a, const SequenceFrame& b)
{
    return !(a == b);
}

bool operator==(const Sequence& a, const Sequence& b)
{
    return a.name == b.name && a.mode == b.mode && a.frames == b.frames && a.otherKeys == b.otherKeys;
}

bool operator!=(const Sequence& a, const Sequence& b)
{
    return !(a == b);
}

const char* PlayModeName(PlayMode mode)
{
    switch (mode)
    {
    case PlayMode::Loop:
        return "loop";
    case PlayMode::PingPong:
        return "pingpong";
    case PlayMode::Once:
        return "once";
    }
    return "loop";
}

bool ParsePlayMode(const std::string& text, PlayMode& mode)
{
    for (PlayMode candidate : {PlayMode::Loop, PlayMode::PingPong, PlayMode::Once})
        if (text == PlayModeName(candidate))
        {
            mode = candidate;
            return true;
        }
    return false;
}

std::vector<SequenceFrame> FramesFromRange(const u8* block, int first, int last, int delay)
{
    std::vector<SequenceFrame> frames;
    if (!ValidSlot(first) || !ValidSlot(last) || first > last) return frames;
    for (int slot = first; slot <= last; ++slot)
    {
        SequenceFrame frame;
        frame.slot = slot;
        frame.delay = delay;
        frames.push_back(frame);
        if (IsOverlay(block, slot) == 1) ++slot; // its partner is part of this frame
    }
    return frames;
}

std::string CheckSequence(const Sequence& sequence)
{
    if (sequence.name.empty()) return "a sequence has no name";
    if (HasControlCharacter(sequence.name)) return Named(sequence) + ": the name holds a control character";
    if (FrameCount(sequence) > kMaxSequenceFrames)
        return Named(sequence) + " has " + std::to_string(FrameCount(sequence)) + " frames; at most " +
               std::to_string(kMaxSequenceFrames) + " are allowed";
    for (int i = 0; i < FrameCount(sequence); ++i)
    {
        const SequenceFrame& frame = sequence.frames[static_cast<std::size_t>(i)];
        const std::string where = Named(sequence) + ", frame " + std::to_string(i) + ": ";
        if (!ValidSlot(frame.slot)) return where + "slot " + std::to_string(frame.slot) + " is not 0..255";
        if (HasControlCharacter(frame.object)) return where + "the object's name holds a control character";
        if (frame.delay < kMinFrameDelay || frame.delay > kMaxFrameDelay)
            return where + "delay " + std::to_string(frame.delay) + " is not 1..255 ticks";
    }
    return {};
}

std::string CheckSequences(const std::vector<Sequence>& sequences)
{
    for (std::size_t i = 0; i < sequences.size(); ++i)
    {
        const std::string problem = CheckSequence(sequences[i]);
        if (!problem.empty()) return problem;
        for (std::size_t k = 0; k < i; ++k)
            if (sequences[k].name == sequences[i].name)
                return "two sequences are named \"" + sequences[i].name + "\"";
    }
    return {};
}

std::string CheckSequenceSlots(const Sequence& sequence, int spriteCount)
{
    return CheckSequenceFrames(sequence, {}, spriteCount);
}

int RenameObjectFrames(std::vector<Sequence>& sequences, const std::string& from, const std::string& to)
{
    if (from.empty()) return 0; // "" is a frame that shows its slot, not an object's name
    int renamed = 0;
    for (Sequence& sequence : sequences)
        for (SequenceFrame& frame : sequence.frames)
            if (frame.object == from)
            {
                frame.object = to;
                ++renamed;
            }
    return renamed;
}

std::string CheckSequenceFrames(const Sequence& sequence, const std::vector<SpriteObject>& objects,
                                int spriteCount)
{
    if (sequence.frames.empty()) return Named(sequence) + " has no frames";
    for (int i = 0; i < FrameCount(sequence); ++i)
    {
        const SequenceFrame& frame = sequence.frames[static_cast<std::size_t>(i)];
        const std::string where = Named(sequence) + ", frame " + std::to_string(i) + ": ";
        if (!frame.object.empty())
        {
            const SpriteObject* object = FindObject(objects, frame.object);
            if (object == nullptr) return where + "there is no object named \"" + frame.object + "\"";
            const std::string problem = ObjectUseProblem(*object, spriteCount);
            if (!problem.empty()) return where + problem;
            continue;
        }
        if (frame.slot < 0 || frame.slot >= spriteCount)
            return where + "sprite " + std::to_string(frame.slot) + " is not in use (there are " +
                   std::to_string(spriteCount) + " sprites)";
    }
    return {};
}

const Sequence* FindSequence(const std::vector<Sequence>& sequences, const std::string& name)
{
    for (const Sequence& sequence : sequences)
        if (sequence.name == name) return &sequence;
    return nullptr;
}

SequenceState StartSequence(const Sequence& sequence)
{
    SequenceState state;
    AnimationState& s = state.stepping;
    s.currentFrame = s.startFrame = 0;
    s.endFrame = FrameCount(sequence) - 1;
    s.pingPong = sequence.mode == PlayMode::PingPong;
    s.holdStart = s.holdEnd = false;
    s.holdCount = 0;
    return state;
}

SequenceTick NextSequenceFrame(const SequenceState& state, const Sequence& sequence)
{
    SequenceTick tick{-1, state};
    const int count = FrameCount(sequence);
    if (state.finished || count < 1 || count > kMaxSequenceFrames) return tick;

    // Frame numbers are stepped as the animator steps slots, over a run without
    // overlay pairs: one frame number per frame.
    const AnimationTick step = NextAnimationFrame(state.stepping, nullptr, count);
    tick.next.stepping = step.next;
    if (step.shown < 0) return tick;

    tick.frame = step.shown;
    const int delay = sequence.frames[static_cast<std::size_t>(step.shown)].delay;
    tick.next.stepping.holdCount = (delay < kMinFrameDelay ? kMinFrameDelay : delay) - 1;
    if (sequence.mode == PlayMode::Once && step.shown == count - 1) tick.next.finished = true;
    return tick;
}

std::vector<ShownFrame> SequencePass(const Sequence& sequence)
{
    std::vector<ShownFrame> pass;
    const int count = FrameCount(sequence);
    if (count < 1 || count > kMaxSequenceFrames) return pass;
    const int length = sequence.mode == PlayMode::PingPong && count > 1 ? 2 * count - 2 : count;
    SequenceState state = StartSequence(sequence);
    while (static_cast<int>(pass.size()) < length)
    {
        // Only the first tick of each frame names it; skip the waiting ones.
        state.stepping.holdCount = 0;
        const SequenceTick tick = NextSequenceFrame(state, sequence);
        if (tick.frame < 0) break; // cannot happen with holds skipped; never loop forever
        const SequenceFrame& frame = sequence.frames[static_cast<std::size_t>(tick.frame)];
        pass.push_back({frame.slot, frame.delay, frame.object});
        state = tick.next;
    }
    return pass;
}

int SequencePassTicks(const Sequence& sequence)
{
    int ticks = 0;
    for (const ShownFrame& frame : SequencePass(sequence))
        ticks += frame.delay;
    return ticks;
}

std::vector<ShownFrame> AnimatorCycle(const AnimationState& options, const u8* block, int spriteCount,
                                      int ticksPerStep)
{
    std::vector<ShownFrame> frames;
    if (block == nullptr || options.startFrame < 0 || options.endFrame > kSlotCount - 1 ||
        options.startFrame >= options.endFrame || ticksPerStep < 1 || ticksPerStep > kMaxFrameDelay)
        return frames;

    // Play tick by tick until a state comes round again: from its first visit on, the
    // ticks repeat for ever.
    AnimationState state = options;
    state.currentFrame = options.startFrame;
    state.direction = AnimationDirection::Forward;
    state.holdCount = 0;
    std::map<std::tuple<int, int, int>, std::size_t> seen;
    std::vector<int> shown; // per tick: the slot shown from then on, or -1 while it waits
    constexpr std::size_t kMostTicks = std::size_t{1} << 17; // far more than the longest cycle
    std::size_t cycleStart = 0;
    for (;;)
    {
        const auto key =
            std::make_tuple(state.currentFrame, static_cast<int>(state.direction), state.holdCount);
        const auto found = seen.find(key);
        if (found != seen.end())
        {
            cycleStart = found->second;
            break;
        }
        if (shown.size() >= kMostTicks) return frames;
        seen.emplace(key, shown.size());
        const AnimationTick tick = NextAnimationFrame(state, block, spriteCount);
        shown.push_back(tick.shown);
        state = tick.next;
    }

    // The repeating ticks, from the one that shows the start frame (or the first that
    // shows any frame).
    const std::vector<int> cycle(shown.begin() + static_cast<std::ptrdiff_t>(cycleStart), shown.end());
    const int firstSlot = std::clamp(options.startFrame, 0, std::clamp(spriteCount, 1, kSlotCount) - 1);
    std::size_t from = cycle.size();
    for (std::size_t k = 0; k < cycle.size() && from == cycle.size(); ++k)
        if (cycle[k] == firstSlot) from = k;
    for (std::size_t k = 0; k < cycle.size() && from == cycle.size(); ++k)
        if (cycle[k] >= 0) from = k;
    if (from == cycle.size()) return frames;

    // A slot shown again at once (a turning frame held) stays one frame, also across
    // the end of the cycle.
    std::vector<ShownFrame> merged;
    for (std::size_t k = 0; k < cycle.size(); ++k)
    {
        const int slot = cycle[(from + k) % cycle.size()];
        if (slot >= 0 && (merged.empty() || merged.back().slot != slot))
            merged.push_back({slot, ticksPerStep});
        else
            merged.back().delay += ticksPerStep;
    }
    if (merged.size() > 1 && merged.back().slot == merged.front().slot)
    {
        merged.front().delay += merged.back().delay;
        merged.pop_back();
    }
    for (const ShownFrame& frame : merged)
    {
        int left = frame.delay;
        while (left > 0)
        {
            const int piece = std::min(left, kMaxFrameDelay);
            frames.push_back({frame.slot, piece});
            left -= piece;
        }
        if (frames.size() > static_cast<std::size_t>(2 * kMaxSequenceFrames)) return {};
    }
    return frames;
}

} // namespace kelmora
