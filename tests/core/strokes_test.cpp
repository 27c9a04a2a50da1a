// Lines, rectangles and continuous strokes on one sprite.
#include "CoreTestSupport.h"

#include <set>

using namespace kelmora;
using namespace kelmora_test;

namespace
{

const GridBox kWide{-1000, -1000, 1000, 1000};

std::vector<GridPoint> Line(GridPoint a, GridPoint b, const GridBox& clip = kWide)
{
    std::vector<GridPoint> points;
    AppendLinePoints(a, b, clip, points);
    return points;
}

// Every point touches the one before it (sideways or diagonally) and moves one step
// along the longer axis.
bool Continuous(const std::vector<GridPoint>& points)
{
    for (std::size_t i = 1; i < points.size(); ++i)
    {
        const int dx = std::abs(points[i].x - points[i - 1].x), dy = std::abs(points[i].y - points[i - 1].y);
        if (dx > 1 || dy > 1 || dx + dy == 0) return false;
    }
    return true;
}

std::set<std::pair<int, int>> SetPixelsOf(const u8* block, int index)
{
    std::set<std::pair<int, int>> set;
    for (int y = 0; y < kSpriteHeight; ++y)
        for (int x = 0; x < kSpriteWidth; ++x)
            if (GetPixel(block, index, x, y) > 0) set.insert({x, y});
    return set;
}

} // namespace

TEST(Strokes, LinesVisitEveryStepOfTheLongerAxisFromEndToEnd)
{
    const GridPoint ends[][2] = {{{0, 0}, {0, 0}},  {{2, 3}, {9, 3}},  {{5, 0}, {5, -7}}, {{0, 0}, {7, 7}},
                                 {{0, 0}, {10, 3}}, {{3, 10}, {0, 0}}, {{-4, 2}, {6, -1}}};
    for (const auto& e : ends)
    {
        const auto points = Line(e[0], e[1]);
        const int steps = std::max(std::abs(e[1].x - e[0].x), std::abs(e[1].y - e[0].y));
        ASSERT_EQ(points.size(), static_cast<std::size_t>(steps + 1));
        EXPECT_EQ(points.front().x, e[0].x);
        EXPECT_EQ(points.front().y, e[0].y);
        EXPECT_EQ(points.back().x, e[1].x);
        EXPECT_EQ(points.back().y, e[1].y);
        EXPECT_TRUE(Continuous(points));
    }
    // The other axis takes the nearest position: (0,0)-(10,3) is at y 1 from x 2 to 5.
    const auto shallow = Line({0, 0}, {10, 3});
    EXPECT_EQ(shallow[1].y, 0);
    EXPECT_EQ(shallow[2].y, 1);
    EXPECT_EQ(shallow[5].y, 2);
    EXPECT_EQ(shallow[9].y, 3);
}

TEST(Strokes, LinesAreClippedWithoutWalkingTheirWholeLength)
{
    const GridBox sprite{0, 0, 23, 20};
    // Ends two billion pixels apart: only the 24 pixels of row 10 are visited.
    const auto row = Line({-2000000000, 10}, {2000000000, 10}, sprite);
    ASSERT_EQ(row.size(), 24u);
    EXPECT_EQ(row.front().x, 0);
    EXPECT_EQ(row.back().x, 23);
    // A diagonal entering from outside keeps the pixels it has inside, in order.
    const auto diagonal = Line({-5, -5}, {30, 30}, sprite);
    ASSERT_EQ(diagonal.size(), 21u);
    EXPECT_EQ(diagonal.front().x, 0);
    EXPECT_EQ(diagonal.back().y, 20);
    EXPECT_TRUE(Line({-9, -9}, {-1, 40}, sprite).empty());
    EXPECT_TRUE(Line({0, 0}, {5, 5}, {3, 3, 2, 2}).empty()); // an empty clip
}

TEST(Strokes, RectanglesHaveEachPixelOnce)
{
    std::vector<GridPoint> outline, filled, line, clipped;
    AppendRectanglePoints({7, 5}, {2, 1}, false, kWide, outline); // any two opposite corners
    AppendRectanglePoints({2, 1}, {7, 5}, true, kWide, filled);
    AppendRectanglePoints({2, 4}, {2, 9}, false, kWide, line);
    AppendRectanglePoints({-3, -3}, {4, 4}, false, {0, 0, 10, 10}, clipped);
    std::set<std::pair<int, int>> unique;
    for (const auto& p : outline)
    {
        unique.insert({p.x, p.y});
        EXPECT_TRUE(p.x == 2 || p.x == 7 || p.y == 1 || p.y == 5);
    }
    EXPECT_EQ(outline.size(), 2u * 6 + 2u * 5 - 4);
    EXPECT_EQ(unique.size(), outline.size());
    EXPECT_EQ(filled.size(), 6u * 5);
    EXPECT_EQ(line.size(), 6u); // one column wide: each pixel once
    // Only the right and bottom edges lie inside the clip.
    EXPECT_EQ(clipped.size(), 5u + 5u - 1);
}

TEST(Strokes, AStrokeBetweenTwoDistantMouseEventsPaintsTheWholeLine)
{
    GuardedBlock g;
    ClearBank(g.block());
    const int hires = 3, multi = 4;
    g.slot(hires)[kAttributeByte] = 0x05;

    // Hires: the line from (0, 0) to (23, 20) with Paintbrush 1, 24 pixels, no gaps.
    EXPECT_EQ(StampLine(g.block(), hires, 0, 0, 23, 20, 2, kBrushDot), 24);
    const auto painted = SetPixelsOf(g.block(), hires);
    EXPECT_EQ(painted.size(), 24u);
    for (int y = 0; y < kSpriteHeight; ++y)
        EXPECT_TRUE(std::any_of(painted.begin(), painted.end(), [y](auto p) { return p.second == y; })) << y;

    // Multicolour: sprite pixels are double wide, so the stroke from (0, 2) to (11, 2)
    // covers the whole row with value 3 in 12 stamps.
    EXPECT_EQ(StampLine(g.block(), multi, 0, 2, 11, 2, 3, kBrushDot), 12);
    EXPECT_EQ(g.slot(multi)[6], 0xFF);
    EXPECT_EQ(g.slot(multi)[7], 0xFF);
    EXPECT_EQ(g.slot(multi)[8], 0xFF);

    // Paintbrush 2 along a row paints three rows; a stroke from far outside the sprite
    // paints what lies inside and nothing else.
    ClearBank(g.block());
    g.slot(hires)[kAttributeByte] = 0x05;
    StampLine(g.block(), hires, -500, 10, 500, 10, 2, kBrushPlus);
    for (int y = 0; y < kSpriteHeight; ++y)
    {
        const Bytes row(g.slot(hires) + 3 * y, g.slot(hires) + 3 * y + 3);
        EXPECT_EQ(row, (y >= 9 && y <= 11) ? Bytes(3, 0xFF) : Bytes(3, 0)) << y;
    }
    // Centred one pixel outside the sprite, the plus still reaches in.
    ClearBank(g.block());
    EXPECT_EQ(StampBrush(g.block(), multi, 12, 5, 1, kBrushPlus), 1);
    EXPECT_EQ(GetPixel(g.block(), multi, 11, 5), 1);
    EXPECT_EQ(StampLine(nullptr, 0, 0, 0, 5, 5, 2, kBrushDot), 0);
    EXPECT_EQ(StampLine(g.block(), 256, 0, 0, 5, 5, 2, kBrushDot), 0);
    EXPECT_TRUE(g.GuardsIntact());
}
