// Slides, flips, reflections, negative and colour swaps of one sprite.
#include "CoreTestSupport.h"

using namespace kelmora;
using namespace kelmora_test;

namespace
{

constexpr int kSlot = 9;
using Transform = void (*)(u8*, int);

// Slot 9 holds patterned pixels (or the given first bytes, the rest zero) and the attribute.
struct Sprite9 : GuardedBlock
{
    explicit Sprite9(u8 attribute, Bytes first = {})
    {
        ClearBank(block());
        const Bytes pixels = first.empty() ? Pattern(63, 11) : first;
        std::copy(pixels.begin(), pixels.end(), slot(kSlot));
        slot(kSlot)[63] = attribute;
    }
    u8* px() { return slot(kSlot); }
    Bytes bytes() { return Bytes(px(), px() + 64); }
    void run(Transform op, int times = 1)
    {
        for (int i = 0; i < times; ++i)
            op(block(), kSlot);
    }
};

} // namespace

TEST(Transforms, SlidesWrapAroundAndAFullTurnRestoresTheSprite)
{
    const struct
    {
        Transform op;
        u8 attribute;
        int turns;
    } cases[] = {{SlideLeft, 0x05, 24},  {SlideRight, 0x05, 24}, {SlideLeft, 0x85, 12},
                 {SlideRight, 0x85, 12}, {SlideUp, 0x05, 21},    {SlideDown, 0x85, 21}};
    for (const auto& c : cases)
    {
        Sprite9 s(c.attribute);
        const Bytes original = s.bytes();
        s.run(c.op, c.turns - 1);
        EXPECT_NE(s.bytes(), original);
        s.run(c.op);
        EXPECT_EQ(s.bytes(), original) << int(c.attribute) << " x" << c.turns;
    }
    Sprite9 hires(0x05, {0x80, 0x00, 0x00, 0x00, 0x01});
    hires.run(SlideLeft); // the leftmost pixel comes back at the right edge
    EXPECT_EQ(hires.bytes()[2], 0x01);
    EXPECT_EQ(hires.bytes()[4], 0x02);
    hires.run(SlideRight, 2);
    EXPECT_EQ(hires.px()[0], 0x40);
    EXPECT_EQ(hires.px()[5], 0x80); // across the byte boundary
    Sprite9 multi(0x85, {0x40});
    multi.run(SlideLeft); // one multicolour pixel: two bits
    EXPECT_EQ(GetPixel(multi.block(), kSlot, 11, 0), 1);
    Sprite9 rows(0x05);
    const Bytes before = rows.bytes();
    rows.run(SlideUp);
    EXPECT_TRUE(std::equal(before.begin(), before.begin() + 3, rows.px() + 60)); // row 0 became row 20
}

TEST(Transforms, FlipsAreExactMirrorsInEitherMode)
{
    Sprite9 multi(0x85, {0x40, 0x00, 0x00, 0x00, 0x1B});
    multi.run(FlipY);
    EXPECT_EQ(multi.px()[2], 0x01); // pixel 11 keeps value 1: 0x01, not 0x02
    EXPECT_EQ(multi.px()[0], 0x00);
    EXPECT_EQ(multi.px()[4], 0xE4);
    Sprite9 hires(0x05, {0x40, 0x81});
    hires.run(FlipY);
    EXPECT_EQ(hires.px()[2], 0x02);
    EXPECT_EQ(hires.px()[1], 0x81);

    for (u8 attribute : {u8(0x05), u8(0x85)})
    {
        Sprite9 s(attribute);
        Bytes original(kBlockBytes);
        std::copy(s.block(), s.block() + kBlockBytes, original.begin());
        s.run(FlipY);
        const int width = attribute & 0x80 ? 12 : 24;
        for (int y = 0; y < 21; ++y)
            for (int x = 0; x < width; ++x)
                ASSERT_EQ(GetPixel(s.block(), kSlot, x, y),
                          GetPixel(original.data(), kSlot, width - 1 - x, y));
        s.run(FlipX);
        for (int r = 0; r < 21; ++r) // row r now holds the mirrored old row 20 - r
            ASSERT_EQ(GetPixel(s.block(), kSlot, 0, r), GetPixel(original.data(), kSlot, width - 1, 20 - r));
        s.run(FlipX);
        s.run(FlipY);
        EXPECT_TRUE(std::equal(original.begin(), original.end(), s.block()));
    }
}

TEST(Transforms, ReflectionsCopyOneHalfMirroredOntoTheOther)
{
    Sprite9 s(0x05);
    const Bytes original = s.bytes();
    s.run(ReflectX);
    EXPECT_TRUE(std::equal(original.begin(), original.begin() + 33, s.px())); // rows 0..10 stay
    for (int r = 0; r < 10; ++r)
        EXPECT_TRUE(std::equal(s.px() + 3 * r, s.px() + 3 * r + 3, s.px() + 3 * (20 - r)));

    Sprite9 hires(0x05, {0xC1, 0xA3, 0x77});
    hires.run(ReflectY);
    EXPECT_EQ(Bytes(hires.px(), hires.px() + 3), Bytes({0xC1, 0xA5, 0x83})); // nibble 1010 -> 0101
    Sprite9 multi(0x85, {0x1B, 0x9F, 0x00}); // pairs 00 01 10 11 | 10 01 11 11
    multi.run(ReflectY);
    EXPECT_EQ(Bytes(multi.px(), multi.px() + 3), Bytes({0x1B, 0x96, 0xE4}));
    EXPECT_EQ(multi.px()[63], 0x85);
}

TEST(Transforms, NegativeAndColourSwaps)
{
    Sprite9 s(0x85, {0x1B}); // values 0, 1, 2, 3
    s.run(Negative);
    EXPECT_EQ(s.px()[0], 0xE4); // 0 <-> 3, 1 <-> 2
    EXPECT_EQ(s.px()[62], 0xFF);
    s.run(Negative);
    EXPECT_EQ(s.px()[0], 0x1B);

    Sprite9 multi(0x85, {0x9C}); // 10 01 11 00
    SwapColours(multi.block(), kSlot, 2, 1);
    EXPECT_EQ(multi.px()[0], 0x6C); // 01 10 11 00
    SwapColours(multi.block(), kSlot, 1, 3);
    EXPECT_EQ(multi.px()[0], 0xE4); // 11 10 01 00

    Sprite9 hires(0x05);
    const Bytes before = hires.storage;
    SwapColours(hires.block(), kSlot, 2, 1); // hires sprites are left alone
    SwapColours(hires.block(), kSlot, 0, 2);
    EXPECT_EQ(hires.storage, before);
    const Bytes multiBefore = multi.storage;
    for (auto ab : {std::pair{2, 2}, std::pair{0, 4}, std::pair{-1, 2}})
        SwapColours(multi.block(), kSlot, ab.first, ab.second);
    SwapColours(multi.block(), 256, 1, 2);
    SwapColours(nullptr, 0, 1, 2);
    EXPECT_EQ(multi.storage, multiBefore);
}

TEST(Transforms, EveryTransformRefusesBadSlotsAndKeepsTheAttributeByte)
{
    for (Transform op :
         {SlideUp, SlideDown, SlideLeft, SlideRight, FlipX, FlipY, ReflectX, ReflectY, Negative})
    {
        Sprite9 s(0x9E);
        const Bytes before = s.storage;
        op(s.block(), -1);
        op(s.block(), 256);
        op(nullptr, 0);
        EXPECT_EQ(s.storage, before);
        s.run(op);
        EXPECT_EQ(s.px()[63], 0x9E);
        EXPECT_EQ(IsBlank(s.block(), kSlot + 1), 1);
        EXPECT_TRUE(s.GuardsIntact());
    }
}
