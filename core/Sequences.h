// Named sequences: an animation as a list of frames, each a sprite slot shown for its
// own number of ticks (1/50 s), played in a loop, back and forth, or once.
//
// A frame names one slot; when that sprite's overlay flag is set the next sprite is
// drawn on top of it, so an overlay pair is one frame named by its first slot. A frame
// may instead name an object of the project (Objects.h), drawn as one picture.
#pragma once

#include <string>
#include <vector>

#include "core/Animation.h"
#include "core/Objects.h"
#include "core/Types.h"

namespace kelmora
{

enum class PlayMode
{
    Loop,     // first to last, then from the first again
    PingPong, // first to last and back, the turning frames shown once
    Once,     // first to last, then the last frame stays
};

constexpr int kMinFrameDelay = 1;       // ticks
constexpr int kMaxFrameDelay = 255;     // ticks
constexpr int kDefaultFrameDelay = 4;   // ticks, for frames added without a delay
constexpr int kMaxSequenceFrames = 256; // frames in one sequence
constexpr int kTicksPerSecond = 50;

struct SequenceFrame
{
    int slot = 0;                   // 0..255
    int delay = kDefaultFrameDelay; // ticks, kMinFrameDelay..kMaxFrameDelay
    // Keys of this frame's JSON object that this version does not know, as a JSON
    // object text ("" when none); written back unchanged.
    std::string otherKeys;
    // The name of the project's object this frame shows instead of its slot; "" when
    // the frame shows its slot.
    std::string object = {};
};

struct Sequence
{
    std::string name; // not empty, no control characters, unique in a project
    PlayMode mode = PlayMode::Loop;
    std::vector<SequenceFrame> frames;
    std::string otherKeys; // as SequenceFrame::otherKeys, for the sequence's own object
};

bool operator==(const SequenceFrame& a, const SequenceFrame& b);
bool operator!=(const SequenceFrame& a, const SequenceFrame& b);
bool operator==(const Sequence& a, const Sequence& b);
bool operator!=(const Sequence& a, const Sequence& b);

// "loop", "pingpong", "once": the words of the side file and the command line.
const char* PlayModeName(PlayMode mode);
// False when text is none of them (exact, lower case).
bool ParsePlayMode(const std::string& text, PlayMode& mode);

// The frames of slots first..last of block with one delay: every slot, except that the
// second sprite of an overlay pair inside the run is skipped (the pair is one frame).
// Empty when the run is not inside 0..255 or first > last.
std::vector<SequenceFrame> FramesFromRange(const u8* block, int first, int last, int delay);

// Why sequence cannot be used as it is, naming it: an empty or control-character name,
// more than kMaxSequenceFrames frames, a slot outside 0..255, an object name holding a
// control character or a delay outside 1..255. "" when it is sound. A sequence without
// frames is sound (it is being made).
std::string CheckSequence(const Sequence& sequence);
// The same for a whole list, and two sequences of one name.
std::string CheckSequences(const std::vector<Sequence>& sequences);
// Why sequence cannot be shown from a bank of spriteCount sprites: it has no frames, or
// a frame names a slot past the sprites in use, or names an object (which this check
// cannot look up). "" when it can.
std::string CheckSequenceSlots(const Sequence& sequence, int spriteCount);
// The same for a sequence whose frames may name objects: such a frame needs an object of
// that name among objects whose sprites are all in use.
std::string CheckSequenceFrames(const Sequence& sequence, const std::vector<SpriteObject>& objects,
                                int spriteCount);

// Frames that name the object from go on showing it when it is renamed to: they are
// given its new name. Returns how many frames changed.
int RenameObjectFrames(std::vector<Sequence>& sequences, const std::string& from, const std::string& to);

// The sequence of this name, or nullptr.
const Sequence* FindSequence(const std::vector<Sequence>& sequences, const std::string& name);

// One frame as it is shown: the slot and how long, in ticks, or the object it names.
struct ShownFrame
{
    int slot;
    int delay;
    std::string object = {}; // "" : the frame shows its slot
};

// The frames of one pass of the sequence in the order they are shown: loop and once
// 0..n-1; ping-pong 0..n-1 and back n-2..1, so that repeating the pass never shows a
// turning frame twice in a row. Follows NextSequenceFrame exactly.
std::vector<ShownFrame> SequencePass(const Sequence& sequence);
// The ticks one pass lasts.
int SequencePassTicks(const Sequence& sequence);

// The frames the animator shows over and over when it plays forwards from
// options.startFrame to options.endFrame with options' ping-pong and holds, each timer
// tick ticksPerStep ticks (1/50 s) long: the part of its playing that repeats, starting
// where it shows the start frame, the ticks it waits added to the frame before them. A
// frame longer than kMaxFrameDelay ticks becomes several frames of the same slot. Empty
// when the bounds are not 0 <= start < end <= 255, ticksPerStep is not 1..255, block is
// null, or the cycle has more than 2 x kMaxSequenceFrames frames (the most a GIF takes).
std::vector<ShownFrame> AnimatorCycle(const AnimationState& options, const u8* block, int spriteCount,
                                      int ticksPerStep);

// Playing a sequence tick by tick, as a preview does.
struct SequenceState
{
    AnimationState stepping; // frame numbers 0..n-1 stepped as the animator steps slots
    bool finished = false;   // a "once" sequence that has shown its last frame
};

struct SequenceTick
{
    int frame;          // the frame (index into sequence.frames) to show from this tick on,
                        // or -1 when the frame shown stays
    SequenceState next; // the state for the following tick
};

// The state before the first tick of sequence.
SequenceState StartSequence(const Sequence& sequence);
// One tick: the first tick of each frame names it, the following delay - 1 ticks wait.
// A "once" sequence waits on its last frame for good. A sequence without frames, or
// with more than kMaxSequenceFrames, always waits.
SequenceTick NextSequenceFrame(const SequenceState& state, const Sequence& sequence);

} // namespace kelmora
