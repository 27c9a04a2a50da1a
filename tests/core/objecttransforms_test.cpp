// Whole-object transforms against a sprite-by-sprite reference, copy and paste of
// areas, and splitting a picture into an overlay pair.
#include "CoreTestSupport.h"

#include <functional>

using namespace kelmora;
using namespace kelmora_test;

namespace
{

// A bank of 64 patterned sprites and an object of columns x rows cells from slot 0 with
// an overlay layer from slot 20: the cells mix hires and multicolour, the colours differ,
// some slots carry the overlay flag.
struct Scene : GuardedBlock
{
    SpriteBank bank{64, 11, 2, 9, 14, nullptr, 0, 0, 0, 2};
    SpriteObject object;
    Scene(int columns, int rows, bool overlay = true, bool mixed = true)
    {
        const Bytes pattern = Pattern(kBlockBytes, 5);
        std::copy(pattern.begin(), pattern.end(), block());
        bank.sprites = block();
        object = *MakeObject("test", 0, columns, rows);
        for (int i = 0; i < columns * rows; ++i)
        {
            const bool multi = !mixed || i % 3 != 1;
            slot(i)[kAttributeByte] = static_cast<u8>((multi ? kAttrMulticolour : 0) | (i + 3) % 16 |
                                                      (i % 4 == 1 ? kAttrOverlay : 0));
            slot(20 + i)[kAttributeByte] = static_cast<u8>(1 + i % 2);
        }
        if (overlay) AddOverlayLayer(object, 20);
    }
    Bytes bytes() const { return Bytes(storage.begin(), storage.end()); }
};

// The reference: every cell of both layers takes the sprite its source cell held (the
// attribute byte too, but for the overlay flag of its own slot), then `turn` runs on it.
Bytes Reference(Scene& s, const std::function<int(int, int)>& source, void (*turn)(u8*, int))
{
    const Bytes before(s.block(), s.block() + kBlockBytes);
    for (const auto* cells : {&s.object.cells, &s.object.overlayCells})
        for (int row = 0; row < s.object.rows && !cells->empty(); ++row)
            for (int column = 0; column < s.object.columns; ++column)
            {
                const int from = source(row, column);
                if (from < 0) continue;
                const int slot = (*cells)[row * s.object.columns + column];
                const u8* original = before.data() + (*cells)[from] * kSpriteBytes;
                const u8 flag = before[slot * kSpriteBytes + kAttributeByte] & kAttrOverlay;
                std::copy(original, original + kSpriteBytes, s.slot(slot));
                s.slot(slot)[kAttributeByte] =
                    static_cast<u8>((original[kAttributeByte] & ~kAttrOverlay) | flag);
                turn(s.block(), slot);
            }
    Bytes result = s.bytes();
    std::copy(before.begin(), before.end(), s.block());
    return result;
}

} // namespace

TEST(ObjectTransforms, FlipsAndMirrorsEqualFlippingEachSpriteAndMovingTheCells)
{
    for (auto [columns, rows] : {std::pair{3, 2}, {2, 3}, {1, 1}})
    {
        Scene s(columns, rows);
        const Bytes original = s.bytes();
        const int c = columns, r = rows;

        const Bytes flipLR = Reference(
            s, [c](int row, int column) { return row * c + c - 1 - column; }, FlipY);
        ASSERT_TRUE(FlipObjectLeftRight(s.bank, s.object));
        EXPECT_EQ(s.bytes(), flipLR) << c << "x" << r;
        FlipObjectLeftRight(s.bank, s.object);
        EXPECT_EQ(s.bytes(), original); // twice: as before, attributes and flags included

        const Bytes flipTB = Reference(
            s, [c, r](int row, int column) { return (r - 1 - row) * c + column; }, FlipX);
        ASSERT_TRUE(FlipObjectTopBottom(s.bank, s.object));
        EXPECT_EQ(s.bytes(), flipTB) << c << "x" << r;
        std::copy(original.begin(), original.end(), s.storage.begin());

        // Mirrors: the far half takes the flipped near half; a middle column or row of
        // cells mirrors within each sprite.
        Bytes mirrorLR = Reference(
            s, [c](int row, int column) { return 2 * column >= c ? row * c + c - 1 - column : -1; }, FlipY);
        std::copy(mirrorLR.begin(), mirrorLR.end(), s.storage.begin());
        if (c % 2 == 1)
            mirrorLR = Reference(
                s, [c](int row, int column) { return column == c / 2 ? row * c + column : -1; }, ReflectY);
        std::copy(original.begin(), original.end(), s.storage.begin());
        ASSERT_TRUE(MirrorObjectLeftHalf(s.bank, s.object));
        EXPECT_EQ(s.bytes(), mirrorLR) << c << "x" << r;
        std::copy(original.begin(), original.end(), s.storage.begin());

        Bytes mirrorTB = Reference(
            s, [c, r](int row, int column) { return 2 * row >= r ? (r - 1 - row) * c + column : -1; }, FlipX);
        std::copy(mirrorTB.begin(), mirrorTB.end(), s.storage.begin());
        if (r % 2 == 1)
            mirrorTB = Reference(
                s, [c, r](int row, int column) { return row == r / 2 ? row * c + column : -1; }, ReflectX);
        std::copy(original.begin(), original.end(), s.storage.begin());
        ASSERT_TRUE(MirrorObjectTopHalf(s.bank, s.object));
        EXPECT_EQ(s.bytes(), mirrorTB) << c << "x" << r;
        EXPECT_TRUE(s.GuardsIntact());
    }
}

TEST(ObjectTransforms, SlidesWrapAroundTheWholeObject)
{
    // A 1 x 1 object slides as the sprite does.
    for (bool multi : {false, true})
    {
        Scene one(1, 1, false, false);
        one.slot(0)[kAttributeByte] = multi ? 0x85 : 0x05;
        const std::pair<bool (*)(SpriteBank&, const SpriteObject&), void (*)(u8*, int)> pairs[] = {
            {SlideObjectLeft, SlideLeft},
            {SlideObjectRight, SlideRight},
            {SlideObjectUp, SlideUp},
            {SlideObjectDown, SlideDown}};
        for (auto [whole, single] : pairs)
        {
            const Bytes expected = Reference(
                one, [](int, int) { return 0; }, single);
            ASSERT_TRUE(whole(one.bank, one.object));
            EXPECT_EQ(one.bytes(), expected);
        }
    }

    // Hires 2 x 1: a pixel leaving cell 0 on the right enters cell 1, and one leaving
    // cell 1 comes back into cell 0.
    Scene hires(2, 1, false);
    std::fill(hires.block(), hires.block() + kBlockBytes, 0);
    hires.slot(0)[kAttributeByte] = hires.slot(1)[kAttributeByte] = 0x05;
    SetPixel(hires.block(), 0, 23, 0, 2);
    SetPixel(hires.block(), 1, 23, 5, 2);
    ASSERT_TRUE(SlideObjectRight(hires.bank, hires.object));
    EXPECT_EQ(GetPixel(hires.block(), 1, 0, 0), 2);
    EXPECT_EQ(GetPixel(hires.block(), 0, 0, 5), 2);
    EXPECT_EQ(GetPixel(hires.block(), 0, 23, 0), 0);
    SlideObjectLeft(hires.bank, hires.object);
    EXPECT_EQ(GetPixel(hires.block(), 0, 23, 0), 2);
    EXPECT_EQ(GetPixel(hires.block(), 1, 23, 5), 2);

    // Whole turns restore the object: 24 double-wide pixels across a 2 x 1 multicolour
    // object with its hires overlay (which moves with it, two pixels a step), 42 rows
    // down a 1 x 2 object.
    Scene wide(2, 1, true, false);
    const Bytes original = wide.bytes();
    const std::vector<int> picture = ObjectPictureValues(wide.bank, wide.object);
    SlideObjectLeft(wide.bank, wide.object);
    const std::vector<int> moved = ObjectPictureValues(wide.bank, wide.object);
    for (int y = 0; y < 21; ++y)
        for (int x = 0; x < 48; ++x)
            ASSERT_EQ(moved[y * 48 + x], picture[y * 48 + (x + 2) % 48]) << x << "," << y;
    for (int k = 1; k < 24; ++k)
        SlideObjectLeft(wide.bank, wide.object);
    EXPECT_EQ(wide.bytes(), original);
    Scene tall(1, 2);
    const Bytes tallOriginal = tall.bytes();
    SlideObjectUp(tall.bank, tall.object);
    EXPECT_TRUE(std::equal(tallOriginal.begin() + 256, tallOriginal.begin() + 256 + 3, tall.slot(1) + 60));
    for (int k = 1; k < 42; ++k)
        SlideObjectUp(tall.bank, tall.object);
    EXPECT_EQ(tall.bytes(), tallOriginal);
    for (int k = 0; k < 42; ++k)
        SlideObjectDown(tall.bank, tall.object);
    EXPECT_EQ(tall.bytes(), tallOriginal);
}

TEST(ObjectTransforms, NegativeAndClearTakeBothLayersAndRepeatedSlotsAreRefused)
{
    Scene s(2, 1);
    const Bytes original = s.bytes();
    ASSERT_TRUE(NegateObject(s.bank, s.object));
    for (int slot : {0, 1, 20, 21})
        for (int i = 0; i <= kPixelBytes; ++i)
            ASSERT_EQ(s.slot(slot)[i], i < kPixelBytes ? static_cast<u8>(~original[256 + slot * 64 + i])
                                                       : original[256 + slot * 64 + i]);
    EXPECT_EQ(s.slot(2)[0], original[256 + 128]); // outside the object
    ASSERT_TRUE(ClearObject(s.bank, s.object));
    for (int slot : {0, 1, 20, 21})
        EXPECT_EQ(IsBlank(s.block(), slot), 1);
    EXPECT_EQ(s.slot(21)[kAttributeByte], original[256 + 21 * 64 + kAttributeByte]);

    // A slot in two cells would be changed twice; a sprite not in use would not be saved.
    Scene r(2, 1);
    r.object.cells = {0, 0};
    const Bytes before = r.bytes();
    for (auto op : {SlideObjectLeft, SlideObjectUp, FlipObjectLeftRight, FlipObjectTopBottom,
                    MirrorObjectLeftHalf, MirrorObjectTopHalf, NegateObject, ClearObject})
        EXPECT_FALSE(op(r.bank, r.object));
    r.object.cells = {0, 1};
    r.bank.spriteCount = 21;
    EXPECT_FALSE(NegateObject(r.bank, r.object));
    EXPECT_EQ(r.bytes(), before);
}

TEST(ObjectTransforms, CopyAndPasteAreasWithinAndBetweenObjects)
{
    // Object A: 2 x 1 multicolour with a hires overlay; object B: 1 x 2 hires, no overlay.
    Scene a(2, 1, true, false);
    Scene b(1, 2, false, false);
    b.slot(0)[kAttributeByte] = b.slot(1)[kAttributeByte] = 0x05;

    // Edges inside double-wide pixels move out to take them whole.
    const ObjectClip odd = CopyObjectArea(a.bank, a.object, 21, 3, 4, 2);
    EXPECT_EQ(odd.left, 20);
    EXPECT_EQ(odd.width, 6);
    const ObjectClip clip = CopyObjectArea(a.bank, a.object, 20, 3, 9, 4); // across the seam
    EXPECT_EQ(clip.left, 20);
    EXPECT_EQ(clip.top, 3);
    EXPECT_EQ(clip.width, 10);
    ASSERT_EQ(clip.underlay.size(), 40u);
    ASSERT_EQ(clip.overlay.size(), 40u);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 10; ++x)
        {
            const auto under = CellPixelAt(a.block(), a.object, kUnderlayLayer, 20 + x, 3 + y);
            EXPECT_EQ(clip.underlay[y * 10 + x], GetPixel(a.block(), under->slot, under->x, under->y));
        }
    EXPECT_EQ(CopyObjectArea(a.bank, a.object, 40, 0, 20, 50).width, 8); // kept within the picture
    EXPECT_EQ(CopyObjectArea(a.bank, a.object, 48, 0, 5, 5).width, 0);

    // Within A: pasted at an odd x, the area moves left to x 2 and shows as copied.
    const std::vector<int> before = ObjectPictureValues(a.bank, a.object);
    PasteObjectArea(a.bank, a.object, clip, 3, 12);
    const std::vector<int> after = ObjectPictureValues(a.bank, a.object);
    for (int y = 0; y < 21; ++y)
        for (int x = 0; x < 48; ++x)
        {
            const bool inArea = x >= 2 && x < 12 && y >= 12 && y < 16;
            ASSERT_EQ(after[y * 48 + x], inArea ? before[(y - 9) * 48 + x + 18] : before[y * 48 + x])
                << x << "," << y;
        }
    EXPECT_EQ(PasteObjectArea(a.bank, a.object, clip, 3, 12), 0);

    // Into B (hires, no overlay): overlay pixels are dropped, values other than 0 set a
    // pixel; the part below the picture is dropped.
    PasteObjectArea(b.bank, b.object, clip, 0, 40);
    for (int x = 0; x < 10; ++x)
    {
        EXPECT_EQ(GetPixel(b.block(), 1, x, 19), clip.underlay[x] != 0 ? 2 : 0) << x;
        EXPECT_EQ(GetPixel(b.block(), 1, x, 20), clip.underlay[10 + x] != 0 ? 2 : 0) << x;
    }

    // From B into A: each double-wide pixel takes its left pixel's value, or the right
    // one's when the left is 0; a clip without overlay clears A's overlay in the area.
    std::fill(b.slot(0), b.slot(0) + kPixelBytes, 0);
    SetPixel(b.block(), 0, 1, 0, 2); // pair 0: 0, 2
    SetPixel(b.block(), 0, 2, 0, 2); // pair 1: 2, 0
    const ObjectClip hiresClip = CopyObjectArea(b.bank, b.object, 0, 0, 6, 1);
    EXPECT_TRUE(hiresClip.overlay.empty());
    EXPECT_GT(PasteObjectArea(a.bank, a.object, hiresClip, 30, 0), 0);
    EXPECT_EQ(ObjectPixelValue(a.bank, a.object, 30, 0), 2);
    EXPECT_EQ(ObjectPixelValue(a.bank, a.object, 32, 0), 2);
    EXPECT_EQ(ObjectPixelValue(a.bank, a.object, 34, 0), 0);
    EXPECT_EQ(ObjectPixelValue(a.bank, a.object, 35, 0), 0);
    EXPECT_TRUE(a.GuardsIntact() && b.GuardsIntact());
}

TEST(ObjectTransforms, SplitIntoOverlayPairKeepsAFiveColourPicture)
{
    // A picture an overlay pair can show exactly: split again, it comes back pixel for pixel.
    Scene s(2, 1, true, false);
    for (int slot : {20, 21})
        s.slot(slot)[kAttributeByte] = 6;
    const std::vector<int> picture = ObjectPictureColours(s.bank, s.object);
    for (int slot : {0, 1})
        std::fill(s.slot(slot), s.slot(slot) + kPixelBytes, 0);
    for (int slot : {20, 21})
        std::fill(s.slot(slot), s.slot(slot) + kPixelBytes, 0xFF);
    EXPECT_EQ(SplitObjectIntoOverlayPair(s.bank, s.object, picture, -1, 6), 0);
    EXPECT_EQ(ObjectPictureColours(s.bank, s.object), picture);
    EXPECT_EQ(s.slot(0)[kAttributeByte], kAttrMulticolour | 3);                // its own colour kept
    EXPECT_EQ(s.slot(1)[kAttributeByte], kAttrMulticolour | kAttrOverlay | 4); // its flag kept
    EXPECT_EQ(s.slot(20)[kAttributeByte], 6);                                  // hires, the overlay colour
    EXPECT_NE(Bytes(s.slot(1), s.slot(1) + kSpriteBytes), Bytes(64, 0));

    // A hires drawing in black becomes a hires overlay over an empty multicolour body;
    // a cell whose overlay is its next slot gets the overlay flag.
    Scene h(1, 1, false, false);
    h.object.overlayCells = {1};
    std::vector<int> drawing(24 * 21, 11);
    for (int i = 0; i < 24 * 21; i += 5)
        drawing[i] = 0;
    drawing[23] = 2;  // multi-colour 1: a double-wide pixel of its own ...
    drawing[22] = 9;  // ... whose left half is the underlay's colour 9: one pixel shows wrong
    drawing[40] = 15; // a colour none of the five: wrong
    EXPECT_EQ(SplitObjectIntoOverlayPair(h.bank, h.object, drawing, 9, 0), 2);
    EXPECT_EQ(h.slot(0)[kAttributeByte], kAttrMulticolour | kAttrOverlay | 9);
    EXPECT_EQ(h.slot(1)[kAttributeByte] & (kAttrMulticolour | kAttrColourMask), 0);
    const std::vector<int> shown = ObjectPictureColours(h.bank, h.object);
    int differ = 0;
    for (std::size_t i = 0; i < shown.size(); ++i)
        differ += shown[i] != drawing[i] ? 1 : 0;
    EXPECT_EQ(differ, 2);
    EXPECT_EQ(shown[0], 0);
    EXPECT_EQ(GetPixel(h.block(), 0, 0, 0), 0); // the body under the outline is the background

    // Refused: no overlay layer, a picture of the wrong size, a colour outside 0..15.
    Scene n(1, 1, false);
    const Bytes before = n.bytes();
    EXPECT_EQ(SplitObjectIntoOverlayPair(n.bank, n.object, drawing, 9, 0), -1);
    n.object.overlayCells = {1};
    EXPECT_EQ(SplitObjectIntoOverlayPair(n.bank, n.object, std::vector<int>(10, 0), 9, 0), -1);
    EXPECT_EQ(SplitObjectIntoOverlayPair(n.bank, n.object, drawing, 16, 0), -1);
    EXPECT_EQ(SplitObjectIntoOverlayPair(n.bank, n.object, drawing, 9, -1), -1);
    EXPECT_EQ(n.bytes(), before);
}
