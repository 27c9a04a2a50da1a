// The undo history of whole sprites blocks.
#include "core/UndoHistory.h"

#include <cstring>
#include <new>

namespace kelmora
{

namespace
{

UndoHistory& DefaultHistory()
{
    static UndoHistory history;
    return history;
}

} // namespace

void HistoryClear(UndoHistory& history)
{
    history.states.clear();
    history.extras.clear();
    history.ids.clear();
    history.position = 0;
}

const ProjectExtras* HistoryExtras(const UndoHistory& history)
{
    return history.position > 0 ? &history.extras[static_cast<std::size_t>(history.position - 1)] : nullptr;
}

void HistoryPush(UndoHistory& history, const u8* source)
{
    const ProjectExtras* shown = HistoryExtras(history);
    HistoryPush(history, source, shown != nullptr ? ProjectExtras(*shown) : ProjectExtras());
}

void HistoryPush(UndoHistory& history, const u8* source, const ProjectExtras& extras)
{
    if (source == nullptr) return;
    std::vector<u8> snapshot;
    try
    {
        snapshot.assign(source, source + kBlockBytes);
    }
    catch (const std::bad_alloc&)
    {
        return; // the change stays, only its undo step is lost
    }
    // What could be redone is gone once something new is done.
    history.states.resize(static_cast<std::size_t>(history.position));
    history.extras.resize(static_cast<std::size_t>(history.position));
    history.ids.resize(static_cast<std::size_t>(history.position));
    history.states.push_back(std::move(snapshot));
    history.extras.push_back(extras);
    history.ids.push_back(history.nextId++);
    if (history.states.size() > static_cast<std::size_t>(kHistoryStates))
    {
        history.states.pop_front();
        history.extras.pop_front();
        history.ids.pop_front();
    }
    history.position = static_cast<int>(history.states.size());
}

void HistoryRelease(UndoHistory& history)
{
    for (std::vector<u8>& state : history.states)
        std::vector<u8>().swap(state);
}

namespace
{

// A released state can no longer be returned to.
bool Held(const std::vector<u8>& state)
{
    return state.size() == static_cast<std::size_t>(kBlockBytes);
}

} // namespace

bool HistoryUndo(UndoHistory& history, u8* destination)
{
    if (destination == nullptr || history.position < 2) return false;
    const std::vector<u8>& state = history.states[static_cast<std::size_t>(history.position - 2)];
    if (!Held(state)) return false;
    std::memcpy(destination, state.data(), kBlockBytes);
    --history.position;
    return true;
}

bool HistoryRedo(UndoHistory& history, u8* destination)
{
    if (destination == nullptr || HistoryTop(history) <= history.position) return false;
    const std::vector<u8>& state = history.states[static_cast<std::size_t>(history.position)];
    if (!Held(state)) return false;
    std::memcpy(destination, state.data(), kBlockBytes);
    ++history.position;
    return true;
}

int HistoryPosition(const UndoHistory& history)
{
    return history.position;
}

int HistoryTop(const UndoHistory& history)
{
    return static_cast<int>(history.states.size());
}

unsigned long long HistoryStateId(const UndoHistory& history)
{
    return history.position > 0 ? history.ids[static_cast<std::size_t>(history.position - 1)] : 0;
}

void HistoryClear()
{
    HistoryClear(DefaultHistory());
}

void HistoryRelease()
{
    HistoryRelease(DefaultHistory());
}

void HistoryPush(const u8* source)
{
    HistoryPush(DefaultHistory(), source);
}

void HistoryUndo(u8* destination)
{
    HistoryUndo(DefaultHistory(), destination);
}

void HistoryRedo(u8* destination)
{
    HistoryRedo(DefaultHistory(), destination);
}

int HistoryPosition()
{
    return HistoryPosition(DefaultHistory());
}

int HistoryTop()
{
    return HistoryTop(DefaultHistory());
}

} // namespace kelmora
