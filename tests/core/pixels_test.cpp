// Pixels in both modes and the four-way flood fill.
#include "CoreTestSupport.h"

using namespace kelmora;
using namespace kelmora_test;

namespace
{

constexpr int kSlot = 7;

// A cleared block whose slot 7 has the given attribute byte (0x05 hires, 0x85 multicolour).
struct Sprite7 : GuardedBlock
{
    explicit Sprite7(u8 attribute)
    {
        ClearBank(block());
        slot(kSlot)[63] = attribute;
    }
    u8* px() { return slot(kSlot); }
    int count(int value)
    {
        int n = 0;
        for (int y = 0; y < 21; ++y)
            for (int x = 0; x < 24; ++x)
                n += GetPixel(block(), kSlot, x, y) == value ? 1 : 0;
        return n;
    }
};

} // namespace

TEST(Pixels, SetAndGetUseTheDocumentedBitsInEachMode)
{
    Sprite7 hires(0x05);
    EXPECT_EQ(SetPixel(hires.block(), kSlot, 9, 2, 2), 1);
    EXPECT_EQ(hires.px()[7], 0x40);
    EXPECT_EQ(SetPixel(hires.block(), kSlot, 12, 0, 3), 1); // x 12 is valid in hires
    EXPECT_EQ(GetPixel(hires.block(), kSlot, 12, 0), 2);    // and 3 reads back as 2
    for (int i = 0; i < 63; ++i)
        hires.px()[i] = static_cast<u8>(i * 37);
    EXPECT_EQ(hires.count(0) + hires.count(2), 504); // never 1 or 3

    Sprite7 multi(0x85);
    EXPECT_EQ(SetPixel(multi.block(), kSlot, 5, 1, 3), 1);
    EXPECT_EQ(multi.px()[4], 0x30);
    multi.px()[0] = 0xC0;
    SetPixel(multi.block(), kSlot, 0, 0, 0); // the pair is cleared first
    EXPECT_EQ(multi.px()[0], 0x00);
    multi.px()[0] = 0x80;
    SetPixel(multi.block(), kSlot, 0, 0, 1);
    EXPECT_EQ(multi.px()[0], 0x40);
    EXPECT_EQ(GetPixel(multi.block(), kSlot, 5, 1), 3);
}

TEST(Pixels, RefusalsChangeNothing)
{
    Sprite7 g(0x85);
    g.slot(8)[63] = 0x05;
    const Bytes before = g.storage;
    const int refused[][4] = {{kSlot, 12, 0, 2}, {kSlot, 0, 21, 2}, {8, 24, 0, 2},    {8, 0, 21, 2},
                              {kSlot, -1, 0, 2}, {kSlot, 0, -1, 2}, {kSlot, 0, 0, 4}, {8, 0, 0, -1},
                              {256, 0, 0, 2},    {-1, 0, 0, 2}};
    for (const auto& r : refused)
    {
        EXPECT_EQ(SetPixel(g.block(), r[0], r[1], r[2], r[3]), 0);
        EXPECT_EQ(GetPixel(g.block(), r[0], r[1], r[2]) == -1, r[3] == 2); // only the bad values are inside
    }
    EXPECT_EQ(SetPixel(nullptr, 0, 0, 0, 2), 0);
    EXPECT_EQ(GetPixel(nullptr, 0, 0, 0), -1);
    EXPECT_EQ(g.storage, before);
}

TEST(Pixels, FloodFillCoversItsFourWayConnectedAreaOnly)
{
    Sprite7 hires(0x05);
    FloodFill(hires.block(), kSlot, 11, 10, 0, 2);
    EXPECT_EQ(hires.count(2), 504);
    EXPECT_EQ(IsBlank(hires.block(), kSlot + 1) + IsBlank(hires.block(), kSlot - 1), 2);
    EXPECT_TRUE(hires.GuardsIntact());

    Sprite7 wall(0x05);
    for (int y = 0; y < 21; ++y)
        SetPixel(wall.block(), kSlot, 10, y, 2);
    FloodFill(wall.block(), kSlot, 0, 0, 0, 2);
    EXPECT_EQ(wall.count(2), 11 * 21);
    EXPECT_EQ(GetPixel(wall.block(), kSlot, 11, 0), 0);

    Sprite7 multi(0x85);
    SetPixel(multi.block(), kSlot, 1, 0, 3);
    SetPixel(multi.block(), kSlot, 0, 1, 3);
    FloodFill(multi.block(), kSlot, 0, 0, 0, 1); // diagonals do not connect
    EXPECT_EQ(multi.count(1), 1);
    FloodFill(multi.block(), kSlot, 5, 5, 0, 2);
    EXPECT_EQ(multi.count(2), 252 - 3);
}

TEST(Pixels, AFillThatCannotChangeAnythingTerminatesAndChangesNothing)
{
    Sprite7 g(0x05);
    g.px()[0] = 0xF0;
    const Bytes before = g.storage;
    const int fills[][5] = {{kSlot, 0, 0, 0, 2}, // start pixel is not the target
                            {kSlot, 0, 0, 2, 3}, // 3 and 1 read back as 2 on a hires sprite
                            {kSlot, 0, 0, 2, 1},  {kSlot, 5, 5, 0, 0}, {kSlot, 24, 0, 0, 2},
                            {kSlot, 5, 5, -1, 2}, {kSlot, 5, 5, 0, 7}, {256, 0, 0, 0, 2}};
    for (const auto& f : fills)
        FloodFill(g.block(), f[0], f[1], f[2], f[3], f[4]);
    FloodFill(nullptr, 0, 0, 0, 0, 2);
    EXPECT_EQ(g.storage, before);
}
