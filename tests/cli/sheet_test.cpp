// sheet: the pictures' pixels against the store's sprite renderer, read back from
// the PNG and from the BMP; palettes from the built-in table, a given file and
// beside the program.
#include "CliTestSupport.h"

#include "cli/Pictures.h"
#include "cli/Sheet.h"

using namespace kelmora;
using namespace kelmora_cli_test;

namespace
{

struct Picture
{
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels; // 0x00RRGGBB
    std::string problem;               // empty when the file decoded
};

// A PNG file read back through the tool's own picture decoder, as 0x00RRGGBB.
Picture DecodePng(const Bytes& png)
{
    Picture p;
    std::vector<RgbaImage> frames;
    if (!kelmora::cli::DecodePicture(png, frames, p.problem)) return p;
    if (frames.size() != 1) return p.problem = "frames", p;
    p.width = frames[0].width;
    p.height = frames[0].height;
    for (std::uint32_t pixel : frames[0].pixels)
    {
        if ((pixel >> 24) != 0xFF) return p.problem = "not opaque", p;
        p.pixels.push_back(pixel & 0xFFFFFF);
    }
    return p;
}

// A 32-bit bottom-up BMP.
Picture DecodeBmp(const Bytes& bmp)
{
    Picture p;
    const auto le32 = [&](std::size_t at)
    {
        return std::uint32_t(bmp[at]) | std::uint32_t(bmp[at + 1]) << 8 | std::uint32_t(bmp[at + 2]) << 16 |
               std::uint32_t(bmp[at + 3]) << 24;
    };
    if (bmp.size() < 54 || bmp[0] != 'B' || bmp[1] != 'M' || bmp[28] != 32) return p.problem = "header", p;
    p.width = static_cast<int>(le32(18));
    p.height = static_cast<int>(le32(22));
    const std::size_t offset = le32(10);
    if (bmp.size() != offset + 4u * static_cast<std::size_t>(p.width) * static_cast<std::size_t>(p.height))
        return p.problem = "size", p;
    p.pixels.resize(static_cast<std::size_t>(p.width) * static_cast<std::size_t>(p.height));
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
            p.pixels[static_cast<std::size_t>(y * p.width + x)] =
                le32(offset + 4u * static_cast<std::size_t>((p.height - 1 - y) * p.width + x)) & 0xFFFFFF;
    return p;
}

// Five sprites whose first row shows every pixel value, the overlay partner and a blank one.
struct SheetBank : Bank
{
    SheetBank() : Bank(5)
    {
        std::fill(block.begin(), block.begin() + 5 * 64, 0);
        block[0 * 64] = 0x1B; // multicolour pixels 0, 1, 2, 3
        block[0 * 64 + 63] = 0x87;
        block[1 * 64] = 0x80; // hires colour 1, overlay: sprite 2 on top
        block[1 * 64 + 63] = 0x11;
        block[2 * 64] = 0x40;
        block[2 * 64 + 63] = 0x02;
        block[3 * 64 + 63] = 0x00; // blank hires
        block[4 * 64 + 62] = 0x01; // the last sprite: its overlay flag finds nothing to draw
        block[4 * 64 + 63] = 0x1D;
    }
};

// What the sheet should show: each cell the store's renderer draws, with the
// overlay partner on top, scaled; empty cells in the sheet's own colour.
std::vector<std::uint32_t> Expected(const SpriteBank& bank, int first, int count, int columns, int scale,
                                    const std::uint32_t colours[16], int& width, int& height)
{
    PaletteTables tables;
    BuildPaletteTables(colours, tables);
    const RenderColours rc{{bank.colourTransp, bank.colourMulti1, bank.colourSprite, bank.colourMulti2},
                           tables.base,
                           tables.highlight};
    const int across = std::min(columns, count);
    width = across * 24 * scale;
    height = (count + across - 1) / across * 21 * scale;
    std::vector<std::uint32_t> out(static_cast<std::size_t>(width * height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
        {
            const int k = y / (21 * scale) * across + x / (24 * scale);
            std::uint32_t pixel = (kSheetEmptyCell & 0xFFFFFF);
            if (k < count)
            {
                std::uint32_t cell[24 * 21];
                RenderSpritePixels(bank.sprites, first + k, bank.spriteCount, rc, 0, cell, 24);
                if (IsOverlay(bank.sprites, first + k) == 1)
                    RenderSpritePixels(bank.sprites, first + k + 1, bank.spriteCount, rc, kRenderOverlay,
                                       cell, 24);
                pixel = cell[(y % (21 * scale)) / scale * 24 + (x % (24 * scale)) / scale];
            }
            out[static_cast<std::size_t>(y * width + x)] = pixel;
        }
    return out;
}

const std::uint32_t kTestPalette[16] = {0x010203, 0x111213, 0x212223, 0x313233, 0x414243, 0x515253,
                                        0x616263, 0x717273, 0x818283, 0x919293, 0xA1A2A3, 0xB1B2B3,
                                        0xC1C2C3, 0xD1D2D3, 0xE1E2E3, 0xF1F2F3};

std::string TestPaletteFile()
{
    std::string text = "Two palettes.\n\"Other\"\n";
    for (int i = 0; i < 16; ++i)
        text += "#000000,";
    text += "\n\"Test Colours\"\n";
    for (int i = 0; i < 16; ++i)
    {
        char colour[16];
        std::snprintf(colour, sizeof colour, "#%06X, ", static_cast<unsigned>(kTestPalette[i]));
        text += colour;
    }
    return text + "\n";
}

} // namespace

TEST(Sheet, PixelsAreTheRenderersInPngAndBmp)
{
    if (!kelmora::cli::PictureSupport()) GTEST_SKIP() << kelmora::cli::kNoPictureSupport;
    TempFolder dir;
    SheetBank bank;
    ASSERT_EQ(SaveProject(&bank.bank, dir.file("s.kmd").c_str()), 1);

    CliResult r = RunCli(dir, {"sheet", "s.kmd", "s.png", "--columns", "2", "--scale", "3"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const Picture png = DecodePng(ReadBytes(dir.file("s.png")));
    ASSERT_EQ(png.problem, "");
    int width = 0, height = 0;
    const auto expected = Expected(bank.bank, 0, 5, 2, 3, kBuiltInPalette, width, height);
    ASSERT_EQ(png.width, 144);
    ASSERT_EQ(png.height, 189); // three rows, the last with one empty cell
    EXPECT_TRUE(png.pixels == expected);

    // Pixels known by hand, at scale 3: the multicolour pairs of sprite 0 in the
    // background 6, multicolour 1 (2), own colour 7 and multicolour 2 (9)...
    const auto at = [&](int x, int y) { return png.pixels[static_cast<std::size_t>(y * png.width + x)]; };
    EXPECT_EQ(at(0, 0), kBuiltInPalette[6]);
    EXPECT_EQ(at(5, 2), kBuiltInPalette[6]);
    EXPECT_EQ(at(6, 0), kBuiltInPalette[2]);
    EXPECT_EQ(at(12, 0), kBuiltInPalette[7]);
    EXPECT_EQ(at(18, 0), kBuiltInPalette[9]);
    EXPECT_EQ(at(0, 3), kBuiltInPalette[6]); // the second row is empty
    // ...sprite 1's own pixel and its overlay partner's on top, in the second cell...
    EXPECT_EQ(at(72, 0), kBuiltInPalette[1]);
    EXPECT_EQ(at(75, 0), kBuiltInPalette[2]);
    EXPECT_EQ(at(78, 0), kBuiltInPalette[6]);
    // ...and the empty cell after the fifth sprite.
    EXPECT_EQ(at(143, 188), (kSheetEmptyCell & 0xFFFFFF));

    // The same picture as BMP, and a range at scale 1 in one long row.
    r = RunCli(dir, {"sheet", "s.kmd", "s.bmp", "--columns", "2", "--scale", "3"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const Picture bmp = DecodeBmp(ReadBytes(dir.file("s.bmp")));
    ASSERT_EQ(bmp.problem, "");
    EXPECT_EQ(bmp.width, 144);
    EXPECT_TRUE(bmp.pixels == expected);

    r = RunCli(dir, {"sheet", "s.kmd", "part.png", "--range", "1-3", "--scale", "1"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const Picture part = DecodePng(ReadBytes(dir.file("part.png")));
    ASSERT_EQ(part.problem, "");
    EXPECT_EQ(part.width, 72);
    EXPECT_EQ(part.height, 21);
    EXPECT_TRUE(part.pixels == Expected(bank.bank, 1, 3, 8, 1, kBuiltInPalette, width, height));
}

TEST(Sheet, PalettesFromAFileAndBesideTheProgram)
{
    if (!kelmora::cli::PictureSupport()) GTEST_SKIP() << kelmora::cli::kNoPictureSupport;
    TempFolder dir;
    SheetBank bank;
    ASSERT_EQ(SaveProject(&bank.bank, dir.file("s.kmd").c_str()), 1);
    const std::string palettes = TestPaletteFile();
    WriteBytes(dir.file("my.pal"), Bytes(palettes.begin(), palettes.end()));
    int width = 0, height = 0;
    const auto expected = Expected(bank.bank, 0, 5, 8, 1, kTestPalette, width, height);

    // By name (in any case) from a given file.
    CliResult r = RunCli(dir, {"sheet", "s.kmd", "a.png", "--scale", "1", "--palette-file", "my.pal",
                               "--palette", "test colours"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(DecodePng(ReadBytes(dir.file("a.png"))).pixels == expected);
    // A file given without a name lends its first palette (all black here).
    r = RunCli(dir, {"sheet", "s.kmd", "f.png", "--scale", "1", "--palette-file", "my.pal"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(DecodePng(ReadBytes(dir.file("f.png"))).pixels.at(0), 0u);
    // The built-in palette is always there by name.
    r = RunCli(
        dir, {"sheet", "s.kmd", "b.png", "--scale", "1", "--palette-file", "my.pal", "--palette", "Vantor"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(DecodePng(ReadBytes(dir.file("b.png"))).pixels ==
                Expected(bank.bank, 0, 5, 8, 1, kBuiltInPalette, width, height));

    // A palettes.pal beside the program is found without being named.
    fs::create_directory(dir.path() / "bin");
    fs::copy_file(KELMORA_CLI_PATH, dir.path() / "bin" / "kelmora-cli");
    WriteBytes(dir.file("bin/palettes.pal"), Bytes(palettes.begin(), palettes.end()));
    r = RunCli(dir, {"sheet", "s.kmd", "c.png", "--scale", "1", "--palette", "Test Colours"},
               dir.file("bin/kelmora-cli"));
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(DecodePng(ReadBytes(dir.file("c.png"))).pixels == expected);

    // An unknown name is a usage error that lists the names there are.
    r = RunCli(dir, {"sheet", "s.kmd", "d.png", "--palette", "Nope"}, dir.file("bin/kelmora-cli"));
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("no palette named \"Nope\" (there are \"Vantor\", \"Other\", \"Test Colours\")"),
              std::string::npos)
        << r.err;
    EXPECT_FALSE(fs::exists(dir.file("d.png")));
    // A palette file that cannot be used is a refused input.
    r = RunCli(dir, {"sheet", "s.kmd", "e.png", "--palette-file", "none.pal"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "kelmora-cli: none.pal: No such file or directory\n");
    WriteBytes(dir.file("broken.pal"), Bytes{'"', 'x', '"', '#', '1'});
    r = RunCli(dir, {"sheet", "s.kmd", "e.png", "--palette-file", "broken.pal"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "kelmora-cli: broken.pal: holds no complete palette\n");
}
