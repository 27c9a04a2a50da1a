// Pixels in both modes and the four-way flood fill.
#include "CoreTestSupport.h"

using namespace kelmora;
using namespace kelmora_test;

namespace
{

constexpr u8 kHires = 0x05;
constexpr u8 kMulti = 0x85;

struct OneSprite
{
    GuardedBlock g;
    explicit OneSprite(u8 attribute, int slot = 7)
    {
        ClearBank(g.block());
        g.block()[slot * 64 + 63] = attribute;
    }
    u8* block() { return g.block(); }
    u8* sprite(int slot = 7) { return g.block() + slot * 64; }
};

int CountValue(const u8* block, int slot, int width, int value)
{
    int n = 0;
    for (int y = 0; y < 21; ++y)
        for (int x = 0; x < width; ++x)
            n += GetPixel(block, slot, x, y) == value ? 1 : 0;
    return n;
}

} // namespace

TEST(Pixels, SetPixelWritesTheDocumentedBitsInEachMode)
{
    OneSprite hires(kHires);
    EXPECT_EQ(SetPixel(hires.block(), 7, 9, 2, 2), 1);
    EXPECT_EQ(hires.sprite()[7], 0x40); // byte 3y + x/8, mask 0x80 >> (x mod 8)
    EXPECT_EQ(SetPixel(hires.block(), 7, 23, 20, 1), 1);
    EXPECT_EQ(hires.sprite()[62], 0x01);
    EXPECT_EQ(SetPixel(hires.block(), 7, 9, 2, 0), 1);
    EXPECT_EQ(hires.sprite()[7], 0x00);

    OneSprite multi(kMulti);
    EXPECT_EQ(SetPixel(multi.block(), 7, 5, 1, 3), 1);
    EXPECT_EQ(multi.sprite()[4], 0x30); // byte 3y + x/4, pair under 0xC0 >> 2
    EXPECT_EQ(SetPixel(multi.block(), 7, 11, 20, 1), 1);
    EXPECT_EQ(multi.sprite()[62], 0x01);
    EXPECT_EQ(GetPixel(multi.block(), 7, 5, 1), 3);
    EXPECT_TRUE(multi.g.GuardsIntact());
}

TEST(Pixels, TheOldPairIsClearedBeforeTheNewValue)
{
    OneSprite multi(kMulti);
    multi.sprite()[0] = 0xC0;
    SetPixel(multi.block(), 7, 0, 0, 0);
    EXPECT_EQ(multi.sprite()[0], 0x00);
    multi.sprite()[0] = 0x80;
    SetPixel(multi.block(), 7, 0, 0, 1);
    EXPECT_EQ(multi.sprite()[0], 0x40);
}

TEST(Pixels, HiresPixelsReadOnlyAsZeroOrTwo)
{
    OneSprite hires(kHires);
    EXPECT_EQ(SetPixel(hires.block(), 7, 12, 0, 3), 1); // x 12 is valid on a hires sprite
    EXPECT_EQ(GetPixel(hires.block(), 7, 12, 0), 2);
    for (int i = 0; i < 63; ++i)
        hires.sprite()[i] = static_cast<u8>(i * 37);
    for (int y = 0; y < 21; ++y)
        for (int x = 0; x < 24; ++x)
        {
            const int v = GetPixel(hires.block(), 7, x, y);
            ASSERT_TRUE(v == 0 || v == 2) << x << "," << y;
        }
}

TEST(Pixels, RefusalsChangeNothing)
{
    OneSprite multi(kMulti);
    multi.block()[8 * 64 + 63] = kHires;
    const Bytes before = multi.g.storage;
    EXPECT_EQ(SetPixel(multi.block(), 7, 12, 0, 2), 0); // beyond 12 multicolour pixels
    EXPECT_EQ(SetPixel(multi.block(), 7, 0, 21, 2), 0);
    EXPECT_EQ(SetPixel(multi.block(), 8, 24, 0, 2), 0);
    EXPECT_EQ(SetPixel(multi.block(), 8, 0, 21, 2), 0);
    EXPECT_EQ(SetPixel(multi.block(), 7, -1, 0, 2), 0);
    EXPECT_EQ(SetPixel(multi.block(), 7, 0, -1, 2), 0);
    EXPECT_EQ(SetPixel(multi.block(), 7, 0, 0, 4), 0); // only pen values 0..3
    EXPECT_EQ(SetPixel(multi.block(), 7, 0, 0, -1), 0);
    EXPECT_EQ(SetPixel(multi.block(), 8, 0, 0, 255), 0);
    EXPECT_EQ(SetPixel(multi.block(), 256, 0, 0, 2), 0);
    EXPECT_EQ(SetPixel(multi.block(), -1, 0, 0, 2), 0);
    EXPECT_EQ(SetPixel(nullptr, 0, 0, 0, 2), 0);
    EXPECT_EQ(multi.g.storage, before);

    EXPECT_EQ(GetPixel(multi.block(), 7, 12, 0), -1);
    EXPECT_EQ(GetPixel(multi.block(), 8, 24, 0), -1);
    EXPECT_EQ(GetPixel(multi.block(), 8, 0, 21), -1);
    EXPECT_EQ(GetPixel(multi.block(), 256, 0, 0), -1);
    EXPECT_EQ(GetPixel(nullptr, 0, 0, 0), -1);
}

TEST(Pixels, FloodFillCoversAWholeSpriteInEitherMode)
{
    OneSprite hires(kHires);
    FloodFill(hires.block(), 7, 11, 10, 0, 2);
    EXPECT_EQ(CountValue(hires.block(), 7, 24, 2), 504);
    for (int i = 0; i < 63; ++i)
        ASSERT_EQ(hires.sprite()[i], 0xFF);
    EXPECT_EQ(hires.sprite()[63], kHires);
    EXPECT_EQ(IsBlank(hires.block(), 6), 1);
    EXPECT_EQ(IsBlank(hires.block(), 8), 1);

    OneSprite multi(kMulti);
    FloodFill(multi.block(), 7, 0, 0, 0, 1);
    EXPECT_EQ(CountValue(multi.block(), 7, 12, 1), 252);
    EXPECT_TRUE(multi.g.GuardsIntact());
}

TEST(Pixels, FloodFillStaysInsideItsFourWayConnectedArea)
{
    OneSprite hires(kHires);
    // A vertical wall at x 10 splits the sprite.
    for (int y = 0; y < 21; ++y)
        SetPixel(hires.block(), 7, 10, y, 2);
    FloodFill(hires.block(), 7, 0, 0, 0, 2);
    for (int y = 0; y < 21; ++y)
    {
        for (int x = 0; x < 24; ++x)
            ASSERT_EQ(GetPixel(hires.block(), 7, x, y), x <= 10 ? 2 : 0) << x << "," << y;
    }

    OneSprite multi(kMulti);
    SetPixel(multi.block(), 7, 1, 0, 3);
    SetPixel(multi.block(), 7, 0, 1, 3);
    FloodFill(multi.block(), 7, 0, 0, 0, 2); // the corner pixel is closed in: diagonals do not connect
    EXPECT_EQ(GetPixel(multi.block(), 7, 0, 0), 2);
    EXPECT_EQ(CountValue(multi.block(), 7, 12, 2), 1);
}

TEST(Pixels, FloodFillThatCannotChangeAnythingTerminatesAndChangesNothing)
{
    OneSprite hires(kHires);
    hires.sprite()[0] = 0xF0;
    const Bytes before = hires.g.storage;
    FloodFill(hires.block(), 7, 0, 0, 0, 2);  // start pixel is 2, not the target
    FloodFill(hires.block(), 7, 0, 0, 2, 3);  // 3 reads back as 2 on a hires sprite
    FloodFill(hires.block(), 7, 0, 0, 2, 1);  // so does 1
    FloodFill(hires.block(), 7, 5, 5, 0, 0);  // replacement equals target
    FloodFill(hires.block(), 7, 24, 0, 0, 2); // outside the sprite
    FloodFill(hires.block(), 7, -1, 0, 0, 2);
    FloodFill(hires.block(), 7, 5, 5, -1, 2); // target no pixel value
    FloodFill(hires.block(), 7, 5, 5, 0, 7);
    FloodFill(hires.block(), 256, 0, 0, 0, 2);
    FloodFill(nullptr, 0, 0, 0, 0, 2);
    EXPECT_EQ(hires.g.storage, before);

    OneSprite multi(kMulti);
    const Bytes blank = multi.g.storage;
    FloodFill(multi.block(), 7, 3, 3, 0, 0);
    FloodFill(multi.block(), 7, 12, 3, 0, 1);
    EXPECT_EQ(multi.g.storage, blank);
}
