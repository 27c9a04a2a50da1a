// The process-wide undo history: whole copies of the sprites block, recorded
// after each change. At most 101 states are held, so 100 steps can be undone.
#pragma once

#include "core/Types.h"

namespace kelmora
{

constexpr int kHistorySlots = 102;

void HistoryClear();   // empties every slot (releasing what is still held) and resets position and top
void HistoryRelease(); // releases every snapshot held
void HistoryPush(const u8* source);
void HistoryUndo(u8* destination); // no-op unless HistoryPosition() >= 2
void HistoryRedo(u8* destination); // no-op unless HistoryTop() > HistoryPosition()
int HistoryPosition();
int HistoryTop();

} // namespace kelmora
