// listing: the editor's own listing byte for byte, and each dialect assembled or
// compiled by a real tool, its output compared with the raw export of the same sprites.
#include "CliTestSupport.h"

#include "cli/Listing.h"

using namespace kelmora;
using namespace kelmora_cli_test;

namespace
{

// The raw export of sprites first..last of a bank, as the editor's Export writes it.
Bytes RawExport(const TempFolder& dir, const Bank& bank, int first, int last)
{
    Bank part(0);
    part.bank.spriteCount = last - first + 1;
    std::copy(bank.block.begin() + first * 64, bank.block.begin() + (last + 1) * 64, part.block.begin());
    const std::string path = dir.file("reference.raw");
    EXPECT_EQ(ExportSprites(&part.bank, path.c_str(), part.bank.spriteCount, -1, kExportNative), 1);
    return ReadBytes(path);
}

struct ListingFixture : ::testing::Test
{
    TempFolder dir;
    Bank bank{12};
    void SetUp() override { ASSERT_EQ(SaveProject(&bank.bank, dir.file("s.kmd").c_str()), 1); }

    std::string Listing(const std::vector<std::string>& extra, const std::string& out)
    {
        std::vector<std::string> args{"listing", "s.kmd", out};
        args.insert(args.end(), extra.begin(), extra.end());
        const CliResult r = RunCli(dir, args);
        EXPECT_EQ(r.exitCode, 0) << r.err;
        return ReadText(dir.file(out));
    }
};

} // namespace

TEST_F(ListingFixture, PlainListingIsTheEditorsByteForByte)
{
    ASSERT_EQ(WriteTextListing(bank.block.data(), 0, 11, dir.file("hex.ref").c_str(), 1), 1);
    ASSERT_EQ(WriteTextListing(bank.block.data(), 3, 5, dir.file("dec.ref").c_str(), 0), 1);
    EXPECT_EQ(Listing({}, "hex.txt"), ReadText(dir.file("hex.ref")));
    EXPECT_EQ(Listing({"--dec", "--range", "3-5"}, "dec.txt"), ReadText(dir.file("dec.ref")));
    // The numbers stay the bank's: the range starts at "; Sprite 3".
    EXPECT_EQ(ReadText(dir.file("dec.txt")).rfind("\n; Sprite 3\n\n", 0), 0u);

    const CliResult r = RunCli(dir, {"listing", "s.kmd", "x.txt", "--range", "10-12"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("holds 12 sprites (0-11), so it has no sprites 10-12"), std::string::npos) << r.err;
}

TEST_F(ListingFixture, DialectsKeepTheListingsLines)
{
    // Take away the directive, the label and the comment style, and the editor's listing is left.
    const std::string plain = Listing({"--range", "1-4"}, "plain.txt");
    struct Case
    {
        const char* dialect;
        const char* label;
        const char* comment;
        const char* directive;
    } cases[] = {{"acme", "spr\n", "; ", "\t!byte "},
                 {"64tass", "spr\n", "; ", "\t.byte "},
                 {"ca65", "spr:\n", "; ", "\t.byte "},
                 {"kickass", "spr:\n", "// ", "\t.byte "}};
    for (const Case& c : cases)
    {
        std::string text = Listing({"--range", "1-4", "--dialect", c.dialect, "--label", "spr"},
                                   std::string(c.dialect) + ".txt");
        ASSERT_EQ(text.rfind(c.label, 0), 0u) << c.dialect;
        text.erase(0, std::string(c.label).size());
        std::string back;
        std::size_t at = 0;
        int dataLines = 0;
        while (at < text.size())
        {
            const std::size_t end = text.find('\n', at);
            std::string line = text.substr(at, end - at);
            at = end + 1;
            if (line.rfind(c.comment, 0) == 0)
                line = "; " + line.substr(std::string(c.comment).size());
            else if (line.rfind(c.directive, 0) == 0)
            {
                line = line.substr(std::string(c.directive).size());
                ++dataLines;
            }
            else
                EXPECT_EQ(line, "") << c.dialect;
            back += line + "\n";
        }
        EXPECT_EQ(dataLines, 4);
        EXPECT_EQ(back, plain) << c.dialect;
    }
}

TEST_F(ListingFixture, AcmeAssemblesToTheRawExport)
{
    if (!HaveTool("acme")) GTEST_SKIP() << "acme is not installed";
    Listing({"--dialect", "acme", "--label", "sprites"}, "hex.a");
    Listing({"--dialect", "acme", "--dec", "--range", "2-7"}, "dec.a");
    // The listing is included where the program counter is set, as in a real program.
    for (const char* name : {"hex", "dec"})
    {
        const std::string source = std::string("* = $4000\n!source \"") + name + ".a\"\n";
        WriteBytes(dir.file(std::string("main-") + name + ".a"), Bytes(source.begin(), source.end()));
        ASSERT_TRUE(Shell(dir, std::string("acme -f plain -o ") + name + ".bin main-" + name + ".a"));
    }
    EXPECT_EQ(ReadBytes(dir.file("hex.bin")), RawExport(dir, bank, 0, 11));
    EXPECT_EQ(ReadBytes(dir.file("dec.bin")), RawExport(dir, bank, 2, 7));
}

TEST_F(ListingFixture, Tass64AssemblesToTheRawExport)
{
    if (!HaveTool("64tass")) GTEST_SKIP() << "64tass is not installed";
    Listing({"--dialect", "64tass", "--label", "sprites"}, "hex.s");
    Listing({"--dialect", "64tass", "--dec", "--range", "5-5"}, "dec.s");
    ASSERT_TRUE(Shell(dir, "64tass -q -b -o hex.bin hex.s && 64tass -q -b -o dec.bin dec.s"));
    EXPECT_EQ(ReadBytes(dir.file("hex.bin")), RawExport(dir, bank, 0, 11));
    EXPECT_EQ(ReadBytes(dir.file("dec.bin")), RawExport(dir, bank, 5, 5));
}

TEST_F(ListingFixture, Ca65AssemblesToTheRawExport)
{
    if (!HaveTool("ca65") || !HaveTool("ld65")) GTEST_SKIP() << "ca65/ld65 (cc65) are not installed";
    Listing({"--dialect", "ca65", "--label", "sprites"}, "hex.s");
    Listing({"--dialect", "ca65", "--dec", "--range", "0-3"}, "dec.s");
    ASSERT_TRUE(Shell(dir, "ca65 -o hex.o hex.s && ld65 -t none -o hex.bin hex.o && "
                           "ca65 -o dec.o dec.s && ld65 -t none -o dec.bin dec.o"));
    EXPECT_EQ(ReadBytes(dir.file("hex.bin")), RawExport(dir, bank, 0, 11));
    EXPECT_EQ(ReadBytes(dir.file("dec.bin")), RawExport(dir, bank, 0, 3));
}

TEST_F(ListingFixture, CArrayCompilesToTheRawExport)
{
    if (!HaveTool("cc")) GTEST_SKIP() << "no C compiler (cc)";
    Listing({"--dialect", "c", "--label", "ship", "--range", "4-9"}, "ship.h");
    Listing({"--dialect", "c", "--dec"}, "all.h");
    const std::string harness = "#include <stdio.h>\n"
                                "#include \"ship.h\"\n"
                                "#include \"all.h\"\n"
                                "static int put(const char* name, const unsigned char* data, size_t size)\n"
                                "{\n"
                                "    FILE* f = fopen(name, \"wb\");\n"
                                "    return f && fwrite(data, 1, size, f) == size && fclose(f) == 0;\n"
                                "}\n"
                                "int main(void)\n"
                                "{\n"
                                "    return put(\"ship.bin\", ship, sizeof ship) && "
                                "put(\"all.bin\", sprites, sizeof sprites) ? 0 : 1;\n"
                                "}\n";
    WriteBytes(dir.file("harness.c"), Bytes(harness.begin(), harness.end()));
    ASSERT_TRUE(Shell(dir, "cc -std=c99 -Wall -Wextra -pedantic -Werror -o harness harness.c && ./harness"));
    EXPECT_EQ(ReadBytes(dir.file("ship.bin")), RawExport(dir, bank, 4, 9));
    EXPECT_EQ(ReadBytes(dir.file("all.bin")), RawExport(dir, bank, 0, 11));
}

TEST(ListingText, CArrayValues)
{
    Bank bank(3);
    // C: hexadecimal as 0x.., an array of exactly the listed bytes, no trailing comma.
    const std::string c =
        kelmora::cli::FormatListing(bank.block.data(), 0, 1, kelmora::cli::Dialect::C, true, "");
    EXPECT_EQ(c.rfind("const unsigned char sprites[128] = {\n\n/* Sprite 0 */\n\n0x", 0), 0u) << c;
    EXPECT_NE(c.find(",0x9E\n};\n"), std::string::npos); // sprite 1's attribute ends the array
    EXPECT_NE(c.find(",0x85,\n\n/* Sprite 1 */\n\n"), std::string::npos);
    EXPECT_EQ(c.find('$'), std::string::npos);
}
