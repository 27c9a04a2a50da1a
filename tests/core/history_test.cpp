// The 100-step undo history.
#include "CoreTestSupport.h"

using namespace kelmora;
using namespace kelmora_test;

namespace
{

// States are told apart by the first two bytes of the block.
class History : public ::testing::Test
{
  protected:
    Bytes block = Bytes(kBlockBytes, 0);

    void SetUp() override // the main window's reset
    {
        HistoryRelease();
        HistoryClear();
        Change(0);
    }
    void TearDown() override
    {
        HistoryRelease();
        HistoryClear();
    }
    void Change(int n)
    {
        block[0] = static_cast<u8>(n & 0xFF);
        block[1] = static_cast<u8>(n >> 8);
        HistoryPush(block.data());
    }
    int Mark() const { return block[0] | (block[1] << 8); }
    void ExpectCounters(int position, int top)
    {
        EXPECT_EQ(HistoryPosition(), position);
        EXPECT_EQ(HistoryTop(), top);
    }
};

} // namespace

TEST_F(History, UndoAndRedoWalkBetweenStatesAndDoNothingPastTheEnds)
{
    ExpectCounters(1, 1);
    HistoryUndo(block.data()); // nothing to undo or redo right after a reset
    HistoryRedo(block.data());
    ExpectCounters(1, 1);
    Change(1);
    ExpectCounters(2, 2);
    HistoryUndo(block.data());
    EXPECT_EQ(Mark(), 0);
    ExpectCounters(1, 2);
    HistoryUndo(block.data());
    ExpectCounters(1, 2);
    HistoryRedo(block.data());
    EXPECT_EQ(Mark(), 1);
    HistoryRedo(block.data());
    ExpectCounters(2, 2);
    HistoryPush(nullptr);
    HistoryUndo(nullptr);
    HistoryRedo(nullptr);
    ExpectCounters(2, 2);
}

TEST_F(History, OneHundredFiftyPushesKeepExactlyOneHundredUndos)
{
    for (int n = 1; n <= 150; ++n)
        Change(n);
    ExpectCounters(101, 101);
    int undos = 0;
    for (; HistoryPosition() >= 2; ++undos)
    {
        HistoryUndo(block.data());
        ASSERT_EQ(Mark(), 149 - undos);
    }
    EXPECT_EQ(undos, 100);
    EXPECT_EQ(Mark(), 50); // the 50th push, not the reset state
    HistoryUndo(block.data());
    EXPECT_EQ(Mark(), 50);
    for (int n = 51; n <= 150; ++n)
    {
        HistoryRedo(block.data());
        ASSERT_EQ(Mark(), n);
    }
    ExpectCounters(101, 101);
}

TEST_F(History, APushAfterUndoCutsOffRedoAndSnapshotsAreCopies)
{
    Change(1);
    Change(2);
    Change(3);
    HistoryUndo(block.data());
    HistoryUndo(block.data());
    Change(9);
    ExpectCounters(3, 3);
    HistoryRedo(block.data());
    EXPECT_EQ(Mark(), 9);
    HistoryUndo(block.data());
    EXPECT_EQ(Mark(), 1);

    HistoryPush(block.data()); // an identical state still takes a slot
    ExpectCounters(3, 3);
    block[100] = 0xEE; // the live block is not the recorded one
    HistoryUndo(block.data());
    EXPECT_EQ(block[100], 0);
}

TEST(DocumentHistory, EachDocumentKeepsItsOwnHistoryAndTheDefaultOneIsUntouched)
{
    HistoryClear();
    Document first, second;
    EXPECT_EQ(HistoryPosition(first.history), 1); // a new document holds its first state
    EXPECT_FALSE(CanUndo(first));

    first.bank.sprites[0] = 1;
    RecordUndoStep(first);
    second.bank.sprites[0] = 2;
    RecordUndoStep(second);
    RecordUndoStep(second);
    EXPECT_EQ(HistoryPosition(first.history), 2);
    EXPECT_EQ(HistoryPosition(second.history), 3);
    EXPECT_EQ(HistoryPosition(), 0);

    EXPECT_TRUE(UndoStep(first));
    EXPECT_EQ(first.bank.sprites[0], 0);
    EXPECT_EQ(second.bank.sprites[0], 2);
    EXPECT_TRUE(CanRedo(first));
    EXPECT_FALSE(UndoStep(first));
    EXPECT_TRUE(RedoStep(first));
    EXPECT_EQ(first.bank.sprites[0], 1);
    EXPECT_FALSE(RedoStep(first));
}

TEST(DocumentHistory, ReleasedStatesCannotBeReturnedTo)
{
    UndoHistory history;
    Bytes block(kBlockBytes, 0);
    HistoryPush(history, block.data());
    block[0] = 7;
    HistoryPush(history, block.data());
    HistoryRelease(history);
    EXPECT_EQ(HistoryPosition(history), 2); // the counters stay as they were
    EXPECT_FALSE(HistoryUndo(history, block.data()));
    EXPECT_EQ(block[0], 7);
    block[0] = 8; // a state recorded afterwards is held again
    HistoryPush(history, block.data());
    block[0] = 9;
    HistoryPush(history, block.data());
    EXPECT_TRUE(HistoryUndo(history, block.data()));
    EXPECT_EQ(block[0], 8);
}

TEST(DocumentChanges, ComparedWithWhatWasLastSavedOrLoaded)
{
    Document document;
    EXPECT_FALSE(HasChanges(document)); // a new document has nothing to lose

    document.bank.sprites[5] = 0x3C; // a pixel of sprite 0
    RecordUndoStep(document);
    EXPECT_TRUE(HasChanges(document));
    UndoStep(document); // back to the saved state: no change
    EXPECT_FALSE(HasChanges(document));
    RedoStep(document);
    MarkSaved(document);
    EXPECT_FALSE(HasChanges(document));

    document.bank.colourMulti1 = 9; // shared colours count
    EXPECT_TRUE(HasChanges(document));
    document.bank.colourMulti1 = 0;
    EXPECT_FALSE(HasChanges(document));

    document.bank.spriteCount = 33; // so does the number of sprites in use
    EXPECT_TRUE(HasChanges(document));
    document.bank.spriteCount = 32;
    document.bank.sprites[40 * kSpriteBytes] = 0xFF; // a slot beyond them does not
    document.bank.colourSprite = 3;                  // nor the current pen's colour
    document.bank.currentSprite = 4;                 // nor the selection
    EXPECT_FALSE(HasChanges(document));

    ResetDocument(document);
    EXPECT_FALSE(HasChanges(document));
    EXPECT_EQ(document.bank.colourTransp, 11);
    EXPECT_EQ(IsBlank(document.bank.sprites, 40), 1);
    EXPECT_EQ(HistoryTop(document.history), 1);
}
