// Clearing the bank, sprites in and out, and the attribute byte's fields.
#include "CoreTestSupport.h"

using namespace kelmora;
using namespace kelmora_test;

TEST(Sprite, ClearBankGivesBlankMulticolourSpritesOfColourFive)
{
    TestBank t;
    ClearBank(t.bank.sprites);
    for (int i = 0; i < kSlotCount; ++i)
    {
        EXPECT_EQ(IsBlank(t.bank.sprites, i), 1);
        EXPECT_EQ(IsMulticolour(t.bank.sprites, i), 1);
        EXPECT_EQ(IsOverlay(t.bank.sprites, i), 0);
        EXPECT_EQ(GetSpriteColour(t.bank.sprites, i), 5);
        ASSERT_EQ(GetAttribute(t.bank.sprites, i), 133);
    }
    // Only the block changes: the record's fields stay.
    EXPECT_EQ(t.bank.spriteCount, 17);
    EXPECT_EQ(t.bank.colourTransp, 11);
    EXPECT_EQ(t.bank.colourMulti2, 14);
    ClearBank(nullptr);
}

TEST(Sprite, QueriesReadTheAttributeFieldsAndRefuseBadSlots)
{
    GuardedBlock g;
    ClearBank(g.block());
    g.block()[255 * 64 + 63] = 0x9E; // multicolour, overlay, colour 14
    EXPECT_EQ(GetAttribute(g.block(), 255), 0x9E);
    EXPECT_EQ(GetSpriteColour(g.block(), 255), 14);
    EXPECT_EQ(IsOverlay(g.block(), 255), 1);
    EXPECT_EQ(IsMulticolour(g.block(), 255), 1);
    g.block()[63] = 0x6A; // bits 6-5 carry no meaning
    EXPECT_EQ(IsMulticolour(g.block(), 0), 0);
    EXPECT_EQ(IsOverlay(g.block(), 0), 0);
    EXPECT_EQ(GetSpriteColour(g.block(), 0), 10);

    for (int bad : {-1, 256, 100000})
    {
        EXPECT_EQ(GetAttribute(g.block(), bad), -1);
        EXPECT_EQ(GetSpriteColour(g.block(), bad), -1);
        EXPECT_EQ(IsOverlay(g.block(), bad), -1);
        EXPECT_EQ(IsMulticolour(g.block(), bad), -1);
        EXPECT_EQ(IsBlank(g.block(), bad), -1);
    }
    EXPECT_EQ(GetAttribute(nullptr, 0), -1);
    EXPECT_EQ(GetSpriteColour(nullptr, 0), -1);
    EXPECT_EQ(IsOverlay(nullptr, 0), -1);
    EXPECT_EQ(IsMulticolour(nullptr, 0), -1);
    EXPECT_EQ(IsBlank(nullptr, 0), -1);
}

TEST(Sprite, BlanknessIgnoresTheAttributeByte)
{
    Bytes block(kBlockBytes, 0);
    block[63] = 0x1F;
    EXPECT_EQ(IsBlank(block.data(), 0), 1);
    block[62] = 1; // the last pixel byte
    EXPECT_EQ(IsBlank(block.data(), 0), 0);
}

TEST(Sprite, PutThenGetReturnsTheSame64Bytes)
{
    GuardedBlock g;
    ClearBank(g.block());
    const Bytes sprite = Pattern(64, 1);
    PutSprite(g.block(), 255, sprite.data());
    Bytes back(64, 0);
    GetSprite(g.block(), 255, back.data());
    EXPECT_EQ(back, sprite);
    EXPECT_TRUE(g.GuardsIntact());
    EXPECT_EQ(GetAttribute(g.block(), 254), 133); // the neighbour is untouched
}

TEST(Sprite, PutAndGetRefuseNullPointersAndBadSlots)
{
    GuardedBlock g;
    ClearBank(g.block());
    const Bytes before = g.storage;
    const Bytes sprite = Pattern(64, 2);
    PutSprite(g.block(), -1, sprite.data());
    PutSprite(g.block(), 256, sprite.data());
    PutSprite(g.block(), 0, nullptr);
    PutSprite(nullptr, 0, sprite.data());
    EXPECT_EQ(g.storage, before);

    Bytes out(64, 0x77);
    GetSprite(g.block(), 256, out.data());
    GetSprite(g.block(), -1, out.data());
    GetSprite(nullptr, 0, out.data());
    GetSprite(g.block(), 0, nullptr);
    EXPECT_EQ(out, Bytes(64, 0x77));
}

TEST(Sprite, TheMultiColourFlagReinterpretsTheSamePixelBytes)
{
    Bytes block(kBlockBytes, 0);
    block[0] = 0x40; // one set hires pixel at x 1
    EXPECT_EQ(GetPixel(block.data(), 0, 1, 0), 2);
    EXPECT_EQ(GetPixel(block.data(), 0, 0, 0), 0);
    block[63] = 0x80;
    EXPECT_EQ(GetPixel(block.data(), 0, 0, 0), 1);
}
