// The process-wide undo history of whole sprites blocks.
#include "core/UndoHistory.h"

#include <cstring>
#include <new>

namespace kelmora
{

namespace
{

// Slot 101 is only used for the moment between a push and the discarding of the oldest state.
constexpr int kHighestPosition = kHistorySlots - 1;

u8* gSnapshots[kHistorySlots] = {};
int gPosition = 0;
int gTop = 0;

} // namespace

void HistoryClear()
{
    // Nothing that the slots still own is lost: it is released first.
    HistoryRelease();
    gPosition = 0;
    gTop = 0;
}

void HistoryRelease()
{
    for (u8*& snapshot : gSnapshots)
    {
        delete[] snapshot;
        snapshot = nullptr;
    }
}

void HistoryPush(const u8* source)
{
    if (source == nullptr) return;
    u8* snapshot = new (std::nothrow) u8[kBlockBytes];
    if (snapshot == nullptr) return;
    std::memcpy(snapshot, source, kBlockBytes);

    delete[] gSnapshots[gPosition];
    gSnapshots[gPosition] = snapshot;
    ++gPosition;
    if (gPosition > kHighestPosition)
    {
        delete[] gSnapshots[0];
        for (int k = 0; k < kHighestPosition; ++k)
            gSnapshots[k] = gSnapshots[k + 1];
        gSnapshots[kHighestPosition] = nullptr;
        gPosition = kHighestPosition;
    }
    gTop = gPosition;
}

void HistoryUndo(u8* destination)
{
    if (destination == nullptr || gPosition < 2 || gSnapshots[gPosition - 2] == nullptr) return;
    std::memcpy(destination, gSnapshots[gPosition - 2], kBlockBytes);
    --gPosition;
}

void HistoryRedo(u8* destination)
{
    if (destination == nullptr || gTop <= gPosition || gSnapshots[gPosition] == nullptr) return;
    std::memcpy(destination, gSnapshots[gPosition], kBlockBytes);
    ++gPosition;
}

int HistoryPosition()
{
    return gPosition;
}

int HistoryTop()
{
    return gTop;
}

} // namespace kelmora
