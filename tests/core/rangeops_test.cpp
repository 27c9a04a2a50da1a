// Copy, cut, paste, merge, clear, reverse, pack and mask over runs of slots.
#include "CoreTestSupport.h"

using namespace kelmora;
using namespace kelmora_test;

namespace
{

Bytes Sprite(int pixel, int attribute)
{
    Bytes s(64, static_cast<u8>(pixel));
    s[63] = static_cast<u8>(attribute);
    return s;
}

// Bank slot i holds pixels i and attribute i + 1; the buffer is cleared.
struct Blocks
{
    GuardedBlock bank, buffer;
    Blocks()
    {
        for (int i = 0; i < 256; ++i)
            PutSprite(bank.block(), i, Sprite(i, i + 1).data());
        ClearBank(buffer.block());
    }
    Bytes slot(int i) { return Bytes(bank.slot(i), bank.slot(i) + 64); }
    Bytes held(int i) { return Bytes(buffer.slot(i), buffer.slot(i) + 64); }
};

} // namespace

TEST(RangeOps, CopyAndCutOrderAndClipTheirBounds)
{
    Blocks b;
    EXPECT_EQ(CopyRange(b.bank.block(), b.buffer.block(), 5, 3, 0), 3);
    EXPECT_EQ(b.held(0), Sprite(3, 4));
    EXPECT_EQ(b.held(2), Sprite(5, 6));
    EXPECT_EQ(CopyRange(b.bank.block(), b.buffer.block(), 250, 300, 1), 6);
    EXPECT_EQ(b.held(5), Sprite(255, 0));
    EXPECT_EQ(b.slot(255), Sprite(0, 133)); // a cut slot is a cleared sprite
    EXPECT_EQ(b.slot(249), Sprite(249, 250));

    const Bytes bank = b.bank.storage, buffer = b.buffer.storage;
    EXPECT_EQ(CopyRange(b.bank.block(), b.buffer.block(), -1, 4, 1), 0);
    EXPECT_EQ(CopyRange(b.bank.block(), b.buffer.block(), 256, 300, 1), 0);
    EXPECT_EQ(CopyRange(nullptr, b.buffer.block(), 0, 4, 1), -1);
    EXPECT_EQ(CopyRange(b.bank.block(), nullptr, 0, 4, 1), -1);
    EXPECT_TRUE(bank == b.bank.storage && buffer == b.buffer.storage);
}

TEST(RangeOps, PasteDropsSpritesBeyondSlot255AndPasteIntoMerges)
{
    Blocks b;
    for (int i = 0; i < 10; ++i)
        PutSprite(b.buffer.block(), i, Sprite(0xA0 + i, 0x10 + i).data());
    PasteSprites(b.bank.block(), b.buffer.block(), 250, 10, 0);
    EXPECT_EQ(b.slot(250), Sprite(0xA0, 0x10));
    EXPECT_EQ(b.slot(255), Sprite(0xA5, 0x15));
    EXPECT_EQ(b.slot(249), Sprite(249, 250));
    PasteSprites(b.bank.block(), b.buffer.block(), 0, 100000, 0);
    EXPECT_TRUE(b.bank.GuardsIntact() && b.buffer.GuardsIntact());

    const Bytes before = b.bank.storage;
    PasteSprites(b.bank.block(), b.buffer.block(), 256, 1, 0);
    PasteSprites(b.bank.block(), b.buffer.block(), -1, 1, 0);
    PasteSprites(b.bank.block(), nullptr, 0, 1, 0);
    PasteSprites(nullptr, b.buffer.block(), 0, 1, 0);
    PasteSprites(b.bank.block(), b.buffer.block(), 0, -5, 1);
    EXPECT_EQ(b.bank.storage, before);

    // Paste Into: the destination's mode decides; its attribute byte stays.
    ClearBank(b.bank.block());
    ClearBank(b.buffer.block());
    const u8 source[] = {0x80, 0x00, 0x0F, 0x40};
    const u8 multiDest[] = {0x40, 0x5A, 0xF0, 0xFF};
    const u8 hiresDest[] = {0xF0, 0x5A, 0xF0, 0x00};
    for (int k = 0; k < 4; ++k)
    {
        b.buffer.slot(0)[k] = b.buffer.slot(1)[k] = source[k];
        b.bank.slot(0)[k] = multiDest[k];
        b.bank.slot(1)[k] = hiresDest[k];
    }
    b.buffer.slot(0)[63] = 0x01;
    b.bank.slot(1)[63] = 0x07;
    PasteSprites(b.bank.block(), b.buffer.block(), 0, 2, 1);
    EXPECT_EQ(Bytes(b.bank.slot(0), b.bank.slot(0) + 4), Bytes({0x80, 0x5A, 0xFF, 0x7F}));
    EXPECT_EQ(Bytes(b.bank.slot(1), b.bank.slot(1) + 4), Bytes({0xF0, 0x5A, 0xFF, 0x40}));
    EXPECT_EQ(b.bank.slot(0)[63], 133);
    EXPECT_EQ(b.bank.slot(1)[63], 0x07);
}

TEST(RangeOps, ClearReverseAndRemoveBlanks)
{
    Blocks b;
    ClearRange(b.bank.block(), 12, 10);
    EXPECT_EQ(b.slot(10), Sprite(0, 11)); // pixels cleared, attribute kept
    EXPECT_EQ(b.slot(12), Sprite(0, 13));
    EXPECT_EQ(b.slot(13), Sprite(13, 14));
    ReverseOrder(b.bank.block(), 3, 0);
    EXPECT_EQ(b.slot(0), Sprite(3, 4));
    EXPECT_EQ(b.slot(3), Sprite(0, 1));
    ReverseOrder(b.bank.block(), 20, 24);
    EXPECT_EQ(b.slot(22), Sprite(22, 23)); // the middle slot stays
    EXPECT_EQ(b.slot(20), Sprite(24, 25));

    PutSprite(b.bank.block(), 41, Sprite(0, 0x1F).data());
    PutSprite(b.bank.block(), 43, Sprite(0, 0x9E).data());
    RemoveBlanks(b.bank.block(), 40, 43); // A, blank, B, blank
    EXPECT_EQ(b.slot(40), Sprite(40, 41));
    EXPECT_EQ(b.slot(41), Sprite(42, 43));
    EXPECT_EQ(b.slot(42), Sprite(0, 133));
    EXPECT_EQ(b.slot(43), Sprite(0, 133));
    EXPECT_EQ(b.slot(44), Sprite(44, 45));

    const Bytes before = b.bank.storage;
    for (auto op : {ReverseOrder, RemoveBlanks, ClearRange})
    {
        if (op != ClearRange) op(b.bank.block(), 5, 5);
        op(b.bank.block(), -1, 5);
        op(b.bank.block(), 5, 256);
        op(nullptr, 0, 5);
    }
    EXPECT_EQ(b.bank.storage, before);
}

TEST(RangeOps, MaskAttributesStaysInsideTheBlock)
{
    Blocks b;
    b.bank.slot(20)[63] = 0x9E;
    MaskAttributes(b.bank.block(), 20, 21, 143);
    EXPECT_EQ(b.slot(20), Sprite(20, 0x8E));
    EXPECT_EQ(b.slot(21), Sprite(21, 22 & 143));
    const Bytes before = b.bank.storage;
    MaskAttributes(b.bank.block(), 5, 4, 0); // first > last: nothing
    MaskAttributes(b.bank.block(), 250, 300, 0);
    MaskAttributes(b.bank.block(), -3, 2, 0);
    MaskAttributes(nullptr, 0, 2, 0);
    EXPECT_EQ(b.bank.storage, before);
    MaskAttributes(b.bank.block(), 0, 255, 0);
    EXPECT_EQ(b.slot(255), Sprite(255, 0));
    EXPECT_TRUE(b.bank.GuardsIntact());
}
