// Slides, flips, reflections, negative and colour swaps of one sprite.
#include "CoreTestSupport.h"

using namespace kelmora;
using namespace kelmora_test;

namespace
{

constexpr int kSlot = 9;

struct Fixture
{
    GuardedBlock g;
    explicit Fixture(u8 attribute)
    {
        ClearBank(g.block());
        const Bytes pixels = Pattern(63, 11);
        std::memcpy(sprite(), pixels.data(), 63);
        sprite()[63] = attribute;
    }
    u8* block() { return g.block(); }
    u8* sprite() { return g.block() + kSlot * 64; }
    Bytes bytes() { return Bytes(sprite(), sprite() + 64); }
};

using Transform = void (*)(u8*, int);

} // namespace

TEST(Transforms, SlidesWrapAroundAndRestoreAfterAFullTurn)
{
    struct Case
    {
        Transform op;
        u8 attribute;
        int turns;
    };
    const Case cases[] = {
        {SlideLeft, 0x05, 24}, {SlideRight, 0x05, 24}, {SlideLeft, 0x85, 12},
        {SlideRight, 0x85, 12}, {SlideUp, 0x05, 21}, {SlideDown, 0x85, 21},
    };
    for (const Case& c : cases)
    {
        Fixture f(c.attribute);
        const Bytes original = f.bytes();
        c.op(f.block(), kSlot);
        EXPECT_NE(f.bytes(), original);
        for (int i = 1; i < c.turns; ++i)
            c.op(f.block(), kSlot);
        EXPECT_EQ(f.bytes(), original) << "attribute " << int(c.attribute) << " turns " << c.turns;
        EXPECT_TRUE(f.g.GuardsIntact());
    }
}

TEST(Transforms, OneSlideMovesOnePixelInTheSpritesMode)
{
    Fixture hires(0x05);
    std::memset(hires.sprite(), 0, 63);
    hires.sprite()[0] = 0x80; // leftmost pixel of row 0
    hires.sprite()[4] = 0x01; // row 1, the rightmost pixel of the middle byte
    SlideLeft(hires.block(), kSlot);
    EXPECT_EQ(hires.sprite()[0], 0x00);
    EXPECT_EQ(hires.sprite()[2], 0x01); // wrapped to the right edge
    EXPECT_EQ(hires.sprite()[4], 0x02);
    SlideRight(hires.block(), kSlot);
    EXPECT_EQ(hires.sprite()[0], 0x80);
    EXPECT_EQ(hires.sprite()[4], 0x01);
    SlideRight(hires.block(), kSlot);
    EXPECT_EQ(hires.sprite()[0], 0x40);
    EXPECT_EQ(hires.sprite()[5], 0x80); // bit 0 of byte 1 moved into byte 2

    Fixture multi(0x85);
    std::memset(multi.sprite(), 0, 63);
    multi.sprite()[0] = 0x40; // pixel 0 of value 1
    SlideLeft(multi.block(), kSlot);
    EXPECT_EQ(multi.sprite()[2], 0x01); // pixel 11, still value 1
    EXPECT_EQ(GetPixel(multi.block(), kSlot, 11, 0), 1);

    Fixture rows(0x05);
    const Bytes before = rows.bytes();
    SlideUp(rows.block(), kSlot);
    EXPECT_TRUE(std::equal(before.begin() + 3, before.begin() + 63, rows.sprite()));
    EXPECT_TRUE(std::equal(before.begin(), before.begin() + 3, rows.sprite() + 60));
    SlideDown(rows.block(), kSlot);
    EXPECT_EQ(rows.bytes(), before);
}

TEST(Transforms, FlipYIsAnExactMirrorInEitherMode)
{
    Fixture multi(0x85);
    std::memset(multi.sprite(), 0, 63);
    multi.sprite()[0] = 0x40; // pixel 0, value 1
    multi.sprite()[4] = 0x1B; // row 1 middle byte: pixels 0, 1, 2, 3
    FlipY(multi.block(), kSlot);
    EXPECT_EQ(multi.sprite()[0], 0x00);
    EXPECT_EQ(multi.sprite()[2], 0x01); // pixel 11 keeps value 1, not 0x02
    EXPECT_EQ(multi.sprite()[4], 0xE4);

    Fixture hires(0x05);
    std::memset(hires.sprite(), 0, 63);
    hires.sprite()[0] = 0x40;
    hires.sprite()[1] = 0x81;
    FlipY(hires.block(), kSlot);
    EXPECT_EQ(hires.sprite()[2], 0x02);
    EXPECT_EQ(hires.sprite()[1], 0x81);

    for (u8 attribute : {u8(0x05), u8(0x85)})
    {
        Fixture f(attribute);
        const Bytes original = f.bytes();
        FlipY(f.block(), kSlot);
        for (int y = 0; y < 21; ++y)
        {
            const int width = attribute & 0x80 ? 12 : 24;
            for (int x = 0; x < width; ++x)
            {
                // original holds one sprite: slot 0 of it is all that is read
                ASSERT_EQ(GetPixel(f.block(), kSlot, x, y), GetPixel(original.data(), 0, width - 1 - x, y));
            }
        }
        FlipY(f.block(), kSlot);
        EXPECT_EQ(f.bytes(), original);
    }
}

TEST(Transforms, FlipXTurnsRowsUpsideDown)
{
    Fixture f(0x85);
    const Bytes original = f.bytes();
    FlipX(f.block(), kSlot);
    for (int r = 0; r < 21; ++r)
        EXPECT_TRUE(std::equal(original.begin() + 3 * (20 - r), original.begin() + 3 * (20 - r) + 3,
                               f.sprite() + 3 * r));
    EXPECT_EQ(f.sprite()[63], 0x85);
    FlipX(f.block(), kSlot);
    EXPECT_EQ(f.bytes(), original);
}

TEST(Transforms, ReflectionsMirrorOneHalfOntoTheOther)
{
    Fixture f(0x05);
    const Bytes original = f.bytes();
    ReflectX(f.block(), kSlot);
    EXPECT_TRUE(std::equal(original.begin(), original.begin() + 33, f.sprite())); // rows 0..10
    for (int r = 0; r < 10; ++r)
        EXPECT_TRUE(std::equal(f.sprite() + 3 * r, f.sprite() + 3 * r + 3, f.sprite() + 3 * (20 - r)));

    Fixture hires(0x05);
    hires.sprite()[0] = 0xC1;
    hires.sprite()[1] = 0xA3;
    hires.sprite()[2] = 0x77;
    ReflectY(hires.block(), kSlot);
    EXPECT_EQ(hires.sprite()[0], 0xC1);
    EXPECT_EQ(hires.sprite()[1], 0xA5); // high nibble 1010 mirrored to 0101
    EXPECT_EQ(hires.sprite()[2], 0x83);

    Fixture multi(0x85);
    multi.sprite()[0] = 0x1B; // pairs 00 01 10 11
    multi.sprite()[1] = 0x9F; // pairs 10 01 | 11 11
    ReflectY(multi.block(), kSlot);
    EXPECT_EQ(multi.sprite()[0], 0x1B);
    EXPECT_EQ(multi.sprite()[1], 0x96); // pairs 10 01 | 01 10
    EXPECT_EQ(multi.sprite()[2], 0xE4);
    for (int x = 0; x < 6; ++x)
        EXPECT_EQ(GetPixel(multi.block(), kSlot, 11 - x, 0), GetPixel(multi.block(), kSlot, x, 0));
    EXPECT_EQ(multi.sprite()[63], 0x85);
}

TEST(Transforms, NegativeInvertsPixelBytesOnly)
{
    Fixture f(0x85);
    std::memset(f.sprite(), 0, 63);
    f.sprite()[0] = 0x1B; // values 0, 1, 2, 3
    Negative(f.block(), kSlot);
    EXPECT_EQ(f.sprite()[0], 0xE4); // values 3, 2, 1, 0
    EXPECT_EQ(f.sprite()[62], 0xFF);
    EXPECT_EQ(f.sprite()[63], 0x85);
    Negative(f.block(), kSlot);
    EXPECT_EQ(f.sprite()[0], 0x1B);
}

TEST(Transforms, SwapColoursExchangesTwoValuesOnMulticolourSpritesOnly)
{
    Fixture multi(0x85);
    multi.sprite()[0] = 0x9C; // 10 01 11 00
    SwapColours(multi.block(), kSlot, 2, 1);
    EXPECT_EQ(multi.sprite()[0], 0x6C); // 01 10 11 00
    SwapColours(multi.block(), kSlot, 1, 3);
    EXPECT_EQ(multi.sprite()[0], 0xE4); // 11 10 01 00

    for (u8 attribute : {u8(0x05), u8(0x85)})
    {
        Fixture f(attribute);
        const Bytes before = f.g.storage;
        SwapColours(f.block(), kSlot, 2, 2);
        SwapColours(f.block(), kSlot, 0, 4); // no pixel value
        SwapColours(f.block(), kSlot, -1, 2);
        if (attribute == 0x05)
            SwapColours(f.block(), kSlot, 2, 1);
        EXPECT_EQ(f.g.storage, before);
    }
}

TEST(Transforms, EveryTransformRefusesBadSlotsAndKeepsTheAttributeByte)
{
    const Transform all[] = {SlideUp, SlideDown, SlideLeft, SlideRight, FlipX,
                             FlipY,   ReflectX,  ReflectY,  Negative};
    for (Transform op : all)
    {
        Fixture f(0x9E);
        const Bytes before = f.g.storage;
        op(f.block(), -1);
        op(f.block(), 256);
        op(nullptr, 0);
        EXPECT_EQ(f.g.storage, before);
        op(f.block(), kSlot);
        EXPECT_EQ(f.sprite()[63], 0x9E);
        EXPECT_EQ(GetAttribute(f.block(), kSlot - 1), 133);
        EXPECT_EQ(IsBlank(f.block(), kSlot + 1), 1);
        EXPECT_TRUE(f.g.GuardsIntact());
    }
    Fixture f(0x85);
    const Bytes before = f.g.storage;
    SwapColours(f.block(), 256, 1, 2);
    SwapColours(nullptr, 0, 1, 2);
    EXPECT_EQ(f.g.storage, before);
}
