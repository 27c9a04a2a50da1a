// The picture solver on pictures drawn here: the palette of least error, the scale
// detected, offset, gap, columns and count, transparency, the mode of each cell, the
// search for the shared colours, each kind of violation, overlay pairs, blank cells
// and a sheet's empty cells, frames, and sheets of the store drawn and read back.
#include "CoreTestSupport.h"

#include <functional>

#include "core/SpriteBankStore.h"

using namespace kelmora;
using kelmora_test::Bytes;

namespace
{

constexpr int kTransparent = -1;

std::uint32_t Rgb(int colour)
{
    return kBuiltInPalette[colour] | kOpaqueAlpha;
}

RgbaImage Canvas(int width, int height, std::uint32_t fill)
{
    RgbaImage image;
    image.width = width;
    image.height = height;
    image.pixels.assign(static_cast<std::size_t>(width * height), fill);
    return image;
}

std::uint32_t& At(RgbaImage& image, int x, int y)
{
    return image.pixels[static_cast<std::size_t>(y * image.width + x)];
}

// Paints one cell: colourAt(x, y) of each sprite pixel, a built-in colour or kTransparent.
void DrawCell(RgbaImage& image, int left, int top, int scale, const std::function<int(int, int)>& colourAt)
{
    for (int y = 0; y < kSpriteHeight; ++y)
        for (int x = 0; x < kSpriteWidth; ++x)
        {
            const int colour = colourAt(x, y);
            for (int dy = 0; dy < scale; ++dy)
                for (int dx = 0; dx < scale; ++dx)
                    At(image, left + x * scale + dx, top + y * scale + dy) =
                        colour == kTransparent ? 0x00123456u : Rgb(colour);
        }
}

std::vector<NamedPalette> BuiltInOnly()
{
    NamedPalette palette;
    palette.name = kBuiltInPaletteName;
    for (int i = 0; i < kPaletteColours; ++i)
        palette.colours[i] = kBuiltInPalette[i];
    return {palette};
}

// A sprite pixel's value as the store reads it: 0..1 hires, 0..3 multicolour.
int Value(const ImageImportResult& result, int slot, int x, int y)
{
    const u8* sprite = result.sprites.data() + slot * kSpriteBytes;
    const u8 byte = sprite[y * 3 + x / 8];
    if (sprite[kAttributeByte] & kAttrMulticolour) return (byte >> (6 - 2 * ((x % 8) / 2))) & 3;
    return (byte >> (7 - x % 8)) & 1;
}

int Attribute(const ImageImportResult& result, int slot)
{
    return result.sprites.at(static_cast<std::size_t>(slot * kSpriteBytes + kAttributeByte));
}

// The result's sprites 0..last as a bank draws them in the browser, at scale 1.
RgbaImage Drawn(const ImageImportResult& result, int last, int columns)
{
    std::vector<u8> block(kBlockBytes);
    ClearBank(block.data());
    PlaceImportedSprites(result, block.data(), 0);
    SpriteBank bank{};
    bank.sprites = block.data();
    bank.spriteCount = result.spriteCount;
    bank.colourTransp = static_cast<u8>(result.background);
    bank.colourMulti1 = static_cast<u8>(result.multi1);
    bank.colourMulti2 = static_cast<u8>(result.multi2);
    return RenderSheet(bank, 0, last, columns, 1, kBuiltInPalette);
}

int Kinds(const ImportedCell& cell, ViolationKind kind)
{
    int n = 0;
    for (const ImportViolation& v : cell.violations)
        n += v.kind == kind ? 1 : 0;
    return n;
}

bool HasViolationAt(const ImportedCell& cell, ViolationKind kind, int x, int y)
{
    for (const ImportViolation& v : cell.violations)
        if (v.kind == kind && v.x == x && v.y == y) return true;
    return false;
}

} // namespace

TEST(ImageImport, ThePaletteOfLeastErrorAndTheNearestEntries)
{
    // A second palette of greys only, and a third whose entries are the built-in ones
    // with each channel 4 brighter (white stays white).
    std::vector<NamedPalette> palettes = BuiltInOnly();
    NamedPalette brighter = palettes[0], greys = palettes[0];
    brighter.name = "Brighter";
    greys.name = "Greys";
    for (int i = 0; i < kPaletteColours; ++i)
    {
        std::uint32_t c = 0;
        for (int shift : {16, 8, 0})
            c |= std::min(255u, ((kBuiltInPalette[i] >> shift) & 0xFF) + 4) << shift;
        brighter.colours[i] = c;
        greys.colours[i] = 0x111111u * static_cast<std::uint32_t>(i);
    }
    palettes.push_back(greys);
    palettes.push_back(brighter);

    // Drawn in the brighter palette: 479 pixels of blue, a bar of 24 white, and one
    // cyan pixel 1, 2 and 3 off its entry.
    RgbaImage picture = Canvas(24, 21, brighter.colours[6] | kOpaqueAlpha);
    for (int x = 0; x < 24; ++x)
        At(picture, x, 10) = brighter.colours[1] | kOpaqueAlpha;
    At(picture, 3, 3) = (brighter.colours[3] + 0x010203) | kOpaqueAlpha;

    ImageImportResult r = ImportImage(picture, palettes, {});
    ASSERT_EQ(r.status, ImportStatus::Ok);
    EXPECT_EQ(r.palette, 2);
    EXPECT_DOUBLE_EQ(r.meanError, (1 + 4 + 9) / 504.0);
    EXPECT_EQ(r.background, 6);
    EXPECT_EQ(r.cells[0].colour, 1); // hires: white, and cyan is a violation

    // Named, the built-in palette is used and its own error reported (blue is 4 off in
    // each channel, cyan 5, 6 and 7); every colour finds the same entry.
    ImageImportSettings named;
    named.palette = 0;
    r = ImportImage(picture, palettes, named);
    EXPECT_EQ(r.palette, 0);
    EXPECT_DOUBLE_EQ(r.meanError, (479 * 48 + 25 + 36 + 49) / 504.0);
    EXPECT_EQ(r.background, 6);
    EXPECT_EQ(r.cells[0].colour, 1);
    EXPECT_EQ(Value(r, 0, 0, 10), 1);
}

TEST(ImageImport, ScaleOffsetGapColumnsAndCount)
{
    // Four cells at scale 3, the first at (5, 4), 2 pixels apart across and 6 down,
    // on a red margin with room for a third column that is 1 pixel short; each cell
    // marks sprite pixel (k + 1, 2k + 1) of cell k in white on black.
    const int scale = 3, left = 5, top = 4, gapX = 2, gapY = 6;
    RgbaImage picture = Canvas(left + 3 * 72 + 2 * gapX - 1, top + 2 * 63 + gapY + 7, Rgb(2));
    for (int k = 0; k < 4; ++k)
        DrawCell(picture, left + (k % 2) * (72 + gapX), top + (k / 2) * (63 + gapY), scale,
                 [k](int x, int y) { return x == k + 1 && y == 2 * k + 1 ? 1 : 0; });

    ImageImportSettings s;
    s.offsetX = left;
    s.offsetY = top;
    s.gapX = gapX;
    s.gapY = gapY;
    ImageImportResult r = ImportImage(picture, BuiltInOnly(), s);
    ASSERT_EQ(r.status, ImportStatus::Ok);
    EXPECT_EQ(r.scale, 3);
    EXPECT_EQ(r.columns, 2);
    EXPECT_EQ(r.rows, 2);
    ASSERT_EQ(r.spriteCount, 4);
    EXPECT_EQ(r.background, 0);
    EXPECT_EQ(r.violations, 0);
    for (int k = 0; k < 4; ++k)
    {
        EXPECT_EQ(r.cells[k].x, left + (k % 2) * 74);
        EXPECT_EQ(r.cells[k].y, top + (k / 2) * 69);
        EXPECT_EQ(r.cells[k].slot, k);
        EXPECT_EQ(Value(r, k, k + 1, 2 * k + 1), 1) << k;
        EXPECT_EQ(Attribute(r, k), 1) << k; // hires white: the mark stands alone
    }

    // Fewer columns than fit, more than fit, and a count.
    s.columns = 1;
    r = ImportImage(picture, BuiltInOnly(), s);
    ASSERT_EQ(r.spriteCount, 2);
    EXPECT_EQ(r.cells[1].y, top + 69);
    s.columns = 200;
    EXPECT_EQ(ImportImage(picture, BuiltInOnly(), s).spriteCount, 4);
    s.columns = 0;
    s.count = 3;
    r = ImportImage(picture, BuiltInOnly(), s);
    EXPECT_EQ(r.spriteCount, 3);
    EXPECT_EQ(r.cells[2].x, left);

    // A scale given that does not fit the picture: squares of two colours are reported
    // at their top-left pixel, and the sample in their middle decides.
    s.count = 0;
    s.scale = 2;
    r = ImportImage(picture, BuiltInOnly(), s);
    ASSERT_EQ(r.status, ImportStatus::Ok);
    EXPECT_EQ(r.scale, 2);
    // The mark of the first cell covers picture pixels 8..10 across and 7..9 down: of
    // the squares from (5, 4) on, (7, 6), (9, 6) and (7, 8) straddle its edge, (9, 8)
    // lies inside it.
    EXPECT_TRUE(HasViolationAt(r.cells[0], ViolationKind::MixedBlock, 7, 6));
    EXPECT_TRUE(HasViolationAt(r.cells[0], ViolationKind::MixedBlock, 9, 6));
    EXPECT_TRUE(HasViolationAt(r.cells[0], ViolationKind::MixedBlock, 7, 8));
    EXPECT_FALSE(HasViolationAt(r.cells[0], ViolationKind::MixedBlock, 9, 8));
    EXPECT_EQ(r.cells[0].violations.size(), 3u);
    EXPECT_EQ(Value(r, 0, 2, 2), 1);
    EXPECT_EQ(Kinds(r.cells[0], ViolationKind::MixedBlock), static_cast<int>(r.cells[0].violations.size()));

    // A blank picture is taken at the largest scale that still holds a cell (down).
    r = ImportImage(Canvas(100, 50, Rgb(0)), BuiltInOnly(), {});
    EXPECT_EQ(r.scale, 2);
    EXPECT_EQ(r.spriteCount, 2);
}

TEST(ImageImport, TransparentPixelsAreBackground)
{
    // Mostly transparent (alpha 0, and 127 in white): the background becomes the
    // lowest colour no pixel shows, so the black outline (colour 0) and the white,
    // red and cyan pixels all stay sprite pixels.
    RgbaImage picture = Canvas(24, 21, 0x00FFFFFFu);
    At(picture, 1, 1) = 0x7FFFFFFFu;                      // alpha 127: transparent
    At(picture, 2, 1) = 0x80000000u | kBuiltInPalette[1]; // alpha 128: white
    for (int x = 4; x < 20; x += 2)
    {
        At(picture, x, 5) = Rgb(0);
        At(picture, x + 1, 5) = Rgb(0);
        At(picture, x, 6) = Rgb(2);
        At(picture, x + 1, 6) = Rgb(2);
        At(picture, x, 7) = Rgb(3);
        At(picture, x + 1, 7) = Rgb(3);
    }
    ImageImportResult r = ImportImage(picture, BuiltInOnly(), {});
    ASSERT_EQ(r.status, ImportStatus::Ok);
    EXPECT_EQ(r.background, 4);
    EXPECT_FALSE(r.cells[0].multicolour); // the lone white pixel breaks a pair
    EXPECT_EQ(r.cells[0].colour, 0);      // black: of equal counts the lowest colour
    // The white pixel of alpha 128 is one more colour than hires allows; the one of
    // alpha 127 is background, no violation.
    EXPECT_TRUE(HasViolationAt(r.cells[0], ViolationKind::ExtraColour, 2, 1));
    EXPECT_FALSE(HasViolationAt(r.cells[0], ViolationKind::ExtraColour, 1, 1));
    EXPECT_EQ(Value(r, 0, 4, 5), 1);

    // Given, the background takes the transparent pixels and every black one.
    ImageImportSettings s;
    s.background = 0;
    s.mode = ImportMode::Multicolour;
    r = ImportImage(picture, BuiltInOnly(), s);
    EXPECT_EQ(r.background, 0);
    EXPECT_EQ(Value(r, 0, 4, 5), 0);
    EXPECT_NE(Value(r, 0, 4, 6), 0);

    // Opaque pixels in the majority: the most frequent colour is the background.
    picture = Canvas(24, 21, Rgb(14));
    At(picture, 0, 0) = 0;
    r = ImportImage(picture, BuiltInOnly(), {});
    EXPECT_EQ(r.background, 14);
    EXPECT_TRUE(r.cells[0].blank);
}

TEST(ImageImport, ModeOfEachCellAndForcedModes)
{
    // Cell 0: double-wide pixels in three colours (multicolour); cell 1: single-width
    // pixels in one colour (hires).
    RgbaImage picture = Canvas(48, 21, Rgb(0));
    DrawCell(picture, 0, 0, 1, [](int x, int y) { return y == 3 ? (x / 2) % 3 + 1 : 0; });
    DrawCell(picture, 24, 0, 1, [](int x, int y) { return y == 3 && x % 2 == 1 ? 7 : 0; });
    ImageImportResult r = ImportImage(picture, BuiltInOnly(), {});
    ASSERT_EQ(r.spriteCount, 2);
    EXPECT_TRUE(r.cells[0].multicolour);
    EXPECT_FALSE(r.cells[1].multicolour);
    EXPECT_EQ(r.violations, 0);
    EXPECT_EQ(Attribute(r, 1), 7);
    EXPECT_EQ(r.cells[0].ambiguous, 0u);
    EXPECT_EQ(r.cells[1].ambiguous, 0u);

    // Everything hires: the multicolour cell keeps its most frequent colour, the
    // others are violations.
    ImageImportSettings s;
    s.mode = ImportMode::Hires;
    r = ImportImage(picture, BuiltInOnly(), s);
    EXPECT_FALSE(r.cells[0].multicolour);
    EXPECT_EQ(Kinds(r.cells[0], ViolationKind::ExtraColour), 16);
    EXPECT_EQ(r.cells[1].violations.size(), 0u);

    // Everything multicolour: in cell 1 each pair of background and yellow keeps the
    // yellow, and the left pixel of the pair is reported.
    s.mode = ImportMode::Multicolour;
    r = ImportImage(picture, BuiltInOnly(), s);
    EXPECT_TRUE(r.cells[1].multicolour);
    EXPECT_EQ(Kinds(r.cells[1], ViolationKind::SplitPair), 12);
    EXPECT_TRUE(HasViolationAt(r.cells[1], ViolationKind::SplitPair, 24 + 4, 3));
    EXPECT_NE(Value(r, 1, 4, 3), 0);
    EXPECT_EQ(r.cells[0].violations.size(), 0u);

    // A multicolour cell of one colour could as well be hires.
    picture = Canvas(24, 21, Rgb(0));
    DrawCell(picture, 0, 0, 1, [](int x, int y) { return y == 3 && x < 4 ? 5 : 0; });
    r = ImportImage(picture, BuiltInOnly(), {});
    EXPECT_NE(r.cells[0].ambiguous & kAmbiguousMode, 0u);
}

TEST(ImageImport, SharedColoursLetTheMostCellsBeExact)
{
    // Multicolour cells of colours {2 3 4}, {2 3 5}, {2 3 6} and {4 5 7} on black: only
    // the pair 2 and 3 shows the first three exactly. Colour 3 covers more pixels.
    const int sets[4][3] = {{2, 3, 4}, {2, 3, 5}, {2, 3, 6}, {4, 5, 7}};
    RgbaImage picture = Canvas(96, 21, Rgb(0));
    for (int k = 0; k < 4; ++k)
        DrawCell(picture, 24 * k, 0, 1,
                 [&](int x, int y) { return y < 3             ? sets[k][y]
                                            : y == 3 && x < 8 ? sets[k][1]
                                                              : 0; });
    ImageImportResult r = ImportImage(picture, BuiltInOnly(), {});
    EXPECT_EQ(r.background, 0);
    EXPECT_EQ(r.multi1, 3);
    EXPECT_EQ(r.multi2, 2);
    for (int k = 0; k < 3; ++k)
    {
        EXPECT_TRUE(r.cells[k].violations.empty()) << k;
        EXPECT_EQ(r.cells[k].colour, sets[k][2]);
        EXPECT_EQ(Value(r, k, 0, 0), 3); // colour 2 is multi-colour 2 (value 3)
        EXPECT_EQ(Value(r, k, 0, 1), 1); // colour 3 is multi-colour 1 (value 1)
        EXPECT_EQ(Value(r, k, 0, 2), 2); // the sprite's own colour
    }
    EXPECT_EQ(r.cells[3].colour, 5); // 32 pixels of 5 against 24 of each other colour
    EXPECT_EQ(Kinds(r.cells[3], ViolationKind::ExtraColour), 48);

    // One colour given: the other one is searched. Both given: they are used.
    ImageImportSettings s;
    s.multi2 = 2;
    r = ImportImage(picture, BuiltInOnly(), s);
    EXPECT_EQ(r.multi1, 3);
    EXPECT_EQ(r.multi2, 2);
    s.multi1 = 4;
    s.multi2 = 5;
    r = ImportImage(picture, BuiltInOnly(), s);
    EXPECT_EQ(r.multi1, 4);
    EXPECT_EQ(r.multi2, 5);
    EXPECT_TRUE(r.cells[3].violations.empty());
    EXPECT_FALSE(r.cells[0].violations.empty());
}

TEST(ImageImport, ViolationsTakeTheNearestAllowedColour)
{
    // Hires: background black, white most frequent, light grey (nearer white) and
    // blue (nearer black) besides.
    RgbaImage picture = Canvas(24, 21, Rgb(0));
    DrawCell(picture, 0, 0, 1,
             [](int x, int y) {
                 return y == 0 ? 1 : y == 1 && x == 1 ? 15 : y == 1 && x == 3 ? 6 : 0;
             });
    ImageImportResult r = ImportImage(picture, BuiltInOnly(), {});
    ASSERT_EQ(r.cells[0].violations.size(), 2u);
    EXPECT_TRUE(HasViolationAt(r.cells[0], ViolationKind::ExtraColour, 1, 1));
    EXPECT_TRUE(HasViolationAt(r.cells[0], ViolationKind::ExtraColour, 3, 1));
    EXPECT_EQ(Value(r, 0, 1, 1), 1);
    EXPECT_EQ(Value(r, 0, 3, 1), 0);
    EXPECT_EQ(r.violations, 2);

    // Multicolour with five colours over the background at scale 2: the two of fewest
    // pixels are reported at their picture coordinates.
    picture = Canvas(48, 42, Rgb(0));
    DrawCell(picture, 0, 0, 2, [](int x, int y) { return y < 4 ? y + 1 : y == 4 && x < 2 ? 7 : 0; });
    r = ImportImage(picture, BuiltInOnly(), {});
    EXPECT_EQ(r.scale, 2);
    EXPECT_TRUE(r.cells[0].multicolour);
    EXPECT_EQ(Kinds(r.cells[0], ViolationKind::ExtraColour), 24 + 2);
    EXPECT_TRUE(HasViolationAt(r.cells[0], ViolationKind::ExtraColour, 2, 8)); // sprite pixel (1, 4)
}

TEST(ImageImport, OverlayPairsShowWhatOneSpriteCannot)
{
    // A multicolour body (colours 2, 5 and 14, double wide) with a white outline one
    // hires pixel wide, as a walking figure of the examples has.
    const auto figure = [](int x, int y)
    {
        const bool inside = x >= 4 && x < 20 && y >= 4 && y < 16;
        const bool outline = (x == 3 || x == 20) && y >= 3 && y <= 16;
        if (outline || ((y == 3 || y == 16) && x >= 3 && x <= 20)) return 1;
        if (!inside) return 0;
        return y < 8 ? 2 : y < 12 ? 5 : 14;
    };
    RgbaImage picture = Canvas(24, 21, Rgb(0));
    DrawCell(picture, 0, 0, 1, figure);

    ImageImportResult r = ImportImage(picture, BuiltInOnly(), {});
    EXPECT_FALSE(r.cells[0].overlay);
    EXPECT_GT(r.violations, 0);

    ImageImportSettings s;
    s.overlay = true;
    r = ImportImage(picture, BuiltInOnly(), s);
    ASSERT_EQ(r.spriteCount, 2);
    EXPECT_EQ(r.violations, 0);
    EXPECT_TRUE(r.cells[0].overlay);
    EXPECT_EQ(r.cells[0].overlayColour, 1);
    EXPECT_EQ(Attribute(r, 0) & (kAttrMulticolour | kAttrOverlay), kAttrMulticolour | kAttrOverlay);
    EXPECT_EQ(Attribute(r, 1), 1); // hires white, no overlay of its own
    EXPECT_EQ(Drawn(r, 0, 1).pixels, picture.pixels);

    // With the top sprite alone in the next cell (as a sheet draws a pair), that cell
    // is the pair's second sprite; here white also shows in the body, so only the next
    // cell tells which white pixels belong on top.
    const auto top = [](int x, int y) { return (x == 3 || x == 20) && y >= 3 && y <= 16 ? 1 : 0; };
    const auto body = [](int x, int y) { return x >= 4 && x < 20 && y >= 4 && y < 16 ? (y < 8 ? 1 : 5) : 0; };
    picture = Canvas(48, 21, Rgb(0));
    DrawCell(picture, 0, 0, 1, [&](int x, int y) { return top(x, y) ? 1 : body(x, y); });
    DrawCell(picture, 24, 0, 1, top);
    r = ImportImage(picture, BuiltInOnly(), s);
    ASSERT_EQ(r.spriteCount, 2);
    EXPECT_TRUE(r.cells[1].partOfPair);
    EXPECT_EQ(r.cells[1].slot, 1);
    for (int y = 0; y < kSpriteHeight; ++y)
        for (int x = 0; x < kSpriteWidth; ++x)
            ASSERT_EQ(Value(r, 1, x, y), top(x, y)) << x << "," << y;
    EXPECT_EQ(Drawn(r, 1, 2).pixels, picture.pixels);

    // Two colours that could each go on top: the one of fewer pixels does. Pairs of
    // red and cyan in both orders, and pairs of red alone.
    picture = Canvas(24, 21, Rgb(0));
    DrawCell(picture, 0, 0, 1, [](int x, int y) { return y == 2 ? (x % 4 == 1 ? 3 : 2) : y == 3 ? 2 : 0; });
    r = ImportImage(picture, BuiltInOnly(), s);
    EXPECT_TRUE(r.cells[0].overlay);
    EXPECT_EQ(r.cells[0].overlayColour, 3);
    EXPECT_EQ(Drawn(r, 0, 1).pixels, picture.pixels);

    // No room for the second sprite: the cell is left out.
    s.maxSprites = 1;
    r = ImportImage(picture, BuiltInOnly(), s);
    EXPECT_EQ(r.spriteCount, 0);
    EXPECT_EQ(r.cellsLeftOut, 1);
    EXPECT_EQ(r.cells[0].slot, -1);
}

TEST(ImageImport, BlankCellsAndTheEmptyCellsOfASheet)
{
    // Blank, a sprite, a cell in the sheet's empty-cell colour, a sprite, then two
    // empty cells at the end.
    RgbaImage picture = Canvas(6 * 24, 21, Rgb(6));
    for (int k : {2, 4, 5})
        DrawCell(picture, 24 * k, 0, 1, [](int, int) { return 0; });
    for (int y = 0; y < 21; ++y)
        for (int x = 0; x < 24; ++x)
            At(picture, 48 + x, y) = At(picture, 96 + x, y) = At(picture, 120 + x, y) = kSheetEmptyCell;
    DrawCell(picture, 24, 0, 1, [](int x, int) { return x == 5 ? 1 : 6; });
    DrawCell(picture, 72, 0, 1, [](int x, int) { return x == 6 ? 1 : 6; });

    const ImageImportResult r = ImportImage(picture, BuiltInOnly(), {});
    EXPECT_EQ(r.fillerCells, 2);
    ASSERT_EQ(r.spriteCount, 4);
    EXPECT_EQ(r.background, 6);
    EXPECT_TRUE(r.cells[0].blank);
    EXPECT_EQ(r.cells[0].ambiguous, unsigned(kAmbiguousMode | kAmbiguousColour));
    for (int i = 0; i < kPixelBytes; ++i)
        EXPECT_EQ(r.sprites[static_cast<std::size_t>(i)], 0);
    EXPECT_EQ(Attribute(r, 0), kDefaultAttribute);
    // Not at the end, the sheet's dark grey is a colour like any other (brown is nearest).
    EXPECT_FALSE(r.cells[2].blank);
    EXPECT_EQ(Drawn(r, 3, 4).pixels[48], Rgb(9));
}

TEST(ImageImport, FramesFollowOneAnother)
{
    RgbaImage first = Canvas(24, 21, Rgb(0)), second = Canvas(48, 21, Rgb(0));
    DrawCell(first, 0, 0, 1, [](int x, int y) { return x == y ? 7 : 0; });
    DrawCell(second, 24, 0, 1, [](int x, int) { return x < 2 ? 8 : 0; });
    ImageImportSettings s;
    s.count = 2;
    const ImageImportResult r = ImportImage({first, second}, BuiltInOnly(), s);
    ASSERT_EQ(r.spriteCount, 2);
    EXPECT_EQ(r.cells[0].frame, 0);
    EXPECT_EQ(r.cells[1].frame, 1);
    EXPECT_EQ(r.cells[1].x, 0);
    EXPECT_TRUE(r.cells[1].blank);
    EXPECT_EQ(ImportImage({first, second}, BuiltInOnly(), {}).spriteCount, 3);
}

TEST(ImageImport, SheetsOfTheStoreComeBackByteForByte)
{
    // Hires and multicolour sprites of every pixel value and several colours, a blank
    // one and an overlay pair: each sprite the picture can tell apart returns exactly.
    std::vector<u8> block(kBlockBytes);
    ClearBank(block.data());
    SpriteBank bank{};
    bank.sprites = block.data();
    bank.spriteCount = 7;
    bank.colourTransp = 6;
    bank.colourMulti1 = 2;
    bank.colourMulti2 = 9;
    for (int i = 0; i < 7; ++i)
        for (int b = 0; b < kPixelBytes; ++b)
            block[static_cast<std::size_t>(i * 64 + b)] = static_cast<u8>((b * 37 + i * 11) * (b % 5 != 0));
    const u8 attributes[7] = {0x87, 0x03, 0x8D, 0x00, 0x9A, 0x01, 0x85};
    for (int i = 0; i < 7; ++i)
        block[static_cast<std::size_t>(i * 64 + 63)] = attributes[i];
    std::memset(block.data() + 3 * 64, 0, kPixelBytes); // sprite 3 blank
    // Sprite 5, the top of the pair, is a figure inside a figure of sprite 4.
    for (int b = 0; b < kPixelBytes; ++b)
        block[static_cast<std::size_t>(5 * 64 + b)] = b % 3 == 1 ? 0x18 : 0;

    for (int scale : {1, 2, 3})
    {
        const RgbaImage sheet = RenderSheet(bank, 0, 6, 3, scale, kBuiltInPalette);
        ASSERT_EQ(sheet.width, 3 * 24 * scale);
        ASSERT_EQ(sheet.height, 3 * 21 * scale);
        EXPECT_EQ(sheet.pixels.back(), kSheetEmptyCell);
        ImageImportSettings s;
        s.overlay = true;
        const ImageImportResult r = ImportImage(sheet, BuiltInOnly(), s);
        ASSERT_EQ(r.status, ImportStatus::Ok);
        EXPECT_EQ(r.scale, scale);
        EXPECT_EQ(r.fillerCells, 2);
        EXPECT_EQ(r.violations, 0);
        ASSERT_EQ(r.spriteCount, 7);
        EXPECT_EQ(r.background, 6);
        EXPECT_TRUE(r.cells[5].partOfPair);
        for (int i : {0, 1, 2, 4, 5})
            EXPECT_EQ(Bytes(r.sprites.begin() + i * 64, r.sprites.begin() + i * 64 + 64),
                      Bytes(block.begin() + i * 64, block.begin() + i * 64 + 64))
                << "sprite " << i << " at scale " << scale;
        EXPECT_TRUE(r.cells[3].blank);
        EXPECT_EQ(RenderSheet(bank, 0, 6, 3, 1, kBuiltInPalette).pixels, Drawn(r, 6, 3).pixels);
    }
}

TEST(ImageImport, RefusesWhatItCannotUse)
{
    const RgbaImage picture = Canvas(24, 21, Rgb(0));
    EXPECT_EQ(ImportImage(std::vector<RgbaImage>{}, BuiltInOnly(), {}).status, ImportStatus::NoPicture);
    RgbaImage broken = picture;
    broken.pixels.pop_back();
    EXPECT_EQ(ImportImage(broken, BuiltInOnly(), {}).status, ImportStatus::NoPicture);
    EXPECT_EQ(ImportImage(Canvas(0, 0, 0), BuiltInOnly(), {}).status, ImportStatus::NoPicture);

    EXPECT_EQ(ImportImage(picture, {}, {}).status, ImportStatus::BadSettings);
    const auto bad = [&](const std::function<void(ImageImportSettings&)>& change)
    {
        ImageImportSettings s;
        change(s);
        return ImportImage(picture, BuiltInOnly(), s).status == ImportStatus::BadSettings;
    };
    EXPECT_TRUE(bad([](ImageImportSettings& s) { s.palette = 1; }));
    EXPECT_TRUE(bad([](ImageImportSettings& s) { s.background = 16; }));
    EXPECT_TRUE(bad([](ImageImportSettings& s) { s.multi2 = -2; }));
    EXPECT_TRUE(bad([](ImageImportSettings& s) { s.offsetX = -1; }));
    EXPECT_TRUE(bad([](ImageImportSettings& s) { s.scale = -1; }));
    EXPECT_TRUE(bad([](ImageImportSettings& s) { s.maxSprites = 0; }));
    EXPECT_FALSE(bad([](ImageImportSettings& s) { s.palette = 0; }));

    EXPECT_EQ(ImportImage(Canvas(23, 21, 0), BuiltInOnly(), {}).status, ImportStatus::NoCells);
    ImageImportSettings s;
    s.offsetY = 1;
    EXPECT_EQ(ImportImage(picture, BuiltInOnly(), s).status, ImportStatus::NoCells);

    // Placing sprites stops at slot 255.
    RgbaImage strip = Canvas(24 * 10, 21, Rgb(0));
    const ImageImportResult r = ImportImage(strip, BuiltInOnly(), {});
    ASSERT_EQ(r.spriteCount, 10);
    std::vector<u8> block(kBlockBytes, 0xEE);
    EXPECT_EQ(PlaceImportedSprites(r, block.data(), 250), 6);
    EXPECT_EQ(block[250 * 64 + 63], kDefaultAttribute);
    EXPECT_EQ(block[249 * 64 + 63], 0xEE);
    EXPECT_EQ(PlaceImportedSprites(r, nullptr, 0), 0);
    EXPECT_EQ(PlaceImportedSprites(r, block.data(), 256), 0);
}
