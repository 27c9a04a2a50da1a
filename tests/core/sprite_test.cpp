// Clearing the bank, sprites in and out, and the attribute byte's fields.
#include "CoreTestSupport.h"

using namespace kelmora;
using namespace kelmora_test;

TEST(Sprite, ClearBankGivesBlankMulticolourSpritesOfColourFive)
{
    GuardedBlock g;
    std::fill(g.block(), g.block() + kBlockBytes, 0x5A);
    ClearBank(g.block());
    for (int i = 0; i < kSlotCount; ++i)
    {
        ASSERT_EQ(IsBlank(g.block(), i), 1);
        ASSERT_EQ(IsMulticolour(g.block(), i) + IsOverlay(g.block(), i), 1);
        ASSERT_EQ(GetSpriteColour(g.block(), i), 5);
        ASSERT_EQ(GetAttribute(g.block(), i), 133);
    }
    EXPECT_TRUE(g.GuardsIntact());
    ClearBank(nullptr);
}

TEST(Sprite, AttributeFieldsAndBadSlots)
{
    GuardedBlock g;
    ClearBank(g.block());
    g.slot(255)[63] = 0x9E; // multicolour, overlay, colour 14
    EXPECT_EQ(GetAttribute(g.block(), 255), 0x9E);
    EXPECT_EQ(GetSpriteColour(g.block(), 255), 14);
    EXPECT_EQ(IsOverlay(g.block(), 255), 1);
    EXPECT_EQ(IsMulticolour(g.block(), 255), 1);
    g.slot(0)[63] = 0x6A; // bits 6-5 carry no meaning
    EXPECT_EQ(IsMulticolour(g.block(), 0) + IsOverlay(g.block(), 0), 0);
    g.slot(1)[63] = 0x1F; // blankness ignores the attribute byte
    EXPECT_EQ(IsBlank(g.block(), 1), 1);
    g.slot(1)[62] = 1;
    EXPECT_EQ(IsBlank(g.block(), 1), 0);

    for (const u8* block : {static_cast<const u8*>(g.block()), static_cast<const u8*>(nullptr)})
        for (int index : {-1, 256})
        {
            EXPECT_EQ(GetAttribute(block, index), -1);
            EXPECT_EQ(GetSpriteColour(block, index), -1);
            EXPECT_EQ(IsOverlay(block, index), -1);
            EXPECT_EQ(IsMulticolour(block, index), -1);
            EXPECT_EQ(IsBlank(block, index), -1);
        }
    EXPECT_EQ(GetAttribute(nullptr, 0), -1);
}

TEST(Sprite, PutAndGetCopy64BytesAndRefuseBadArguments)
{
    GuardedBlock g;
    ClearBank(g.block());
    const Bytes sprite = Pattern(64, 1);
    PutSprite(g.block(), 255, sprite.data());
    Bytes back(64, 0);
    GetSprite(g.block(), 255, back.data());
    EXPECT_EQ(back, sprite);
    EXPECT_EQ(GetAttribute(g.block(), 254), 133);

    const Bytes before = g.storage;
    PutSprite(g.block(), -1, sprite.data());
    PutSprite(g.block(), 256, sprite.data());
    PutSprite(g.block(), 0, nullptr);
    PutSprite(nullptr, 0, sprite.data());
    EXPECT_EQ(g.storage, before);
    Bytes out(64, 0x77);
    GetSprite(g.block(), 256, out.data());
    GetSprite(nullptr, 0, out.data());
    GetSprite(g.block(), 0, nullptr);
    EXPECT_EQ(out, Bytes(64, 0x77));
}

TEST(Sprite, TheMulticolourFlagReinterpretsTheSamePixelBytes)
{
    Bytes block(kBlockBytes, 0);
    block[0] = 0x40;
    EXPECT_EQ(GetPixel(block.data(), 0, 1, 0), 2); // hires pixel 1 set
    block[63] = 0x80;
    EXPECT_EQ(GetPixel(block.data(), 0, 0, 0), 1); // multicolour pixel 0 of value 1
}
