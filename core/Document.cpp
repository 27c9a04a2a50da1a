// A user's document and its change tracking.
#include "core/Document.h"

#include <algorithm>
#include <cstring>

#include "core/Sprite.h"

namespace kelmora
{

namespace
{

std::size_t BytesInUse(const SpriteBank& bank)
{
    return static_cast<std::size_t>(std::clamp(bank.spriteCount, 0, kSlotCount)) * kSpriteBytes;
}

} // namespace

Document::Document() : spriteBlock(kBlockBytes, 0), bufferBlock(kBlockBytes, 0)
{
    bank.sprites = spriteBlock.data();
    bank.spriteCount = kNewDocumentSprites;
    buffer.bufferSprites = bufferBlock.data();
    buffer.bufferCount = 0;
    ResetDocument(*this);
}

void ResetDocument(Document& document)
{
    SpriteBank& bank = document.bank;
    ClearBank(bank.sprites);
    bank.currentSprite = bank.rangeStart = bank.rangeEnd = 0;
    bank.currentPen = 2;
    bank.colourTransp = 11;
    bank.colourMulti1 = 0;
    bank.colourSprite = 5;
    bank.colourMulti2 = 1;
    document.extras = ProjectExtras();
    RestartHistory(document);
    MarkSaved(document);
}

void RestartHistory(Document& document)
{
    HistoryClear(document.history);
    HistoryPush(document.history, document.bank.sprites, document.extras);
}

void RecordUndoStep(Document& document)
{
    HistoryPush(document.history, document.bank.sprites, document.extras);
}

bool UndoStep(Document& document)
{
    if (!HistoryUndo(document.history, document.bank.sprites)) return false;
    document.extras = *HistoryExtras(document.history);
    return true;
}

bool RedoStep(Document& document)
{
    if (!HistoryRedo(document.history, document.bank.sprites)) return false;
    document.extras = *HistoryExtras(document.history);
    return true;
}

bool CanUndo(const Document& document)
{
    return HistoryPosition(document.history) >= 2;
}

bool CanRedo(const Document& document)
{
    return HistoryTop(document.history) > HistoryPosition(document.history);
}

void MarkSaved(Document& document)
{
    const SpriteBank& bank = document.bank;
    document.saved.sprites.assign(bank.sprites, bank.sprites + BytesInUse(bank));
    document.saved.colours[0] = bank.colourTransp;
    document.saved.colours[1] = bank.colourMulti1;
    document.saved.colours[2] = bank.colourMulti2;
    document.saved.extras = document.extras;
}

bool HasChanges(const Document& document)
{
    const SpriteBank& bank = document.bank;
    const SavedContents& saved = document.saved;
    if (bank.colourTransp != saved.colours[0] || bank.colourMulti1 != saved.colours[1] ||
        bank.colourMulti2 != saved.colours[2] || document.extras != saved.extras)
        return true;
    const std::size_t bytes = BytesInUse(bank);
    return bytes != saved.sprites.size() || std::memcmp(bank.sprites, saved.sprites.data(), bytes) != 0;
}

} // namespace kelmora
