// import-image through the built tool: sheets of every example and real sprite file
// drawn and read back, a picture from a general pixel editor against its converter's
// bytes, exit codes and messages, the JSON report, and the frames of an animated GIF.
#include "CliTestSupport.h"

#include <iostream>
#include <sstream>

#include "cli/Files.h"
#include "cli/Pictures.h"

using namespace kelmora;
using namespace kelmora_cli_test;

namespace
{

bool HavePictures()
{
    return kelmora::cli::PictureSupport();
}

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

void WritePng(const std::string& path, const RgbaImage& image)
{
    Bytes png;
    ASSERT_TRUE(kelmora::cli::EncodePng(image, png));
    WriteBytes(path, png);
}

RgbaImage ReadPng(const std::string& path)
{
    std::vector<RgbaImage> frames;
    std::string reason;
    EXPECT_TRUE(kelmora::cli::ReadPicture(path, frames, reason)) << path << ": " << reason;
    return frames.empty() ? RgbaImage() : frames[0];
}

// A GIF of frames of at most 16 colours (indices into colours), each frame the whole
// picture. The LZW stream sends a clear code every 12 pixels, so every code stays 5
// bits wide and is the pixel's own index: valid for every decoder, if not small.
Bytes AnimatedGif(int width, int height, const std::vector<std::vector<std::uint8_t>>& frames,
                  const std::uint32_t colours[16])
{
    Bytes gif{'G', 'I', 'F', '8', '9', 'a'};
    const auto le16 = [&](int v)
    {
        gif.push_back(static_cast<std::uint8_t>(v & 0xFF));
        gif.push_back(static_cast<std::uint8_t>(v >> 8));
    };
    le16(width);
    le16(height);
    gif.insert(gif.end(), {0xF3, 0, 0}); // a global table of 16 colours
    for (int i = 0; i < 16; ++i)
        gif.insert(gif.end(),
                   {static_cast<std::uint8_t>(colours[i] >> 16), static_cast<std::uint8_t>(colours[i] >> 8),
                    static_cast<std::uint8_t>(colours[i])});
    for (const std::vector<std::uint8_t>& frame : frames)
    {
        gif.insert(gif.end(), {0x21, 0xF9, 4, 0x04, 10, 0, 0, 0}); // keep the frame, 0.1 s
        gif.push_back(0x2C);
        le16(0);
        le16(0);
        le16(width);
        le16(height);
        gif.push_back(0);
        gif.push_back(4); // LZW minimum code size
        Bytes data;
        std::uint32_t bits = 0;
        int count = 0;
        const auto code = [&](unsigned c)
        {
            bits |= c << count;
            count += 5;
            while (count >= 8)
            {
                data.push_back(static_cast<std::uint8_t>(bits & 0xFF));
                bits >>= 8;
                count -= 8;
            }
        };
        for (std::size_t i = 0; i < frame.size(); ++i)
        {
            if (i % 12 == 0) code(16);
            code(frame[i]);
        }
        code(17);
        if (count > 0) data.push_back(static_cast<std::uint8_t>(bits & 0xFF));
        for (std::size_t at = 0; at < data.size(); at += 255)
        {
            const std::size_t n = std::min<std::size_t>(255, data.size() - at);
            gif.push_back(static_cast<std::uint8_t>(n));
            gif.insert(gif.end(), data.begin() + static_cast<long>(at),
                       data.begin() + static_cast<long>(at + n));
        }
        gif.push_back(0);
    }
    gif.push_back(0x3B);
    return gif;
}

struct SpriteFile
{
    std::string path;
    std::string from; // --from for sheet and for reading it here
    kelmora::cli::Format format;
};

std::vector<SpriteFile> SpriteFiles()
{
    std::vector<SpriteFile> files;
    const std::string examples = std::string(KELMORA_SOURCE_DIR) + "/examples/";
    for (const char* name : {"bigfont", "ship", "walker"})
    {
        files.push_back({examples + name + ".kmd", "project", kelmora::cli::Format::Project});
        files.push_back({examples + name + ".raw", "raw", kelmora::cli::Format::Raw});
    }
    const fs::path real = RealData("sprites");
    if (fs::is_directory(real))
        for (const auto& entry : fs::directory_iterator(real))
        {
            const std::string ext = entry.path().extension().string();
            if (ext == ".md") continue;
            // The .spr files are PRG data, told apart by their size as the editor does.
            const bool auto_ = ext == ".spr" || ext == ".prg";
            files.push_back({entry.path().string(), auto_ ? "auto" : "raw",
                             auto_ ? kelmora::cli::Format::Auto : kelmora::cli::Format::Raw});
        }
    return files;
}

// The 63 pixel bytes of each sprite of an acme source of "!byte $xx,..." lines, the
// sprites separated by "; N (x,y)" comments.
std::vector<Bytes> IncSprites(const std::string& text)
{
    std::vector<Bytes> sprites;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line))
    {
        if (line.rfind("; ", 0) == 0 && line.find('(') != std::string::npos) sprites.emplace_back();
        if (line.rfind("!byte", 0) != 0 || sprites.empty()) continue;
        for (std::size_t at = line.find('$'); at != std::string::npos; at = line.find('$', at + 1))
            sprites.back().push_back(
                static_cast<std::uint8_t>(std::stoi(line.substr(at + 1, 2), nullptr, 16)));
    }
    return sprites;
}

} // namespace

TEST(ImportImage, SheetsOfEveryBankComeBackAsTheSamePicture)
{
    if (!HavePictures()) GTEST_SKIP() << kelmora::cli::kNoPictureSupport;
    TempFolder dir;
    int sheets = 0, sprites = 0, differing = 0, blankDiffering = 0;
    for (const SpriteFile& file : SpriteFiles())
    {
        kelmora::cli::LoadedBank x;
        std::string reason;
        ASSERT_TRUE(
            kelmora::cli::ReadSprites(file.path, file.format, kelmora::cli::AttrLayout::Native, x, reason))
            << file.path << ": " << reason;
        // A bank with overlay pairs comes back with --overlay.
        bool pairs = false;
        for (int i = 0; i + 1 < x.bank.spriteCount; ++i)
            pairs = pairs || IsOverlay(x.bank.sprites, i) == 1;

        for (int scale : {1, 2, 3})
        {
            const std::string columns = std::to_string(scale == 1 ? 8 : scale == 2 ? 5 : 3);
            // Scale 2 goes through a BMP picture, the others through PNG.
            const std::string picture = scale == 2 ? "x.bmp" : "x.png";
            const std::string what = file.path + " at scale " + std::to_string(scale);
            CliResult r = RunCli(dir, {"sheet", file.path, picture, "--from", file.from, "--scale",
                                       std::to_string(scale), "--columns", columns, "-f"});
            ASSERT_EQ(r.exitCode, 0) << what << r.err;
            std::vector<std::string> args{"import-image", picture, "y.kmd", "--columns", columns, "-f"};
            if (pairs) args.push_back("--overlay");
            r = RunCli(dir, args);
            ASSERT_EQ(r.exitCode, 0) << what << r.err;
            EXPECT_EQ(r.err, "") << what; // no violation
            r = RunCli(dir, {"sheet", "y.kmd", "y.png", "--scale", std::to_string(scale), "--columns",
                             columns, "-f"});
            ASSERT_EQ(r.exitCode, 0) << what << r.err;
            if (scale != 2)
                EXPECT_TRUE(ReadPng(dir.file("x.png")).pixels == ReadPng(dir.file("y.png")).pixels) << what;
            else
            {
                RunCli(dir, {"sheet", file.path, "x.png", "--from", file.from, "--scale", "2", "--columns",
                             columns, "-f"});
                EXPECT_TRUE(ReadPng(dir.file("x.png")).pixels == ReadPng(dir.file("y.png")).pixels) << what;
            }

            kelmora::cli::LoadedBank y;
            ASSERT_TRUE(kelmora::cli::ReadSprites(dir.file("y.kmd"), kelmora::cli::Format::Project,
                                                  kelmora::cli::AttrLayout::Native, y, reason));
            ASSERT_EQ(y.bank.spriteCount, x.bank.spriteCount) << what;
            ++sheets;
            sprites += x.bank.spriteCount;
            for (int i = 0; i < x.bank.spriteCount; ++i)
                if (!std::equal(x.block.begin() + i * 64, x.block.begin() + i * 64 + 64,
                                y.block.begin() + i * 64))
                {
                    ++differing;
                    blankDiffering += IsBlank(x.bank.sprites, i) == 1 ? 1 : 0;
                }
        }
    }
    // Bytes differ only where the picture cannot tell them apart; the figures for the record.
    std::cout << "[ round trip ] " << sheets << " sheets, " << sprites << " sprites, 0 violations; "
              << differing << " sprites whose bytes differ (" << blankDiffering
              << " blank, the rest a mode, own colour or shared colour the picture cannot tell)\n";
}

TEST(ImportImage, APixelEditorsPictureGivesItsConvertersBytes)
{
    if (!HavePictures()) GTEST_SKIP() << kelmora::cli::kNoPictureSupport;
    const std::string png = RealData("images/glimmer-bg4.png");
    if (!fs::exists(png)) GTEST_SKIP() << "no " << png;
    const std::vector<Bytes> expected = IncSprites(ReadText(RealData("images/glimmer.inc")));
    ASSERT_EQ(expected.size(), 3u); // the fourth sprite is blank, and its converter left it out
    TempFolder dir;
    for (const std::vector<std::string>& extra : {std::vector<std::string>{"--background", "4"}, {}})
    {
        std::vector<std::string> args{"import-image", png, "g.kmd", "-f"};
        args.insert(args.end(), extra.begin(), extra.end());
        const CliResult r = RunCli(dir, args);
        ASSERT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(r.err, "");
        const Bytes kmd = ReadBytes(dir.file("g.kmd"));
        ASSERT_EQ(kmd.size(), 3u + 4 * 64);
        EXPECT_EQ(kmd[0], 4); // background purple
        for (std::size_t s = 0; s < 4; ++s)
        {
            const Bytes pixels(kmd.begin() + 3 + static_cast<long>(s * 64),
                               kmd.begin() + 3 + static_cast<long>(s * 64 + 63));
            if (s < 3)
            {
                ASSERT_EQ(expected[s].size(), 64u);
                EXPECT_EQ(pixels, Bytes(expected[s].begin(), expected[s].begin() + 63)) << "sprite " << s;
                EXPECT_EQ(kmd[3 + s * 64 + 63], 1) << "hires white";
            }
            else
                EXPECT_EQ(pixels, Bytes(63, 0));
        }
    }
}

TEST(ImportImage, ExitCodesAndMessages)
{
    if (!HavePictures()) GTEST_SKIP() << kelmora::cli::kNoPictureSupport;
    TempFolder dir;
    // Two cells: a hires cell of white, light grey and blue on black, and a clean one.
    RgbaImage picture = Canvas(48, 21, Rgb(0));
    for (int x = 0; x < 24; ++x)
        picture.pixels[static_cast<std::size_t>(x)] = Rgb(1);
    picture.pixels[48 + 1] = Rgb(15);
    picture.pixels[48 + 3] = Rgb(6);
    picture.pixels[24 + 5] = Rgb(7);
    WritePng(dir.file("p.png"), picture);

    // Imported, with the violations counted on standard error.
    CliResult r = RunCli(dir, {"import-image", "p.png", "p.kmd"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.err,
              "kelmora-cli: warning: p.png: 2 pixels in 1 cell could not be shown exactly (cell 0) and took "
              "the nearest colour their sprite can show (--report FILE lists them)\n");
    EXPECT_EQ(ReadBytes(dir.file("p.kmd")).size(), 3u + 128);

    // --strict: exit 1, the report written, no sprites.
    r = RunCli(dir, {"import-image", "p.png", "q.kmd", "--strict", "--report", "q.json"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err,
              "kelmora-cli: p.png: 2 pixels in 1 cell could not be shown exactly (cell 0); nothing was "
              "written (--strict)\n");
    EXPECT_FALSE(fs::exists(dir.file("q.kmd")));
    EXPECT_NE(ReadText(dir.file("q.json")).find("\"violations\": 2"), std::string::npos);

    // An existing output is kept without --force.
    const Bytes before = ReadBytes(dir.file("p.kmd"));
    r = RunCli(dir, {"import-image", "p.png", "p.kmd", "--mode", "multicolour"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "kelmora-cli: p.kmd: already exists (use --force to replace it)\n");
    EXPECT_EQ(ReadBytes(dir.file("p.kmd")), before);

    // Replacing a project empties its side file in the same step: the old sequences
    // described other sprites.
    WriteText(dir.file("p.kmd.json"), R"({"sequences": [{"name": "walk", "frames": [{"slot": 4}]}]})");
    r = RunCli(dir, {"import-image", "p.png", "p.kmd", "--force"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(ReadText(dir.file("p.kmd.json")).find("walk"), std::string::npos);

    // Raw output with its colour side file; a PRG at a load address.
    r = RunCli(dir,
               {"import-image", "p.png", "p.raw", "--background", "6", "--multi1", "2", "--multi2", "9"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(ReadBytes(dir.file("p.raw")).size(), 128u);
    EXPECT_EQ(ReadBytes(dir.file("p.raw.inf")), (Bytes{6, 2, 9}));
    r = RunCli(dir, {"import-image", "p.png", "p.bin", "--to", "prg", "--load-address", "3000"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(ReadBytes(dir.file("p.bin")).size(), 130u);
    EXPECT_EQ(ReadBytes(dir.file("p.bin"))[1], 0x30);

    // Refused inputs.
    r = RunCli(dir, {"import-image", "none.png", "n.kmd"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "kelmora-cli: none.png: No such file or directory\n");
    r = RunCli(dir, {"import-image", "p.kmd", "n.kmd"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "kelmora-cli: p.kmd: is not a picture kelmora-cli can read (PNG, GIF or BMP)\n");
    WritePng(dir.file("small.png"), Canvas(30, 20, Rgb(0)));
    r = RunCli(dir, {"import-image", "small.png", "n.kmd"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err,
              "kelmora-cli: small.png: holds no whole cell: a cell is 24 x 21 pixels times the scale (1), "
              "from the offset 0,0, and the picture is 30 x 20\n");
    WritePng(dir.file("many.png"), Canvas(24 * 20, 21 * 13, Rgb(0)));
    r = RunCli(dir, {"import-image", "many.png", "n.kmd", "--scale", "1"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err,
              "kelmora-cli: many.png: holds more sprites than the 256 a bank has room for (260 cells); take "
              "fewer with --count\n");
    r = RunCli(dir, {"import-image", "many.png", "n.a", "--scale", "1", "--count", "128"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(
        r.err,
        "kelmora-cli: many.png: SEUCK sprite files cannot exceed 127 sprites, and this takes 128 (choose "
        "fewer with --count)\n");
    r = RunCli(dir, {"import-image", "many.png", "n.kmd", "--scale", "1", "--count", "256"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_FALSE(fs::exists(dir.file("n.a")));

    // Usage errors.
    for (const std::vector<std::string>& args : {std::vector<std::string>{"import-image", "p.png"},
                                                 {"import-image", "p.png", "u.kmd", "--mode", "sideways"},
                                                 {"import-image", "p.png", "u.kmd", "--background", "16"},
                                                 {"import-image", "p.png", "u.kmd", "--offset", "3"},
                                                 {"import-image", "p.png", "u.kmd", "--scale", "65"},
                                                 {"import-image", "p.png", "u.txt"},
                                                 {"import-image", "p.png", "u.kmd", "--palette", "Nope"}})
    {
        r = RunCli(dir, args);
        EXPECT_EQ(r.exitCode, 2) << args.back() << r.err;
        EXPECT_NE(r.err.find("Try 'kelmora-cli import-image --help'"), std::string::npos) << r.err;
    }
    EXPECT_NE(r.err.find("no palette named \"Nope\" (there are \"Vantor\", \"Pepto PAL\""), std::string::npos)
        << r.err;
    EXPECT_FALSE(fs::exists(dir.file("u.kmd")));
}

TEST(ImportImage, TheReportNamesPaletteColoursAndEachCell)
{
    if (!HavePictures()) GTEST_SKIP() << kelmora::cli::kNoPictureSupport;
    TempFolder dir;
    // At scale 2 from (2, 1): a multicolour cell, a hires cell of one extra colour, a
    // blank cell.
    RgbaImage picture = Canvas(2 + 3 * 48, 1 + 42, Rgb(6));
    const auto put = [&](int cell, int x, int y, int colour)
    {
        for (int dy = 0; dy < 2; ++dy)
            for (int dx = 0; dx < 2; ++dx)
                picture.pixels[static_cast<std::size_t>((1 + 2 * y + dy) * picture.width + 2 + 48 * cell +
                                                        2 * x + dx)] = Rgb(colour);
    };
    for (int x = 0; x < 8; ++x)
        put(0, x, 0, x < 4 ? 2 : 7);
    put(1, 1, 1, 1);
    put(1, 3, 1, 5);
    put(1, 4, 1, 1);
    WritePng(dir.file("r.png"), picture);
    const CliResult r =
        RunCli(dir, {"import-image", "r.png", "r.kmd", "--offset", "2,1", "--report", "r.json"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const std::string json = ReadText(dir.file("r.json"));
    for (
        const char* part :
        {"\"format\": \"kelmora-import-report\"", "\"picture\": \"r.png\"", "\"frames\": 1", "\"width\": 146",
         "\"scale\": 2", "\"columns\": 3", "\"rows\": 1", "\"palette\": \"Vantor\"", "\"meanError\": 0,",
         "\"colours\": {\"background\": 6, \"multicolour1\": ", "\"sprites\": 3", "\"violations\": 1",
         "{\"index\": 0, \"frame\": 0, \"x\": 2, \"y\": 1, \"slot\": 0, \"mode\": \"multicolour\"",
         "{\"index\": 1, \"frame\": 0, \"x\": 50, \"y\": 1, \"slot\": 1, \"mode\": \"hires\", \"colour\": 1, "
         "\"blank\": false, \"overlay\": false, \"overlayColour\": null, \"partOfPair\": false, "
         "\"ambiguous\": [], "
         "\"violations\": [{\"kind\": \"extra-colour\", \"x\": 56, \"y\": 3}]}",
         "{\"index\": 2, \"frame\": 0, \"x\": 98, \"y\": 1, \"slot\": 2, \"mode\": \"multicolour\", "
         "\"colour\": 5, "
         "\"blank\": true, \"overlay\": false, \"overlayColour\": null, \"partOfPair\": false, "
         "\"ambiguous\": "
         "[\"mode\", \"colour\"], \"violations\": []}"})
        EXPECT_NE(json.find(part), std::string::npos) << part << "\n" << json;
}

TEST(ImportImage, TheFramesOfAnAnimatedGifFollowOneAnother)
{
    if (!HavePictures()) GTEST_SKIP() << kelmora::cli::kNoPictureSupport;
    TempFolder dir;
    // Three frames of one cell each: a bar moving down.
    std::vector<std::vector<std::uint8_t>> frames(3, std::vector<std::uint8_t>(24 * 21, 0));
    for (int f = 0; f < 3; ++f)
        for (int x = 0; x < 24; ++x)
            frames[static_cast<std::size_t>(f)][static_cast<std::size_t>((4 + 5 * f) * 24 + x)] = 1;
    WriteBytes(dir.file("a.gif"), AnimatedGif(24, 21, frames, kBuiltInPalette));

    const CliResult r = RunCli(dir, {"import-image", "a.gif", "a.kmd", "--report", "a.json"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const Bytes kmd = ReadBytes(dir.file("a.kmd"));
    ASSERT_EQ(kmd.size(), 3u + 3 * 64);
    for (int f = 0; f < 3; ++f)
        for (int row = 0; row < 21; ++row)
            EXPECT_EQ(kmd[static_cast<std::size_t>(3 + 64 * f + 3 * row)], row == 4 + 5 * f ? 0x55 : 0)
                << f << " " << row; // multicolour pairs of colour value 1
    const std::string json = ReadText(dir.file("a.json"));
    EXPECT_NE(json.find("\"frames\": 3"), std::string::npos);
    EXPECT_NE(json.find("{\"index\": 2, \"frame\": 2, \"x\": 0, \"y\": 0, \"slot\": 2"), std::string::npos)
        << json;
}
