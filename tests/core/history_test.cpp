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
