// Brush stamps and continuous strokes over the pixels of one sprite.
#include "CoreTestSupport.h"

using namespace kelmora;
using namespace kelmora_test;

namespace
{

constexpr int kSlot = 9;

struct Canvas : GuardedBlock
{
    explicit Canvas(u8 attribute)
    {
        ClearBank(block());
        slot(kSlot)[63] = attribute;
    }
    u8* px() { return slot(kSlot); }
    // Every other slot, and the attribute byte, as ClearBank left them.
    bool RestUntouched(u8 attribute)
    {
        for (int i = 0; i < 256; ++i)
            for (int b = 0; b < 64; ++b)
            {
                const u8 expected = i == kSlot ? (b == 63 ? attribute : slot(i)[b]) : (b == 63 ? 133 : 0);
                if (slot(i)[b] != expected) return false;
            }
        return GuardsIntact();
    }
};

bool Touching(const PixelPoint& a, const PixelPoint& b)
{
    return std::abs(a.x - b.x) <= 1 && std::abs(a.y - b.y) <= 1 && !(a.x == b.x && a.y == b.y);
}

} // namespace

TEST(Stroke, LinePixelsRunFromTheFirstEndToTheSecondWithoutGaps)
{
    const std::vector<PixelPoint> shallow = LinePixels(0, 0, 5, 2);
    const int expected[][2] = {{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}, {5, 2}};
    ASSERT_EQ(shallow.size(), 6u);
    for (int i = 0; i < 6; ++i)
    {
        EXPECT_EQ(shallow[i].x, expected[i][0]);
        EXPECT_EQ(shallow[i].y, expected[i][1]);
    }

    // Every direction: one pixel a step of the longer axis, each touching the one before.
    const int ends[][2] = {{11, 3}, {3, 20}, {-4, 17}, {-23, 2}, {-9, -20}, {-1, -13}, {6, -7}, {23, -20}};
    for (const auto& end : ends)
    {
        const std::vector<PixelPoint> line = LinePixels(12, 10, 12 + end[0], 10 + end[1]);
        const std::size_t steps = static_cast<std::size_t>(std::max(std::abs(end[0]), std::abs(end[1])));
        ASSERT_EQ(line.size(), steps + 1) << end[0] << "," << end[1];
        EXPECT_EQ(line.front().x, 12);
        EXPECT_EQ(line.front().y, 10);
        EXPECT_EQ(line.back().x, 12 + end[0]);
        EXPECT_EQ(line.back().y, 10 + end[1]);
        for (std::size_t i = 1; i < line.size(); ++i)
            EXPECT_TRUE(Touching(line[i - 1], line[i])) << end[0] << "," << end[1] << " at " << i;
    }

    EXPECT_EQ(LinePixels(4, 4, 4, 4).size(), 1u);
    EXPECT_TRUE(LinePixels(0, 0, kStrokeCoordinateLimit + 1, 0).empty());
    EXPECT_TRUE(LinePixels(0, -kStrokeCoordinateLimit - 1, 0, 0).empty());
    EXPECT_EQ(LinePixels(-kStrokeCoordinateLimit, 0, kStrokeCoordinateLimit, 0).size(),
              2u * kStrokeCoordinateLimit + 1);
}

TEST(Stroke, LinesPaintEveryPixelBetweenTheEndsInTheSpritesOwnMode)
{
    // High resolution: a horizontal run from x 2 to x 20 of row 3.
    Canvas hires(0x07);
    EXPECT_EQ(StampLine(hires.block(), kSlot, 2, 3, 20, 3, 2, kBrushDot), 19);
    EXPECT_EQ(hires.px()[9], 0x3F);
    EXPECT_EQ(hires.px()[10], 0xFF);
    EXPECT_EQ(hires.px()[11], 0xF8);
    EXPECT_TRUE(hires.RestUntouched(0x07));
    // The right button's transparent takes part of it away again.
    EXPECT_EQ(StampLine(hires.block(), kSlot, 8, 3, 15, 3, 0, kBrushDot), 8);
    EXPECT_EQ(hires.px()[10], 0x00);

    // Multicolour: 12 double-wide pixels a row; a line across row 0 sets every bit pair,
    // and a diagonal to the far corner reaches column 11 of row 20.
    Canvas multi(0x85);
    EXPECT_EQ(StampLine(multi.block(), kSlot, 0, 0, 11, 0, 1, kBrushDot), 12);
    EXPECT_EQ(multi.px()[0], 0x55);
    EXPECT_EQ(multi.px()[1], 0x55);
    EXPECT_EQ(multi.px()[2], 0x55);
    EXPECT_EQ(StampLine(multi.block(), kSlot, 0, 1, 11, 20, 3, kBrushDot), 20);
    for (int y = 1; y <= 20; ++y)
    {
        int set = 0;
        for (int x = 0; x < 12; ++x)
            set += GetPixel(multi.block(), kSlot, x, y) == 3 ? 1 : 0;
        EXPECT_EQ(set, 1) << "row " << y;
    }
    EXPECT_EQ(GetPixel(multi.block(), kSlot, 11, 20), 3);
    EXPECT_TRUE(multi.RestUntouched(0x85));
}

TEST(Stroke, BrushesAndEdges)
{
    // Paintbrush 2 along a line: the pixels of the line and their four neighbours.
    Canvas plus(0x07);
    StampLine(plus.block(), kSlot, 5, 5, 8, 5, 2, kBrushPlus);
    int set = 0;
    for (int y = 0; y < 21; ++y)
        for (int x = 0; x < 24; ++x)
        {
            const bool inPlus = (y == 5 && x >= 4 && x <= 9) || ((y == 4 || y == 6) && x >= 5 && x <= 8);
            EXPECT_EQ(GetPixel(plus.block(), kSlot, x, y), inPlus ? 2 : 0) << x << "," << y;
            set += inPlus ? 1 : 0;
        }
    EXPECT_EQ(set, 14);

    // At a corner the plus keeps to the sprite: (0, 0), (1, 0) and (0, 1).
    Canvas corner(0x07);
    EXPECT_EQ(StampBrush(corner.block(), kSlot, 0, 0, 2, kBrushPlus), 3);

    // A line that starts and ends outside paints only where it crosses the sprite.
    Canvas crossing(0x07);
    EXPECT_EQ(StampLine(crossing.block(), kSlot, -10, 10, 30, 10, 2, kBrushDot), 24);
    for (int x = 0; x < 24; ++x)
        EXPECT_EQ(GetPixel(crossing.block(), kSlot, x, 10), 2);
    EXPECT_EQ(StampLine(crossing.block(), kSlot, -5, -5, -1, 30, 2, kBrushDot), 0);
    EXPECT_TRUE(crossing.RestUntouched(0x07));

    // Refusals change nothing.
    Canvas refused(0x07);
    EXPECT_EQ(StampLine(nullptr, kSlot, 0, 0, 5, 5, 2, kBrushDot), 0);
    EXPECT_EQ(StampLine(refused.block(), 256, 0, 0, 5, 5, 2, kBrushDot), 0);
    EXPECT_EQ(StampLine(refused.block(), -1, 0, 0, 5, 5, 2, kBrushDot), 0);
    EXPECT_EQ(StampLine(refused.block(), kSlot, 0, 0, 5, 5, 4, kBrushDot), 0);
    EXPECT_EQ(StampLine(refused.block(), kSlot, 0, 0, 5, 5, 2, 2), 0);
    EXPECT_EQ(StampLine(refused.block(), kSlot, 0, 0, kStrokeCoordinateLimit + 1, 0, 2, kBrushDot), 0);
    EXPECT_TRUE(refused.RestUntouched(0x07));
}
