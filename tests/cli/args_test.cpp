// The argument parser on its own: formats guessed from names, attribute layouts
// resolved for each side, values checked, and every usage error reported.
#include "cli/Args.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace kelmora::cli;

namespace
{

ParseResult Parse(const std::vector<std::string>& args)
{
    return ParseArgs(args);
}

Options Ok(const std::vector<std::string>& args)
{
    const ParseResult r = ParseArgs(args);
    EXPECT_EQ(r.outcome, ParseOutcome::Run) << r.message;
    return r.options;
}

// A usage error whose message holds the given text.
void ExpectUsage(const std::vector<std::string>& args, const std::string& part)
{
    std::string joined;
    for (const std::string& a : args)
        joined += a + " ";
    const ParseResult r = ParseArgs(args);
    EXPECT_EQ(r.outcome, ParseOutcome::Usage) << joined;
    EXPECT_NE(r.message.find(part), std::string::npos) << joined << "-> " << r.message;
}

} // namespace

TEST(Args, FormatsAreGuessedFromExtensions)
{
    Options o = Ok({"convert", "ship.KMD", "ship.prg"});
    EXPECT_EQ(o.command, Command::Convert);
    EXPECT_EQ(o.from, Format::Project);
    EXPECT_EQ(o.to, Format::Prg);
    EXPECT_EQ(o.loadAddress, 0x8000);
    EXPECT_EQ(o.toAttr, AttrLayout::Native);
    ASSERT_EQ(o.files.size(), 2u);
    EXPECT_EQ(o.files[1], "ship.prg");

    o = Ok({"convert", "dir.v2/enemies.a", "e.raw"});
    EXPECT_EQ(o.from, Format::Seuck);
    EXPECT_EQ(o.fromAttr, AttrLayout::Seuck); // a SEUCK file holds SEUCK attribute bytes
    EXPECT_EQ(o.to, Format::Raw);
    EXPECT_EQ(o.loadAddress, -1);

    for (const char* raw : {"x.raw", "x.bin", "x.SPR"})
        EXPECT_EQ(Ok({"info", raw}).from, Format::Raw) << raw;
    for (const char* other : {"x.dat", "x", "folder.kmd/x", ".kmd"})
        EXPECT_EQ(Ok({"info", other}).from, Format::Auto) << other;

    // --from and --to win over the names.
    o = Ok({"convert", "--from", "prg", "a.kmd", "--to=seuck", "b.kmd"});
    EXPECT_EQ(o.from, Format::Prg);
    EXPECT_EQ(o.to, Format::Seuck);
    EXPECT_EQ(Ok({"rip", "game.vsf", "out.dat", "--to", "raw"}).to, Format::Raw);
    EXPECT_EQ(Ok({"sheet", "a.kmd", "out", "--to", "BMP"}).image, ImageFormat::Bmp);
    EXPECT_EQ(Ok({"sheet", "a.kmd", "out.Png"}).image, ImageFormat::Png);

    ExpectUsage({"convert", "a.kmd", "b.txt"}, "use --to");
    ExpectUsage({"rip", "a.vsf", "b"}, "use --to");
    ExpectUsage({"sheet", "a.kmd", "b.gif"}, "use --to png or bmp");
    ExpectUsage({"convert", "a.kmd", "b.raw", "--to", "auto"}, "unknown format 'auto'");
    ExpectUsage({"info", "a", "--from", "gif"}, "unknown format 'gif'");
}

TEST(Args, AttributeLayoutGoesToTheSideWithAChoice)
{
    // Project input has no choice: --attr is the output's.
    Options o = Ok({"convert", "a.kmd", "b.prg", "--attr", "seuck"});
    EXPECT_EQ(o.fromAttr, AttrLayout::Native);
    EXPECT_EQ(o.toAttr, AttrLayout::Seuck);
    // Project output has none: --attr is the input's.
    o = Ok({"convert", "a.prg", "b.kmd", "--attr", "seuck"});
    EXPECT_EQ(o.fromAttr, AttrLayout::Seuck);
    // Both sides have one: the bytes pass through in that layout.
    o = Ok({"convert", "a.prg", "b.raw", "--attr", "seuck"});
    EXPECT_EQ(o.fromAttr, AttrLayout::Seuck);
    EXPECT_EQ(o.toAttr, AttrLayout::Seuck);
    // "ignore" is an input treatment; the output then holds native bytes.
    o = Ok({"convert", "a.prg", "b.raw", "--attr", "ignore"});
    EXPECT_EQ(o.fromAttr, AttrLayout::Ignore);
    EXPECT_EQ(o.toAttr, AttrLayout::Native);
    // One side each.
    o = Ok({"convert", "a.a", "b.prg", "--from-attr", "native", "--to-attr", "seuck"});
    EXPECT_EQ(o.fromAttr, AttrLayout::Native);
    EXPECT_EQ(o.toAttr, AttrLayout::Seuck);
    EXPECT_EQ(Ok({"info", "a.bin", "--attr", "IGNORE"}).fromAttr, AttrLayout::Ignore);

    ExpectUsage({"convert", "a.kmd", "b.a", "--attr", "seuck"},
                "neither the project input nor the seuck output");
    ExpectUsage({"convert", "a.kmd", "b.prg", "--attr", "ignore"}, "--attr ignore applies");
    ExpectUsage({"convert", "a.kmd", "b.prg", "--from-attr", "seuck"}, "--from-attr");
    ExpectUsage({"convert", "a.prg", "b.kmd", "--to-attr", "seuck"}, "--to-attr: project output");
    ExpectUsage({"convert", "a.prg", "b.raw", "--to-attr", "ignore"}, "(native or seuck)");
    ExpectUsage({"info", "a.kmd", "--attr", "seuck"}, "project file always holds native");
    ExpectUsage({"info", "a.bin", "--attr", "mxxo"}, "unknown layout 'mxxo'");
}

TEST(Args, ValuesAreChecked)
{
    Options o = Ok(
        {"listing", "a.kmd", "b.txt", "--range", "3-17", "--dec", "--dialect", "64tass", "--label", "_s1"});
    EXPECT_TRUE(o.range.given);
    EXPECT_EQ(o.range.first, 3);
    EXPECT_EQ(o.range.last, 17);
    EXPECT_FALSE(o.hex);
    EXPECT_EQ(o.dialect, Dialect::Tass64);
    EXPECT_EQ(o.label, "_s1");
    o = Ok({"listing", "a.kmd", "b.txt", "--dec", "--hex", "--range=255"});
    EXPECT_TRUE(o.hex); // the last of --hex and --dec counts
    EXPECT_EQ(o.range.first, 255);
    EXPECT_EQ(o.range.last, 255);

    o = Ok({"rip", "s.vsf", "o.kmd", "--bank", "3", "--count", "256"});
    EXPECT_EQ(o.bank, 3);
    EXPECT_EQ(o.count, 256);
    o = Ok({"sheet", "a.kmd", "o.png", "--columns", "256", "--scale", "8", "--palette", "Pepto NTSC"});
    EXPECT_EQ(o.columns, 256);
    EXPECT_EQ(o.scale, 8);
    EXPECT_EQ(o.palette, "Pepto NTSC");
    EXPECT_EQ(Ok({"convert", "a.kmd", "b.prg", "--load-address", "$c000"}).loadAddress, 0xC000);

    ExpectUsage({"convert", "a.kmd", "b.raw", "--range", "5-4"}, "is not a range");
    ExpectUsage({"convert", "a.kmd", "b.raw", "--range", "0-256"}, "is not a range");
    ExpectUsage({"convert", "a.kmd", "b.raw", "--range", "-3"}, "is not a range");
    ExpectUsage({"convert", "a.kmd", "b.raw", "--range", "1-2-3"}, "is not a range");
    ExpectUsage({"convert", "a.kmd", "b.raw", "--range", "99999999999999"}, "is not a range");
    ExpectUsage({"rip", "s.vsf", "o.kmd", "--bank", "4"}, "video bank 0..3");
    ExpectUsage({"rip", "s.vsf", "o.kmd", "--count", "0"}, "sprite count 1..256");
    ExpectUsage({"rip", "s.vsf", "o.kmd", "--count", "257"}, "sprite count 1..256");
    ExpectUsage({"sheet", "a.kmd", "o.png", "--columns", "0"}, "column count");
    ExpectUsage({"sheet", "a.kmd", "o.png", "--scale", "9"}, "scale 1..8");
    ExpectUsage({"sheet", "a.kmd", "o.png", "--scale", "+2"}, "scale 1..8");
    ExpectUsage({"sheet", "a.kmd", "o.png", "--palette", ""}, "needs a palette name");
    ExpectUsage({"convert", "a.kmd", "b.prg", "--load-address", "80G0"}, "not a hexadecimal address");
    ExpectUsage({"listing", "a.kmd", "b.txt", "--dialect", "masm"}, "unknown dialect");
    ExpectUsage({"listing", "a.kmd", "b.txt", "--dialect", "c", "--label", "9lives"}, "is not a label");
    ExpectUsage({"listing", "a.kmd", "b.txt", "--dialect", "c", "--label", "a-b"}, "is not a label");
    ExpectUsage({"listing", "a.kmd", "b.txt", "--label", "sprites"}, "--label needs --dialect");
    ExpectUsage({"convert", "a.kmd", "b.raw", "--load-address", "1000"}, "PRG output only");
    ExpectUsage({"convert", "a.kmd", "b.prg", "--no-inf"}, "raw output only");
}

TEST(Args, LoadAddressForms)
{
    EXPECT_EQ(ParseLoadAddress("8000"), 0x8000);
    EXPECT_EQ(ParseLoadAddress("c000"), 0xC000);
    EXPECT_EQ(ParseLoadAddress("$0801"), 0x0801);
    EXPECT_EQ(ParseLoadAddress("0x1"), 1);
    EXPECT_EQ(ParseLoadAddress("FFFF"), 0xFFFF);
    for (const char* bad : {"", "$", "0x", "10000", "80G0", "-1", " 800", "$$80"})
        EXPECT_EQ(ParseLoadAddress(bad), -1) << bad;
}

TEST(Args, CommandLineShape)
{
    EXPECT_EQ(Parse({"--help"}).outcome, ParseOutcome::Help);
    EXPECT_EQ(Parse({"--version"}).outcome, ParseOutcome::Version);
    EXPECT_EQ(Parse({"help"}).options.command, Command::None);
    ParseResult r = Parse({"help", "rip"});
    EXPECT_EQ(r.outcome, ParseOutcome::Help);
    EXPECT_EQ(r.options.command, Command::Rip);
    // --help anywhere, even among bad arguments, shows the command's help...
    r = Parse({"sheet", "--bogus", "-h"});
    EXPECT_EQ(r.outcome, ParseOutcome::Help);
    EXPECT_EQ(r.options.command, Command::Sheet);
    // ...but after "--" it is a file name.
    Options o = Ok({"info", "--", "--help"});
    ASSERT_EQ(o.files.size(), 1u);
    EXPECT_EQ(o.files[0], "--help");
    o = Ok({"convert", "-f", "-", "--", "-x.kmd"});
    EXPECT_TRUE(o.force);
    EXPECT_EQ(o.files, (std::vector<std::string>{"-", "-x.kmd"}));

    ExpectUsage({}, "missing command");
    ExpectUsage({"frobnicate", "a"}, "unknown command 'frobnicate'");
    ExpectUsage({"--frobnicate"}, "unknown option '--frobnicate'");
    ExpectUsage({"info"}, "info: expected FILE");
    ExpectUsage({"info", "a", "b"}, "got more");
    ExpectUsage({"convert", "a.kmd"}, "convert: expected IN and OUT");
    ExpectUsage({"rip", "a.vsf"}, "rip: expected SNAPSHOT and OUT");
    ExpectUsage({"help", "rip", "convert"}, "at most one command");
    // Options belong to their commands.
    ExpectUsage({"info", "a.kmd", "--force"}, "info: unknown option '--force'");
    ExpectUsage({"convert", "a.kmd", "b.raw", "--columns", "4"}, "unknown option '--columns'");
    ExpectUsage({"listing", "a.kmd", "b.txt", "-x"}, "unknown option '-x'");
    ExpectUsage({"listing", "a.kmd", "b.txt", "-fh2"}, "unknown option '-fh2'");
    ExpectUsage({"convert", "a.kmd", "b.raw", "--range"}, "--range needs a value");
    ExpectUsage({"convert", "a.kmd", "b.raw", "--force=yes"}, "--force takes no value");
    ExpectUsage({"convert", "a.kmd", "b.raw", "--=3"}, "unknown option '--'");
}

TEST(Args, ImportImageOptions)
{
    // Not given, the picture decides: scale detected, every column and cell.
    Options o = Ok({"import-image", "sheet.png", "out.a"});
    EXPECT_EQ(o.command, Command::ImportImage);
    EXPECT_EQ(o.to, Format::Seuck);
    EXPECT_EQ(o.toAttr, AttrLayout::Seuck);
    EXPECT_EQ(o.scale, 0);
    EXPECT_EQ(o.columns, 0);
    EXPECT_EQ(o.count, 0);
    EXPECT_EQ(o.mode, kelmora::ImportMode::Auto);
    EXPECT_EQ(o.background, -1);
    EXPECT_EQ(o.multi1, -1);
    EXPECT_EQ(o.multi2, -1);

    o = Ok({"import-image",
            "s.gif",
            "o.bin",
            "--to",
            "prg",
            "--scale",
            "64",
            "--columns",
            "3",
            "--count",
            "9",
            "--offset",
            "4,0",
            "--gap=2,10",
            "--mode",
            "Multicolor",
            "--background",
            "0",
            "--multi1",
            "15",
            "--multi2",
            "7",
            "--overlay",
            "--strict",
            "--report",
            "r.json",
            "--palette",
            "Colodore",
            "--palette-file",
            "p.pal",
            "-f"});
    EXPECT_EQ(o.to, Format::Prg);
    EXPECT_EQ(o.loadAddress, 0x8000);
    EXPECT_EQ(o.toAttr, AttrLayout::Native);
    EXPECT_EQ(o.scale, 64);
    EXPECT_EQ(o.columns, 3);
    EXPECT_EQ(o.count, 9);
    EXPECT_EQ(o.offsetX, 4);
    EXPECT_EQ(o.offsetY, 0);
    EXPECT_EQ(o.gapX, 2);
    EXPECT_EQ(o.gapY, 10);
    EXPECT_EQ(o.mode, kelmora::ImportMode::Multicolour);
    EXPECT_EQ(o.background, 0);
    EXPECT_EQ(o.multi1, 15);
    EXPECT_EQ(o.multi2, 7);
    EXPECT_TRUE(o.overlay && o.strict && o.force);
    EXPECT_EQ(o.report, "r.json");
    EXPECT_EQ(o.palette, "Colodore");
    EXPECT_EQ(o.paletteFile, "p.pal");
    EXPECT_EQ(Ok({"import-image", "s.png", "o.raw", "--mode", "HIRES", "--no-inf"}).mode,
              kelmora::ImportMode::Hires);

    ExpectUsage({"import-image", "s.png"}, "import-image: expected IMAGE and OUT");
    ExpectUsage({"import-image", "s.png", "o"}, "cannot tell the format of 'o'");
    ExpectUsage({"import-image", "s.png", "o.kmd", "--to", "auto"}, "--to: unknown format 'auto'");
    ExpectUsage({"import-image", "s.png", "o.kmd", "--scale", "65"}, "is not a scale 1..64");
    ExpectUsage({"sheet", "a.kmd", "s.png", "--scale", "9"}, "is not a scale 1..8");
    ExpectUsage({"import-image", "s.png", "o.kmd", "--offset", "1"}, "is not X,Y");
    ExpectUsage({"import-image", "s.png", "o.kmd", "--gap", "1,-2"}, "is not X,Y");
    ExpectUsage({"import-image", "s.png", "o.kmd", "--mode", "mixed"}, "unknown mode 'mixed'");
    ExpectUsage({"import-image", "s.png", "o.kmd", "--multi2", "16"}, "--multi2: '16' is not a colour 0..15");
    ExpectUsage({"import-image", "s.png", "o.kmd", "--count", "0"}, "is not a sprite count 1..256");
    ExpectUsage({"import-image", "s.png", "o.kmd", "--no-inf"}, "raw output only");
    ExpectUsage({"import-image", "s.png", "o.kmd", "--range", "1-2"}, "unknown option '--range'");
    ExpectUsage({"sheet", "a.kmd", "s.png", "--overlay"}, "unknown option '--overlay'");
}
