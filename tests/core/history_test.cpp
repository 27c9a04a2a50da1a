// The 100-step undo history.
#include "CoreTestSupport.h"

using namespace kelmora;
using namespace kelmora_test;

namespace
{

// Each state is told apart by its first two bytes.
void Mark(Bytes& block, int n)
{
    block[0] = static_cast<u8>(n & 0xFF);
    block[1] = static_cast<u8>(n >> 8);
}

int MarkOf(const Bytes& block) { return block[0] | (block[1] << 8); }

class History : public ::testing::Test
{
protected:
    Bytes block = Bytes(kBlockBytes, 0);

    void SetUp() override
    {
        // The reset the main window performs.
        HistoryRelease();
        HistoryClear();
        Mark(block, 0);
        HistoryPush(block.data());
    }
    void TearDown() override
    {
        HistoryRelease();
        HistoryClear();
    }
    void Change(int n)
    {
        Mark(block, n);
        HistoryPush(block.data());
    }
};

} // namespace

TEST_F(History, AfterAResetNeitherUndoNorRedoDoesAnything)
{
    EXPECT_EQ(HistoryPosition(), 1);
    EXPECT_EQ(HistoryTop(), 1);
    Mark(block, 77);
    HistoryUndo(block.data());
    HistoryRedo(block.data());
    EXPECT_EQ(MarkOf(block), 77);
    EXPECT_EQ(HistoryPosition(), 1);
    EXPECT_EQ(HistoryTop(), 1);
}

TEST_F(History, UndoAndRedoWalkBetweenRecordedStates)
{
    Change(1);
    EXPECT_EQ(HistoryPosition(), 2);
    EXPECT_EQ(HistoryTop(), 2);
    HistoryUndo(block.data());
    EXPECT_EQ(MarkOf(block), 0);
    EXPECT_EQ(HistoryPosition(), 1);
    EXPECT_EQ(HistoryTop(), 2);
    HistoryRedo(block.data());
    EXPECT_EQ(MarkOf(block), 1);
    EXPECT_EQ(HistoryPosition(), 2);
    HistoryRedo(block.data()); // nothing newer
    EXPECT_EQ(HistoryPosition(), 2);
    EXPECT_EQ(MarkOf(block), 1);
}

TEST_F(History, OneHundredFiftyPushesKeepExactlyOneHundredUndos)
{
    for (int n = 1; n <= 150; ++n)
        Change(n);
    EXPECT_EQ(HistoryPosition(), 101);
    EXPECT_EQ(HistoryTop(), 101);
    int undos = 0;
    while (HistoryPosition() >= 2)
    {
        HistoryUndo(block.data());
        ++undos;
        ASSERT_EQ(MarkOf(block), 150 - undos);
    }
    EXPECT_EQ(undos, 100);
    EXPECT_EQ(MarkOf(block), 50); // the state of the 50th push, not the reset state
    HistoryUndo(block.data());    // nothing older: no change
    EXPECT_EQ(MarkOf(block), 50);
    EXPECT_EQ(HistoryPosition(), 1);
    for (int n = 51; n <= 150; ++n)
    {
        HistoryRedo(block.data());
        ASSERT_EQ(MarkOf(block), n);
    }
    EXPECT_EQ(HistoryPosition(), 101);
}

TEST_F(History, APushAfterUndoCutsOffTheRedoStates)
{
    Change(1);
    Change(2);
    Change(3);
    HistoryUndo(block.data());
    HistoryUndo(block.data());
    EXPECT_EQ(MarkOf(block), 1);
    Change(9);
    EXPECT_EQ(HistoryPosition(), 3);
    EXPECT_EQ(HistoryTop(), 3);
    HistoryRedo(block.data());
    EXPECT_EQ(MarkOf(block), 9);
    HistoryUndo(block.data());
    EXPECT_EQ(MarkOf(block), 1);
}

TEST_F(History, AnIdenticalPushStillUsesASlotAndSnapshotsAreCopies)
{
    HistoryPush(block.data());
    EXPECT_EQ(HistoryPosition(), 2);
    Change(5);
    block[100] = 0xEE; // changing the live block does not change the recorded state
    HistoryUndo(block.data());
    HistoryRedo(block.data());
    EXPECT_EQ(block[100], 0);
    EXPECT_EQ(MarkOf(block), 5);
}

TEST_F(History, NullBlocksAreRefused)
{
    Change(1);
    HistoryPush(nullptr);
    EXPECT_EQ(HistoryPosition(), 2);
    HistoryUndo(nullptr);
    EXPECT_EQ(HistoryPosition(), 2);
    HistoryUndo(block.data());
    HistoryRedo(nullptr);
    EXPECT_EQ(HistoryPosition(), 1);
}

TEST_F(History, ClearForgetsEveryState)
{
    Change(1);
    HistoryRelease();
    HistoryClear();
    EXPECT_EQ(HistoryPosition(), 0);
    EXPECT_EQ(HistoryTop(), 0);
    Mark(block, 42);
    HistoryUndo(block.data());
    HistoryRedo(block.data());
    EXPECT_EQ(MarkOf(block), 42);
}
