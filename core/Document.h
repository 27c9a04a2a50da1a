// A user's document: everything a project file owns (the bank with its sprite count
// and shared colours, and the extras of its side file), the copy buffer, the remembered
// style and the undo history, and what the files held when last loaded or saved.
//
// A window holds one document and passes it, or its parts, to the store's functions.
#pragma once

#include <vector>

#include "core/ProjectExtras.h"
#include "core/Types.h"
#include "core/UndoHistory.h"

namespace kelmora
{

constexpr int kNewDocumentSprites = 32; // sprites in use in a new document
constexpr u8 kNoCopiedStyle = 255;      // copiedStyle when Copy Style has not run

// The contents a document compares itself with to tell whether it has changes.
struct SavedContents
{
    std::vector<u8> sprites; // the sprites in use, 64 bytes each
    u8 colours[3] = {};      // background, multi-colour 1, multi-colour 2
    ProjectExtras extras;    // the side file's contents
};

struct Document
{
    // A new document: every slot cleared, 32 sprites in use, colours 11, 0, 5, 1,
    // sprite 0 current and selected, the sprite-colour pen, a history holding this
    // state, and these contents as the saved ones.
    Document();
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;

    std::vector<u8> spriteBlock; // kBlockBytes; bank.sprites points here
    std::vector<u8> bufferBlock; // kBlockBytes; buffer.bufferSprites points here
    SpriteBank bank{};
    CopyBuffer buffer{};
    u8 copiedStyle = kNoCopiedStyle; // attribute byte remembered by Copy Style
    UndoHistory history;
    ProjectExtras extras; // sequences and the rest of NAME.kmd.json
    SavedContents saved;
};

// Clears the sprites and the extras and restores the new document's colours, selection
// and pen; the sprite count stays. The history restarts and the result counts as saved.
void ResetDocument(Document& document);

// Restarts the history with the current sprites as its only state.
void RestartHistory(Document& document);
// Records the current sprites and extras as one undo step.
void RecordUndoStep(Document& document);
// Steps back or forward through the history (sprites and extras); false when there is
// nothing to step to.
bool UndoStep(Document& document);
bool RedoStep(Document& document);
bool CanUndo(const Document& document);
bool CanRedo(const Document& document);

// Remembers the current contents as what the file holds (after loading or saving).
void MarkSaved(Document& document);
// True when the sprites in use, their count, the shared colours or the extras differ
// from the contents last marked saved (changing something back counts as no change).
bool HasChanges(const Document& document);

} // namespace kelmora
