// listing's options and import-listing: each dialect with the new options assembled or
// compiled by a real tool into exactly the bytes meant, round trips through the tool,
// and the messages and exit codes of refusals and usage errors.
#include "CliTestSupport.h"

using namespace kelmora;
using namespace kelmora_cli_test;

namespace
{

struct ListingOptionsFixture : ::testing::Test
{
    TempFolder dir;
    Bank bank{12};
    void SetUp() override { ASSERT_EQ(SaveProject(&bank.bank, dir.file("s.kmd").c_str()), 1); }

    void Listing(const std::vector<std::string>& extra, const std::string& out)
    {
        std::vector<std::string> args{"listing", "s.kmd", out};
        args.insert(args.end(), extra.begin(), extra.end());
        const CliResult r = RunCli(dir, args);
        ASSERT_EQ(r.exitCode, 0) << r.err;
    }

    // Sprites first..last as the listing holds them: 63 or 64 bytes each, the attribute zeroed.
    Bytes Expected(int first, int last, int bytes, bool zero) const
    {
        Bytes out;
        for (int i = first; i <= last; ++i)
        {
            out.insert(out.end(), bank.block.begin() + i * 64, bank.block.begin() + i * 64 + bytes);
            if (bytes == 64 && zero) out.back() = 0;
        }
        return out;
    }

    void WriteText(const std::string& name, const std::string& text)
    {
        kelmora_cli_test::WriteBytes(dir.file(name), Bytes(text.begin(), text.end()));
    }
};

// The options every assembler run is tried with: binary rows with labels, alignment, a
// header and 63 bytes; decimal with a block label and zeroed attributes.
const std::vector<std::string> kBinaryRows = {"--numbers", "binary",   "--rows", "--labels", "prefix:s",
                                              "--align",   "--header", "2000",   "--bytes",  "63"};
const std::vector<std::string> kDecimalZero = {"--numbers", "decimal", "--zero-attributes", "--label", "blk",
                                               "--range",   "3-7"};

std::vector<std::string> With(std::vector<std::string> options, const std::string& dialect)
{
    options.insert(options.begin(), {"--dialect", dialect});
    return options;
}

} // namespace

TEST_F(ListingOptionsFixture, AcmeAssemblesTheOptionsToTheBytesMeant)
{
    if (!HaveTool("acme")) GTEST_SKIP() << "acme is not installed";
    Listing(With(kBinaryRows, "acme"), "rows.a");
    Listing(With(kDecimalZero, "acme"), "zero.a");
    // The program counter is set one byte past a block: !align fills up to the next one.
    WriteText("main-rows.a", "* = $4001\n!source \"rows.a\"\n");
    WriteText("main-zero.a", "* = $4000\n!source \"zero.a\"\n");
    ASSERT_TRUE(Shell(dir, "acme -f plain -o rows.bin main-rows.a && acme -f plain -o zero.bin main-zero.a"));
    Bytes rows = ReadBytes(dir.file("rows.bin"));
    ASSERT_EQ(rows.size(), 63u + 12 * 63);
    EXPECT_EQ(Bytes(rows.begin() + 63, rows.end()), Expected(0, 11, 63, false));
    EXPECT_EQ(ReadBytes(dir.file("zero.bin")), Expected(3, 7, 64, true));
}

TEST_F(ListingOptionsFixture, Tass64AssemblesTheOptionsToTheBytesMeant)
{
    if (!HaveTool("64tass")) GTEST_SKIP() << "64tass is not installed";
    Listing(With(kBinaryRows, "64tass"), "rows.s");
    Listing(With(kDecimalZero, "64tass"), "zero.s");
    ASSERT_TRUE(Shell(dir, "64tass -q -b -o rows.bin rows.s && 64tass -q -b -o zero.bin zero.s"));
    EXPECT_EQ(ReadBytes(dir.file("rows.bin")), Expected(0, 11, 63, false));
    EXPECT_EQ(ReadBytes(dir.file("zero.bin")), Expected(3, 7, 64, true));
}

TEST_F(ListingOptionsFixture, Ca65AssemblesTheOptionsToTheBytesMeant)
{
    if (!HaveTool("ca65") || !HaveTool("ld65")) GTEST_SKIP() << "ca65/ld65 (cc65) are not installed";
    Listing(With(kBinaryRows, "ca65"), "rows.s");
    Listing(With(kDecimalZero, "ca65"), "zero.s");
    ASSERT_TRUE(Shell(dir, "ca65 -o rows.o rows.s && ld65 -t none -o rows.bin rows.o && "
                           "ca65 -o zero.o zero.s && ld65 -t none -o zero.bin zero.o"));
    EXPECT_EQ(ReadBytes(dir.file("rows.bin")), Expected(0, 11, 63, false));
    EXPECT_EQ(ReadBytes(dir.file("zero.bin")), Expected(3, 7, 64, true));
}

TEST_F(ListingOptionsFixture, CCompilesTheOptionsToTheBytesMeant)
{
    const bool cc65 = HaveTool("cc65") && HaveTool("ca65") && HaveTool("ld65");
    if (!HaveTool("cc") && !cc65) GTEST_SKIP() << "neither cc nor cc65 with ca65 and ld65 is installed";
    // Binary values (0b, standard since C23 and taken by cc65) and an array for each labelled sprite.
    Listing({"--dialect", "c", "--numbers", "binary", "--rows", "--labels", "prefix:s", "--range", "2-4"},
            "rows.h");
    Listing({"--dialect", "c", "--bytes", "63", "--zero-attributes", "--label", "blk", "--range", "0-1"},
            "short.h");
    if (HaveTool("cc"))
    {
        WriteText("harness.c", "#include <stdio.h>\n#include \"rows.h\"\n#include \"short.h\"\n"
                               "static int put(FILE* f, const unsigned char* d, size_t n)\n"
                               "{ return fwrite(d, 1, n, f) == n; }\n"
                               "int main(void)\n{\n    FILE* f = fopen(\"c.bin\", \"wb\");\n"
                               "    int ok = f && put(f, s_2, sizeof s_2) && put(f, s_3, sizeof s_3) &&\n"
                               "             put(f, s_4, sizeof s_4) && put(f, blk, sizeof blk);\n"
                               "    return ok && fclose(f) == 0 ? 0 : 1;\n}\n");
        ASSERT_TRUE(
            Shell(dir, "cc -std=c2x -Wall -Wextra -pedantic -Werror -o harness harness.c && ./harness"));
        Bytes expected = Expected(2, 4, 64, false);
        const Bytes tail = Expected(0, 1, 63, false);
        expected.insert(expected.end(), tail.begin(), tail.end());
        EXPECT_EQ(ReadBytes(dir.file("c.bin")), expected);
    }
    if (cc65)
    {
        // The C64's own C compiler lays the arrays out one after the other.
        WriteText("both.c", "#include \"rows.h\"\n#include \"short.h\"\n");
        ASSERT_TRUE(
            Shell(dir, "cc65 -o both.s both.c && ca65 -o both.o both.s && ld65 -t none -o both.bin both.o"));
        Bytes expected = Expected(2, 4, 64, false);
        const Bytes tail = Expected(0, 1, 63, false);
        expected.insert(expected.end(), tail.begin(), tail.end());
        EXPECT_EQ(ReadBytes(dir.file("both.bin")), expected);
    }
}

TEST_F(ListingOptionsFixture, ImportListingRoundTrips)
{
    // BASIC as text and as a program, acme in binary rows: back to the very same sprite bytes.
    Listing({"--dialect", "basic", "--range", "2-9"}, "s.bas");
    Listing({"--dialect", "basic", "--prg", "--loader", "3000", "--range", "0-7"}, "s.prg");
    Listing(With(kBinaryRows, "acme"), "s.a");
    struct Case
    {
        const char* in;
        int first, last, bytes;
    } cases[] = {{"s.bas", 2, 9, 64}, {"s.prg", 0, 7, 64}, {"s.a", 0, 11, 63}};
    for (const Case& c : cases)
    {
        const std::string out = std::string(c.in) + ".raw";
        const CliResult r = RunCli(dir, {"import-listing", c.in, out, "--no-inf"});
        ASSERT_EQ(r.exitCode, 0) << c.in << r.err;
        EXPECT_EQ(r.err, "");
        Bytes expected = Expected(c.first, c.last, 64, false);
        if (c.bytes == 63)
            for (std::size_t k = 63; k < expected.size(); k += 64)
                expected[k] = kDefaultAttribute;
        EXPECT_EQ(ReadBytes(dir.file(out)), expected) << c.in;
    }
    // --bytes and --range, into a project.
    const CliResult r = RunCli(dir, {"import-listing", "s.a", "part.kmd", "--bytes", "63", "--range", "1-2"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(ReadBytes(dir.file("part.kmd")).size(), 3u + 2 * 64);
}

TEST_F(ListingOptionsFixture, ImportListingRefusalsKeepTheOutput)
{
    WriteText("bad.a", "; Sprite 0\n\t!byte 1,2\n\t!byte 3,256\n");
    WriteText("short.bas", "10 REM SPRITE 0\n20 DATA 1,2,3\n30 REM SPRITE 1\n");
    WriteText("out.raw", "older");
    CliResult r = RunCli(dir, {"import-listing", "bad.a", "out.raw", "--force"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "kelmora-cli: bad.a: line 3: 256 is not a byte (0..255)\n");
    EXPECT_EQ(ReadText(dir.file("out.raw")), "older");
    r = RunCli(dir, {"import-listing", "short.bas", "new.raw"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err,
              "kelmora-cli: short.bas: line 2 (BASIC line 20): sprite 0 is cut short: 3 of its 64 bytes\n");
    EXPECT_FALSE(fs::exists(dir.file("new.raw")));
    r = RunCli(dir, {"import-listing", "s.kmd", "new.raw"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("s.kmd: "), std::string::npos) << r.err;
    r = RunCli(dir, {"import-listing", "missing.a", "new.raw"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("missing.a: "), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(dir.file("new.raw")));
}

TEST_F(ListingOptionsFixture, UsageErrorsAndRefusals)
{
    const auto usage = [&](std::vector<std::string> extra, const std::string& message)
    {
        std::vector<std::string> args{"listing", "s.kmd", "o.txt"};
        args.insert(args.end(), extra.begin(), extra.end());
        const CliResult r = RunCli(dir, args);
        EXPECT_EQ(r.exitCode, 2) << message;
        EXPECT_NE(r.err.find(message), std::string::npos) << r.err;
    };
    usage({"--rows"}, "--rows needs --dialect (the plain listing is the editor's own)");
    usage({"--numbers", "binary"}, "--numbers binary needs --dialect");
    usage({"--dialect", "basic", "--numbers", "hex"}, "--dialect basic writes decimal numbers only");
    usage({"--dialect", "basic", "--header", "2000"}, "--header: BASIC has no constants");
    usage({"--dialect", "acme", "--prg"}, "--prg needs --dialect basic");
    usage({"--dialect", "c", "--align"}, "--align: C has no alignment directive");
    usage({"--dialect", "acme", "--bytes", "62"}, "--bytes: '62' is not 63 or 64");
    usage({"--dialect", "acme", "--labels", "prefix:9a"},
          "--labels: 'prefix:9a' is not names, none or prefix:");
    usage({"--dialect", "basic", "--loader", "2001"}, "--loader: '2001' is not a hexadecimal address");
    usage({"--dialect", "basic", "--start-line", "64000"},
          "--start-line: '64000' is not a line number 0..63999");
    usage({"--dialect", "cobol"}, "unknown dialect 'cobol' (acme, kickass, ca65, 64tass, c or basic)");
    // --numbers decimal is --dec for the editor's own listing.
    EXPECT_EQ(RunCli(dir, {"listing", "s.kmd", "a.txt", "--numbers", "decimal"}).exitCode, 0);
    EXPECT_EQ(RunCli(dir, {"listing", "s.kmd", "b.txt", "--dec"}).exitCode, 0);
    EXPECT_EQ(ReadText(dir.file("a.txt")), ReadText(dir.file("b.txt")));

    const auto refused = [&](std::vector<std::string> extra, const std::string& message)
    {
        std::vector<std::string> args{"listing", "s.kmd", "o.txt"};
        args.insert(args.end(), extra.begin(), extra.end());
        const CliResult r = RunCli(dir, args);
        EXPECT_EQ(r.exitCode, 1) << message;
        EXPECT_EQ(r.err, "kelmora-cli: s.kmd: " + message + "\n");
        EXPECT_FALSE(fs::exists(dir.file("o.txt")));
    };
    refused({"--preset", "title"}, "no preset title: there is no side file s.kmd.json");
    refused({"--dialect", "basic", "--loader", "1000"},
            "--loader $1000: the video chip cannot show sprites there (it sees the character ROM at "
            "$1000-$1FFF, and the screen's bank ends at $3FFF)");
    refused({"--dialect", "basic", "--start-line", "63900"},
            "the BASIC line numbers would pass 63999 (choose a lower --start-line or --line-step, or fewer "
            "sprites "
            "with --range)");

    const CliResult help = RunCli(dir, {"import-listing", "--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("!byte !by !8 !08 .byte .byt .by .db db .dc.b dc.b dfb .dfb"), std::string::npos);
}
