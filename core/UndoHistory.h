// The undo history: whole copies of the sprites block, with the project's extras
// (sequences, objects, names, presets) as they were, recorded after each change.
// At most 101 states are held, so 100 steps can be undone.
//
// Each document owns a history record and passes it to the functions taking one.
// The functions without a record work on one process-wide default history; they are
// kept for callers that hold no document.
#pragma once

#include <deque>
#include <vector>

#include "core/ProjectExtras.h"
#include "core/Types.h"

namespace kelmora
{

constexpr int kHistorySlots = 102;
constexpr int kHistoryStates = kHistorySlots - 1; // states held at most

struct UndoHistory
{
    std::deque<std::vector<u8>> states; // oldest first; states[position - 1] is the one shown
    std::deque<ProjectExtras> extras;   // the extras of each state
    int position = 0;                   // states up to here are done, the rest can be redone
    // A number for each state, kept across discarding the oldest, so that a state can be
    // recognised later (the document compares it with the state last saved).
    std::deque<unsigned long long> ids;
    unsigned long long nextId = 1;
};

void HistoryClear(UndoHistory& history);   // empties it: position and top 0
void HistoryRelease(UndoHistory& history); // frees every state; position and top stay, nothing can be undone
// Records a state; without extras it keeps the extras of the state shown.
void HistoryPush(UndoHistory& history, const u8* source);
void HistoryPush(UndoHistory& history, const u8* source, const ProjectExtras& extras);
// The extras of the state shown, or null for an empty history.
const ProjectExtras* HistoryExtras(const UndoHistory& history);
bool HistoryUndo(UndoHistory& history, u8* destination); // false unless HistoryPosition() >= 2
bool HistoryRedo(UndoHistory& history, u8* destination); // false unless HistoryTop() > HistoryPosition()
int HistoryPosition(const UndoHistory& history);
int HistoryTop(const UndoHistory& history);
// The number of the state shown (0 for an empty history).
unsigned long long HistoryStateId(const UndoHistory& history);

// The process-wide default history.
void HistoryClear();   // empties every slot (releasing what is still held) and resets position and top
void HistoryRelease(); // releases every snapshot held
void HistoryPush(const u8* source);
void HistoryUndo(u8* destination); // no-op unless HistoryPosition() >= 2
void HistoryRedo(u8* destination); // no-op unless HistoryTop() > HistoryPosition()
int HistoryPosition();
int HistoryTop();

} // namespace kelmora
