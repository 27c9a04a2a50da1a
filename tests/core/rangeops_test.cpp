// Copy, cut, paste, merge, clear, reverse, pack and mask over runs of slots.
#include "CoreTestSupport.h"

using namespace kelmora;
using namespace kelmora_test;

namespace
{

// Every slot holds its own index in each pixel byte and index + 1 in its attribute byte.
struct Blocks
{
    GuardedBlock bank;
    GuardedBlock buffer;
    Blocks()
    {
        for (int i = 0; i < 256; ++i)
        {
            std::memset(bank.block() + i * 64, i, 63);
            bank.block()[i * 64 + 63] = static_cast<u8>(i + 1);
        }
        ClearBank(buffer.block());
    }
    u8* slot(int i) { return bank.block() + i * 64; }
    u8* bufferSlot(int i) { return buffer.block() + i * 64; }
    bool intact() const { return bank.GuardsIntact() && buffer.GuardsIntact(); }
};

Bytes Sprite(u8 pixel, u8 attribute)
{
    Bytes s(64, pixel);
    s[63] = attribute;
    return s;
}

Bytes SlotBytes(const u8* slot) { return Bytes(slot, slot + 64); }

} // namespace

TEST(RangeOps, CopyRangeOrdersAndClipsItsBounds)
{
    Blocks b;
    EXPECT_EQ(CopyRange(b.bank.block(), b.buffer.block(), 5, 3, 0), 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(SlotBytes(b.bufferSlot(i)), SlotBytes(b.slot(3 + i)));
    EXPECT_EQ(GetAttribute(b.buffer.block(), 3), 133); // nothing beyond the copied run

    EXPECT_EQ(CopyRange(b.bank.block(), b.buffer.block(), 250, 300, 0), 6);
    EXPECT_EQ(SlotBytes(b.bufferSlot(5)), SlotBytes(b.slot(255)));
    EXPECT_TRUE(b.intact());
}

TEST(RangeOps, CopyRangeRefusals)
{
    Blocks b;
    const Bytes bank = b.bank.storage;
    const Bytes buffer = b.buffer.storage;
    EXPECT_EQ(CopyRange(b.bank.block(), b.buffer.block(), -1, 4, 1), 0);
    EXPECT_EQ(CopyRange(b.bank.block(), b.buffer.block(), 256, 300, 1), 0);
    EXPECT_EQ(CopyRange(nullptr, b.buffer.block(), 0, 4, 1), -1);
    EXPECT_EQ(CopyRange(b.bank.block(), nullptr, 0, 4, 1), -1);
    EXPECT_EQ(b.bank.storage, bank);
    EXPECT_EQ(b.buffer.storage, buffer);
}

TEST(RangeOps, CutLeavesClearedSpritesClearKeepsAttributes)
{
    Blocks b;
    const Bytes slot7 = SlotBytes(b.slot(7));
    EXPECT_EQ(CopyRange(b.bank.block(), b.buffer.block(), 6, 8, 1), 3);
    EXPECT_EQ(SlotBytes(b.bufferSlot(1)), slot7);
    for (int i = 6; i <= 8; ++i)
        EXPECT_EQ(SlotBytes(b.slot(i)), Sprite(0, 133));
    EXPECT_EQ(SlotBytes(b.slot(9)), Sprite(9, 10));

    ClearRange(b.bank.block(), 12, 10);
    for (int i = 10; i <= 12; ++i)
        EXPECT_EQ(SlotBytes(b.slot(i)), Sprite(0, static_cast<u8>(i + 1)));
    EXPECT_EQ(SlotBytes(b.slot(13)), Sprite(13, 14));

    const Bytes before = b.bank.storage;
    ClearRange(b.bank.block(), 0, 256);
    ClearRange(b.bank.block(), -1, 3);
    ClearRange(nullptr, 0, 3);
    EXPECT_EQ(b.bank.storage, before);
}

TEST(RangeOps, PasteReplacesWholeSpritesAndDropsThoseBeyondSlot255)
{
    Blocks b;
    for (int i = 0; i < 10; ++i)
        PutSprite(b.buffer.block(), i, Sprite(static_cast<u8>(0xA0 + i), static_cast<u8>(0x10 + i)).data());
    PasteSprites(b.bank.block(), b.buffer.block(), 250, 10, 0);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(SlotBytes(b.slot(250 + i)), Sprite(static_cast<u8>(0xA0 + i), static_cast<u8>(0x10 + i)));
    EXPECT_EQ(SlotBytes(b.slot(249)), Sprite(249, 250));
    EXPECT_TRUE(b.intact());

    const Bytes before = b.bank.storage;
    PasteSprites(b.bank.block(), b.buffer.block(), 256, 1, 0);
    PasteSprites(b.bank.block(), b.buffer.block(), -1, 1, 0);
    PasteSprites(b.bank.block(), nullptr, 0, 1, 0);
    PasteSprites(nullptr, b.buffer.block(), 0, 1, 0);
    PasteSprites(b.bank.block(), b.buffer.block(), 0, 0, 0);
    PasteSprites(b.bank.block(), b.buffer.block(), 0, -5, 1);
    EXPECT_EQ(b.bank.storage, before);
    // A count far beyond the buffer still stops at slot 255.
    PasteSprites(b.bank.block(), b.buffer.block(), 0, 100000, 0);
    EXPECT_TRUE(b.intact());
}

TEST(RangeOps, PasteIntoMergesInTheDestinationsMode)
{
    Blocks b;
    ClearBank(b.bank.block());
    b.bufferSlot(0)[0] = 0x80; // one pixel of value 2
    b.bufferSlot(0)[1] = 0x00;
    b.bufferSlot(0)[2] = 0x0F;
    b.bufferSlot(0)[63] = 0x01;
    b.bufferSlot(1)[2] = 0x0F;
    b.slot(0)[0] = 0x40; // multicolour destination
    b.slot(0)[1] = 0x5A;
    b.slot(0)[2] = 0xF0;
    b.slot(1)[63] = 0x07; // hires destination
    b.slot(1)[2] = 0xF0;
    PasteSprites(b.bank.block(), b.buffer.block(), 0, 2, 1);
    EXPECT_EQ(b.slot(0)[0], 0x80);
    EXPECT_EQ(b.slot(0)[1], 0x5A); // zero source pixels let the destination show
    EXPECT_EQ(b.slot(0)[2], 0xFF);
    EXPECT_EQ(b.slot(0)[63], 133); // the destination keeps its attribute byte
    EXPECT_EQ(b.slot(1)[2], 0xFF);
    EXPECT_EQ(b.slot(1)[63], 0x07);

    b.bufferSlot(0)[0] = 0x40;
    b.slot(0)[0] = 0xFF;
    b.slot(1)[0] = 0xF0;
    b.bufferSlot(1)[0] = 0x40;
    PasteSprites(b.bank.block(), b.buffer.block(), 0, 2, 1);
    EXPECT_EQ(b.slot(0)[0], 0x7F); // pair replaced by 01
    EXPECT_EQ(b.slot(1)[0], 0xF0); // hires adds, never removes
}

TEST(RangeOps, ReverseOrderAndRemoveBlanks)
{
    Blocks b;
    ReverseOrder(b.bank.block(), 3, 0);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(SlotBytes(b.slot(i)), Sprite(static_cast<u8>(3 - i), static_cast<u8>(4 - i)));
    ReverseOrder(b.bank.block(), 10, 14);
    EXPECT_EQ(SlotBytes(b.slot(12)), Sprite(12, 13)); // the middle slot stays
    EXPECT_EQ(SlotBytes(b.slot(10)), Sprite(14, 15));
    EXPECT_EQ(SlotBytes(b.slot(14)), Sprite(10, 11));

    Blocks c;
    const Bytes a = Sprite(0x11, 0x03);
    const Bytes bb = Sprite(0x22, 0x04);
    PutSprite(c.bank.block(), 0, a.data());
    PutSprite(c.bank.block(), 1, Sprite(0, 0x1F).data());
    PutSprite(c.bank.block(), 2, bb.data());
    PutSprite(c.bank.block(), 3, Sprite(0, 0x9E).data());
    RemoveBlanks(c.bank.block(), 0, 3);
    EXPECT_EQ(SlotBytes(c.slot(0)), a);
    EXPECT_EQ(SlotBytes(c.slot(1)), bb);
    EXPECT_EQ(SlotBytes(c.slot(2)), Sprite(0, 133));
    EXPECT_EQ(SlotBytes(c.slot(3)), Sprite(0, 133));
    EXPECT_EQ(SlotBytes(c.slot(4)), Sprite(4, 5));
    EXPECT_TRUE(c.intact());

    const Bytes before = c.bank.storage;
    for (auto op : {ReverseOrder, RemoveBlanks})
    {
        op(c.bank.block(), 5, 5);
        op(c.bank.block(), -1, 5);
        op(c.bank.block(), 5, 256);
        op(nullptr, 0, 5);
    }
    EXPECT_EQ(c.bank.storage, before);
}

TEST(RangeOps, MaskAttributesStaysInsideTheBlock)
{
    Blocks b;
    b.slot(20)[63] = 0x9E;
    MaskAttributes(b.bank.block(), 20, 21, 143);
    EXPECT_EQ(b.slot(20)[63], 0x8E);
    EXPECT_EQ(b.slot(21)[63], 22 & 143);
    EXPECT_EQ(b.slot(20)[0], 20); // pixels untouched
    MaskAttributes(b.bank.block(), 0, 255, 0);
    EXPECT_EQ(b.slot(255)[63], 0);

    Blocks c;
    const Bytes before = c.bank.storage;
    MaskAttributes(c.bank.block(), 5, 4, 0);   // first > last: nothing
    MaskAttributes(c.bank.block(), 250, 300, 0);
    MaskAttributes(c.bank.block(), -3, 2, 0);
    MaskAttributes(nullptr, 0, 2, 0);
    EXPECT_EQ(c.bank.storage, before);
}
