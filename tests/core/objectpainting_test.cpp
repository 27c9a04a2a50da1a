// Painting an object across the seams of its cells: brushes, the overlay pixel rules,
// continuous strokes, lines, rectangles and the flood fill.
#include "CoreTestSupport.h"

using namespace kelmora;
using namespace kelmora_test;

namespace
{

// A cleared bank of 64 sprites (all multicolour, as cleared) and an object over it.
struct Scene : GuardedBlock
{
    SpriteBank bank{64, 11, 2, 9, 14, nullptr, 0, 0, 0, 2};
    SpriteObject object;
    Scene(int columns, int rows, int overlayFirst = -1)
    {
        ClearBank(block());
        bank.sprites = block();
        object = *MakeObject("test", 0, columns, rows);
        if (overlayFirst >= 0)
        {
            AddOverlayLayer(object, overlayFirst);
            for (int index : object.overlayCells)
                slot(index)[kAttributeByte] = 1; // hires, white
        }
    }
    void hires(int index) { slot(index)[kAttributeByte] = 5; }
    int value(int x, int y) const { return ObjectPixelValue(bank, object, x, y); }
    std::vector<int> picture() const { return ObjectPictureValues(bank, object); }
    int width() const { return ObjectPictureWidth(object); }
};

} // namespace

TEST(ObjectPainting, BrushesPaintEachCellInItsOwnModeAcrossSeams)
{
    Scene s(2, 1);
    s.hires(0); // cell 0 hires, cell 1 multicolour
    EXPECT_EQ(PaintObjectBrush(s.bank, s.object, 23, 5, 2, Brush::Dot), 1);
    EXPECT_EQ(GetPixel(s.block(), 0, 23, 5), 2);
    EXPECT_EQ(PaintObjectBrush(s.bank, s.object, 25, 5, 1, Brush::Dot), 1);
    EXPECT_EQ(GetPixel(s.block(), 1, 0, 5), 1); // a double-wide pixel: picture x 24 and 25
    EXPECT_EQ(s.value(24, 5), 1);
    EXPECT_EQ(PaintObjectBrush(s.bank, s.object, 25, 5, 1, Brush::Dot), 0); // nothing changes twice
    EXPECT_EQ(PaintObjectBrush(s.bank, s.object, 3, 3, 3, Brush::Dot),
              0); // a hires cell has no multi-colour 2
    EXPECT_EQ(s.value(3, 3), 0);

    // Paintbrush 2 at the seam: its right arm lands on the multicolour cell's first pixel.
    Scene p(2, 1);
    p.hires(0);
    EXPECT_EQ(PaintObjectBrush(p.bank, p.object, 23, 10, 2, Brush::Plus), 5);
    for (auto [x, y] : {std::pair{23, 10}, {22, 10}, {23, 9}, {23, 11}})
        EXPECT_EQ(GetPixel(p.block(), 0, x, y), 2) << x << "," << y;
    EXPECT_EQ(GetPixel(p.block(), 1, 0, 10), 2);
    // Centred in the multicolour cell, its arms are one double-wide pixel long; the left
    // one reaches back over the seam into the hires cell.
    EXPECT_EQ(PaintObjectBrush(p.bank, p.object, 25, 2, 3, Brush::Plus), 4);
    EXPECT_EQ(GetPixel(p.block(), 1, 0, 2), 3);
    EXPECT_EQ(GetPixel(p.block(), 1, 1, 2), 3);
    EXPECT_EQ(GetPixel(p.block(), 1, 0, 1), 3);
    EXPECT_EQ(GetPixel(p.block(), 1, 0, 3), 3);
    EXPECT_EQ(GetPixel(p.block(), 0, 23, 2), 0); // multi-colour 2: the hires arm is left alone
    EXPECT_EQ(PaintObjectBrush(p.bank, p.object, 0, 0, 2, Brush::Plus), 3); // a corner: three pixels inside

    // Refused: a cell beyond the sprites in use, a pen outside 0..3, the overlay pen
    // without an overlay layer. Nothing changes.
    const Bytes before(p.block(), p.block() + kBlockBytes);
    p.bank.spriteCount = 1;
    EXPECT_EQ(PaintObjectBrush(p.bank, p.object, 5, 5, 2, Brush::Plus), 0);
    EXPECT_EQ(PaintObjectLine(p.bank, p.object, 0, 0, 40, 20, 2, Brush::Dot), 0);
    EXPECT_EQ(FillObject(p.bank, p.object, 5, 5, 2), 0);
    p.bank.spriteCount = 64;
    EXPECT_EQ(PaintObjectBrush(p.bank, p.object, 5, 5, 4, Brush::Dot), 0);
    EXPECT_EQ(PaintObjectBrush(p.bank, p.object, 5, 5, kOverlayPen, Brush::Dot), 0);
    EXPECT_EQ(Bytes(p.block(), p.block() + kBlockBytes), before);
    EXPECT_TRUE(p.GuardsIntact());
}

TEST(ObjectPainting, OverlayPenSetsHiresOverlayPixelsAndOtherPensClearThem)
{
    Scene s(2, 1, 10); // multicolour cells 0 and 1, hires overlay cells 10 and 11
    const Bytes underBefore(s.slot(0), s.slot(0) + 2 * kSpriteBytes);
    EXPECT_EQ(PaintObjectBrush(s.bank, s.object, 5, 3, kOverlayPen, Brush::Dot), 1);
    EXPECT_EQ(GetPixel(s.block(), 10, 5, 3), 2);
    EXPECT_EQ(GetPixel(s.block(), 10, 4, 3), 0); // one hires pixel, not the pair
    EXPECT_EQ(s.value(5, 3), kOverlayPen);
    EXPECT_EQ(s.value(4, 3), 0);
    EXPECT_EQ(Bytes(s.slot(0), s.slot(0) + 2 * kSpriteBytes), underBefore); // the underlay is untouched
    PaintObjectBrush(s.bank, s.object, 4, 3, kOverlayPen, Brush::Dot);

    // Multi-colour 1 at picture x 5: the double-wide pixel covers x 4 and 5, so both
    // overlay pixels go and the underlay's pair takes the pen.
    EXPECT_EQ(PaintObjectBrush(s.bank, s.object, 5, 3, 1, Brush::Dot), 3);
    EXPECT_EQ(GetPixel(s.block(), 10, 4, 3), 0);
    EXPECT_EQ(GetPixel(s.block(), 10, 5, 3), 0);
    EXPECT_EQ(GetPixel(s.block(), 0, 2, 3), 1);
    EXPECT_EQ(s.value(4, 3), 1);
    EXPECT_EQ(s.value(5, 3), 1);

    // Transparent erases both layers; an overlay pixel next to the pair stays.
    PaintObjectBrush(s.bank, s.object, 30, 0, kOverlayPen, Brush::Dot);
    PaintObjectBrush(s.bank, s.object, 32, 0, kOverlayPen, Brush::Dot);
    EXPECT_EQ(PaintObjectBrush(s.bank, s.object, 31, 0, 0, Brush::Dot), 1);
    EXPECT_EQ(s.value(30, 0), 0);
    EXPECT_EQ(s.value(32, 0), kOverlayPen);

    // The overlay pen strokes in hires pixels: 48 across the seam; an underlay pen in
    // double-wide ones: 24 pairs, each clearing the overlay pixels it covers.
    EXPECT_EQ(PaintObjectLine(s.bank, s.object, 0, 10, 47, 10, kOverlayPen, Brush::Dot), 48);
    EXPECT_EQ(PaintObjectLine(s.bank, s.object, 0, 10, 47, 10, 3, Brush::Dot), 24 + 48);
    for (int x = 0; x < 48; ++x)
        EXPECT_EQ(s.value(x, 10), 3) << x;
    EXPECT_TRUE(s.GuardsIntact());
}

TEST(ObjectPainting, StrokesLinesAndRectanglesCrossSeamsWithoutGaps)
{
    // A 2 x 2 multicolour object: the stroke from corner to corner runs over double-wide
    // pixels, one a row for all 42 rows, through cells 0 and 3.
    Scene s(2, 2);
    EXPECT_EQ(PaintObjectLine(s.bank, s.object, 0, 0, 47, 41, 3, Brush::Dot), 42);
    const std::vector<int> values = s.picture();
    int previous = -1;
    for (int y = 0; y < 42; ++y)
    {
        std::vector<int> xs;
        for (int x = 0; x < 48; ++x)
            if (values[y * 48 + x] == 3) xs.push_back(x);
        ASSERT_EQ(xs.size(), 2u) << y; // one double-wide pixel
        EXPECT_EQ(xs[0] % 2, 0);
        if (previous >= 0)
        {
            EXPECT_LE(std::abs(xs[0] - previous), 2) << y;
        }
        previous = xs[0];
    }
    EXPECT_EQ(GetPixel(s.block(), 0, 0, 0), 3);
    EXPECT_EQ(GetPixel(s.block(), 3, 11, 20), 3);
    EXPECT_TRUE(IsBlank(s.block(), 1) == 1 && IsBlank(s.block(), 2) == 1);

    // Ends far outside the picture: what lies inside is painted, and only that.
    EXPECT_EQ(PaintObjectLine(s.bank, s.object, -100000, 30, 100000, 30, 1, Brush::Dot), 24);
    for (int x = 0; x < 48; ++x)
        EXPECT_NE(s.value(x, 30), 0) << x;

    // With a hires cell in the layer the stroke runs over hires pixels.
    Scene mixed(2, 1);
    mixed.hires(1);
    EXPECT_EQ(PaintObjectLine(mixed.bank, mixed.object, 0, 7, 47, 7, 2, Brush::Dot), 12 + 24);

    // Rectangles across all four cells: the outline in double-wide pixels (x 2..3 to
    // 44..45), or filled.
    Scene r(2, 2);
    PaintObjectRectangle(r.bank, r.object, 3, 2, 44, 40, 2, false, Brush::Dot);
    for (int y = 0; y < 42; ++y)
        for (int x = 0; x < 48; ++x)
        {
            const bool inside = x >= 2 && x <= 45 && y >= 2 && y <= 40;
            const bool edge = inside && (x <= 3 || x >= 44 || y == 2 || y == 40);
            ASSERT_EQ(r.value(x, y), edge ? 2 : 0) << x << "," << y;
        }
    EXPECT_EQ(PaintObjectRectangle(r.bank, r.object, 3, 2, 44, 40, 1, true, Brush::Dot), 22 * 39);
    EXPECT_EQ(r.value(24, 21), 1);
    EXPECT_EQ(r.value(1, 21), 0);
}

TEST(ObjectPainting, FloodFillSpreadsAcrossSeamsOnTheComposedPicture)
{
    // A closed outline over all four cells; the fill inside reaches every cell and stops
    // at the outline, including where it only touches the outside diagonally.
    Scene s(2, 2);
    PaintObjectRectangle(s.bank, s.object, 4, 4, 43, 37, 2, false, Brush::Dot);
    PaintObjectBrush(s.bank, s.object, 6, 6, 2, Brush::Dot); // a diagonal step inside the corner
    const int inside = 18 * 32 - 1;                          // double-wide pixels inside, less the step
    EXPECT_EQ(FillObject(s.bank, s.object, 20, 20, 1), inside);
    EXPECT_EQ(s.value(8, 6), 1);
    EXPECT_EQ(s.value(41, 35), 1);
    EXPECT_EQ(s.value(2, 2), 0);
    EXPECT_EQ(FillObject(s.bank, s.object, 20, 20, 1), 0); // already the pen
    EXPECT_EQ(FillObject(s.bank, s.object, 0, 0, 3), 24 * 42 - 20 * 34);
    EXPECT_EQ(s.value(47, 41), 3);
    EXPECT_EQ(s.value(30, 30), 1);
    EXPECT_EQ(FillObject(s.bank, s.object, 48, 0, 3), 0); // outside the picture

    // A mixed object fills hires and multicolour cells alike.
    Scene mixed(2, 1);
    mixed.hires(0);
    EXPECT_EQ(FillObject(mixed.bank, mixed.object, 30, 4, 2), 24 * 21 + 12 * 21);

    // With an overlay: an overlay line splits the picture. Filling the right side with the
    // overlay pen joins it to the line as overlay pixels, the underlay untouched; filling
    // those with a pen clears them and gives their double-wide pixels the pen.
    Scene o(2, 1, 10);
    PaintObjectLine(o.bank, o.object, 21, 0, 21, 20, kOverlayPen, Brush::Dot);
    PaintObjectLine(o.bank, o.object, 0, 0, 0, 20, 1, Brush::Dot); // x 0 and 1 multi-colour 1
    EXPECT_EQ(FillObject(o.bank, o.object, 30, 5, kOverlayPen), 26 * 21);
    EXPECT_EQ(o.value(22, 5), kOverlayPen);
    EXPECT_EQ(o.value(20, 5), 0);
    EXPECT_EQ(IsBlank(o.block(), 1), 1);
    EXPECT_EQ(FillObject(o.bank, o.object, 21, 9, 2), 27 * 21 + 14 * 21);
    EXPECT_EQ(IsBlank(o.block(), 10) + IsBlank(o.block(), 11), 2);
    EXPECT_EQ(o.value(47, 9), 2);
    EXPECT_EQ(o.value(20, 9), 2); // the line's double-wide pixel also covers x 20
    EXPECT_EQ(o.value(19, 9), 0);
    EXPECT_EQ(o.value(0, 9), 1);
    EXPECT_TRUE(o.GuardsIntact());

    // An overlay pixel is a border even to the underlay's sprite colour around it.
    Scene w(1, 1, 10);
    FillObject(w.bank, w.object, 0, 0, 2);
    PaintObjectLine(w.bank, w.object, 10, 0, 10, 20, kOverlayPen, Brush::Dot);
    EXPECT_EQ(FillObject(w.bank, w.object, 0, 0, 1), 5 * 21);
    EXPECT_EQ(w.value(10, 0), kOverlayPen);
    EXPECT_EQ(w.value(11, 0), 2);
}
