// convert and info through the built tool: every pair of formats against the
// store's own readers and writers, side files, ranges, refusals and usage errors.
#include "CliTestSupport.h"

#include "cli/Run.h"
#include "kelmora/Version.h"

using namespace kelmora;
using namespace kelmora_cli_test;

namespace
{

struct FormatCase
{
    const char* name;
    const char* extension;
};

const FormatCase kFormats[] = {{"project", ".kmd"}, {"raw", ".raw"}, {"prg", ".prg"}, {"seuck", ".a"}};

// Writes the bank in a format with the editor's writer for it.
bool WriteWithStore(const SpriteBank& bank, const std::string& format, const std::string& path)
{
    if (format == "project") return SaveProject(&bank, path.c_str()) == 1;
    if (format == "raw")
    {
        // Raw data and its side file, as a project converted to raw should come out.
        const Bytes colours{bank.colourTransp, bank.colourMulti1, bank.colourMulti2};
        WriteBytes(path + ".inf", colours);
        return ExportSprites(&bank, path.c_str(), bank.spriteCount, -1, kExportNative) == 1;
    }
    if (format == "prg")
        return ExportSprites(&bank, path.c_str(), bank.spriteCount, 0x8000, kExportNative) == 1;
    return SaveSeuckFile(&bank, path.c_str()) == 1;
}

// Reads a file of a format with the editor's reader for it, into a fresh bank
// with the editor's start-up colours.
bool ReadWithStore(Bank& into, const std::string& format, const std::string& path)
{
    ClearBank(into.block.data());
    into.bank.spriteCount = 0;
    into.bank.colourTransp = 11;
    into.bank.colourMulti1 = 0;
    into.bank.colourSprite = 5;
    into.bank.colourMulti2 = 1;
    if (format == "project") return LoadProject(&into.bank, path.c_str()) == 1;
    if (format == "raw") return LoadRawSprites(&into.bank, path.c_str()) == 1;
    if (format == "prg") return ImportSprites(&into.bank, path.c_str(), kFilePrg, kAttrKeep) == 1;
    return ImportSprites(&into.bank, path.c_str(), kFileAuto, kAttrSeuck) == 1; // "Load Sprite File..."
}

} // namespace

TEST(Convert, EveryPairOfFormatsMatchesTheStoresWriters)
{
    TempFolder dir;
    Bank original(5);
    for (const FormatCase& in : kFormats)
    {
        const std::string input = dir.file(std::string("in") + in.extension);
        ASSERT_TRUE(WriteWithStore(original.bank, in.name, input));
        for (const FormatCase& out : kFormats)
        {
            SCOPED_TRACE(std::string(in.name) + " -> " + out.name);
            const std::string output = std::string("out-") + in.name + out.extension;
            const CliResult r = RunCli(dir, {"convert", input, output});
            ASSERT_EQ(r.exitCode, 0) << r.err;
            EXPECT_EQ(r.err, "");
            EXPECT_EQ(r.out, "");

            // What the editor writes after reading the same file.
            Bank expected;
            ASSERT_TRUE(ReadWithStore(expected, in.name, input));
            const std::string reference = dir.file(std::string("ref-") + in.name + out.extension);
            ASSERT_TRUE(WriteWithStore(expected.bank, out.name, reference));
            EXPECT_EQ(ReadBytes(dir.file(output)), ReadBytes(reference));

            // A raw output carries a side file exactly when the input had colours.
            const bool colours = std::string(in.name) == "project" || std::string(in.name) == "raw";
            if (std::string(out.name) == "raw")
            {
                EXPECT_EQ(fs::exists(dir.file(output + ".inf")), colours);
                if (colours)
                {
                    EXPECT_EQ(ReadBytes(dir.file(output + ".inf")), (Bytes{6, 2, 9}));
                }
            }
        }
    }

    // The loss-free pairs give back the very file they started from.
    EXPECT_EQ(ReadBytes(dir.file("out-raw.kmd")), ReadBytes(dir.file("in.kmd")));
    EXPECT_EQ(ReadBytes(dir.file("out-project.raw")), ReadBytes(dir.file("in.raw")));
    // PRG data has no colours: its project gets the start-up colours 11, 0, 1.
    const Bytes fromPrg = ReadBytes(dir.file("out-prg.kmd"));
    ASSERT_EQ(fromPrg.size(), 3u + 5 * 64);
    EXPECT_EQ(Bytes(fromPrg.begin(), fromPrg.begin() + 3), (Bytes{11, 0, 1}));
    // A SEUCK file always holds 127 sprites; its attributes lose the overlay flag.
    const Bytes fromSeuck = ReadBytes(dir.file("out-seuck.kmd"));
    ASSERT_EQ(fromSeuck.size(), 3u + 127 * 64);
    EXPECT_EQ(fromSeuck[3 + 64 + 63], 0x8E); // 0x9E: multicolour, overlay, colour 14
}

TEST(Convert, AttributeLayoutsLoadAddressAndRange)
{
    TempFolder dir;
    Bank original(6);
    ASSERT_EQ(SaveProject(&original.bank, dir.file("a.kmd").c_str()), 1);

    // SEUCK-layout PRG at $C000, and back again with the same layout.
    CliResult r = RunCli(dir, {"convert", "a.kmd", "s.prg", "--attr", "seuck", "--load-address", "C000"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    ASSERT_EQ(ExportSprites(&original.bank, dir.file("ref.prg").c_str(), 6, 0xC000, kExportSeuck), 1);
    const Bytes prg = ReadBytes(dir.file("s.prg"));
    EXPECT_EQ(prg, ReadBytes(dir.file("ref.prg")));
    EXPECT_EQ(prg[0], 0x00);
    EXPECT_EQ(prg[1], 0xC0);
    EXPECT_EQ(prg[2 + 64 + 63], 0x1E);
    r = RunCli(dir, {"convert", "s.prg", "s.kmd", "--attr", "seuck"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(ReadBytes(dir.file("s.kmd"))[3 + 64 + 63], 0x8E);
    // Passing through in SEUCK layout keeps the file's bytes.
    r = RunCli(dir, {"convert", "s.prg", "s2.prg", "--attr", "seuck", "--load-address", "$c000"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(ReadBytes(dir.file("s2.prg")), prg);
    // "ignore" gives every sprite attribute 140.
    r = RunCli(dir, {"convert", "s.prg", "i.raw", "--attr", "ignore"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const Bytes ignored = ReadBytes(dir.file("i.raw"));
    ASSERT_EQ(ignored.size(), 6u * 64);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(ignored[static_cast<std::size_t>(i * 64 + 63)], 140);

    // A range becomes sprites 0.. of the output, with the input's colours.
    r = RunCli(dir, {"convert", "a.kmd", "part.kmd", "--range", "2-4"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    Bytes expected{6, 2, 9};
    expected.insert(expected.end(), original.block.begin() + 2 * 64, original.block.begin() + 5 * 64);
    EXPECT_EQ(ReadBytes(dir.file("part.kmd")), expected);

    // Raw data with its side file keeps the colours through raw -> project; --no-inf leaves it out.
    r = RunCli(dir, {"convert", "a.kmd", "plain.bin", "--no-inf"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_FALSE(fs::exists(dir.file("plain.bin.inf")));
    r = RunCli(dir, {"convert", "plain.bin", "plain.kmd"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const Bytes plain = ReadBytes(dir.file("plain.kmd"));
    ASSERT_EQ(plain.size(), 3u + 6 * 64);
    EXPECT_EQ(Bytes(plain.begin(), plain.begin() + 3), (Bytes{11, 0, 1}));
}

TEST(Convert, RefusalsNameTheFileAndTheReason)
{
    TempFolder dir;
    WriteBytes(dir.file("hundred.kmd"), Bytes(100, 7));
    CliResult r = RunCli(dir, {"convert", "hundred.kmd", "out.raw"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err,
              "kelmora-cli: hundred.kmd: not a project file: a project is 3 + 64 x n bytes for 1 to 256 "
              "sprites, this file is 100 bytes\n");
    EXPECT_FALSE(fs::exists(dir.file("out.raw")));
    r = RunCli(dir, {"info", "--from", "project", "hundred.kmd"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "");

    r = RunCli(dir, {"info", "missing.kmd"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "kelmora-cli: missing.kmd: No such file or directory\n");
    fs::create_directory(dir.file("folder.kmd"));
    r = RunCli(dir, {"convert", "folder.kmd", "x.raw"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("folder.kmd: Is a directory"), std::string::npos) << r.err;

    // A raw file that is not whole sprites, and a PRG file too short for one.
    WriteBytes(dir.file("odd.raw"), Bytes(130, 1));
    r = RunCli(dir, {"info", "odd.raw"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("odd.raw: not raw sprite data"), std::string::npos) << r.err;
    WriteBytes(dir.file("short.prg"), Bytes(65, 1));
    r = RunCli(dir, {"info", "short.prg"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("short.prg: too short for PRG sprite data"), std::string::npos) << r.err;
    // Auto-detection accepts a 10-byte file, but it holds no sprite to convert.
    WriteBytes(dir.file("tiny.dat"), Bytes(10, 1));
    r = RunCli(dir, {"convert", "tiny.dat", "t.kmd"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "kelmora-cli: tiny.dat: holds no whole sprite\n");
    EXPECT_FALSE(fs::exists(dir.file("t.kmd")));

    // Inputs that do not fit the output or the range.
    Bank big(130);
    ASSERT_EQ(SaveProject(&big.bank, dir.file("big.kmd").c_str()), 1);
    r = RunCli(dir, {"convert", "big.kmd", "big.a"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("SEUCK sprite files cannot exceed 127 sprites"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(dir.file("big.a")));
    EXPECT_EQ(RunCli(dir, {"convert", "big.kmd", "big.a", "--range", "3-129"}).exitCode, 0);
    r = RunCli(dir, {"convert", "big.kmd", "x.raw", "--range", "100-130"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "kelmora-cli: big.kmd: holds 130 sprites (0-129), so it has no sprites 100-130\n");

    // An output folder that does not exist.
    r = RunCli(dir, {"convert", "big.kmd", "nowhere/x.kmd"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err,
              "kelmora-cli: nowhere/x.kmd: not written: No such file or directory (the folder nowhere does "
              "not exist)\n");
}

TEST(Convert, ExistingOutputsNeedForce)
{
    TempFolder dir;
    Bank bank(3);
    ASSERT_EQ(SaveProject(&bank.bank, dir.file("a.kmd").c_str()), 1);
    const Bytes old{1, 2, 3};
    WriteBytes(dir.file("out.raw"), old);
    CliResult r = RunCli(dir, {"convert", "a.kmd", "out.raw"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "kelmora-cli: out.raw: already exists (use --force to replace it)\n");
    EXPECT_EQ(ReadBytes(dir.file("out.raw")), old);
    EXPECT_FALSE(fs::exists(dir.file("out.raw.inf")));

    // The side file is an output as well.
    WriteBytes(dir.file("two.raw.inf"), old);
    r = RunCli(dir, {"convert", "a.kmd", "two.raw"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("two.raw.inf: already exists"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(dir.file("two.raw")));

    r = RunCli(dir, {"convert", "--force", "a.kmd", "out.raw"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(ReadBytes(dir.file("out.raw")).size(), 3u * 64);
    EXPECT_EQ(ReadBytes(dir.file("out.raw.inf")), (Bytes{6, 2, 9}));

    // Data without colours leaves an older side file alone, and says so.
    ASSERT_EQ(ExportSprites(&bank.bank, dir.file("a.prg").c_str(), 3, 0x8000, kExportNative), 1);
    r = RunCli(dir, {"convert", "-f", "a.prg", "out.raw"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err, "kelmora-cli: warning: out.raw.inf is left as it was; the editor reads its colours with "
                     "out.raw\n");
    EXPECT_EQ(ReadBytes(dir.file("out.raw.inf")), (Bytes{6, 2, 9}));

    // Every other command keeps to the same rule.
    for (const std::vector<std::string>& args : {std::vector<std::string>{"listing", "a.kmd", "out.raw"},
                                                 {"sheet", "a.kmd", "out.raw", "--to", "png"}})
    {
        r = RunCli(dir, args);
        EXPECT_EQ(r.exitCode, 1) << args[0];
        EXPECT_NE(r.err.find("already exists"), std::string::npos) << r.err;
    }
}

TEST(Convert, UsageErrorsHelpAndVersion)
{
    TempFolder dir;
    for (const std::vector<std::string>& args : {std::vector<std::string>{},
                                                 {"explode"},
                                                 {"convert", "a.kmd", "b.xyz"},
                                                 {"info", "a.kmd", "--columns", "3"},
                                                 {"rip", "a.vsf", "b.kmd", "--bank", "7"}})
    {
        const CliResult r = RunCli(dir, args);
        EXPECT_EQ(r.exitCode, 2) << (args.empty() ? "(none)" : args[0]);
        EXPECT_NE(r.err.find("kelmora-cli: "), std::string::npos);
        EXPECT_NE(r.err.find("--help' for more information"), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "");
    }
    // The usage error names the command whose help to read.
    EXPECT_NE(RunCli(dir, {"convert", "a.kmd"}).err.find("Try 'kelmora-cli convert --help'"),
              std::string::npos);

    CliResult r = RunCli(dir, {"--version"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, std::string("kelmora-cli ") + KELMORA_VERSION_SHORT + "\n");
    r = RunCli(dir, {"--help"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out.rfind("Usage: kelmora-cli COMMAND", 0), 0u);
    for (const char* command : {"info", "convert", "listing", "rip", "sheet"})
    {
        r = RunCli(dir, {command, "--help"});
        EXPECT_EQ(r.exitCode, 0) << command;
        EXPECT_EQ(r.out.rfind(std::string("Usage: kelmora-cli ") + command, 0), 0u) << r.out;
        EXPECT_NE(r.out.find("Example"), std::string::npos) << command;
        EXPECT_EQ(r.err, "");
    }
}

TEST(Info, TextAndJsonDescribeEverySprite)
{
    TempFolder dir;
    Bank bank(4);
    bank.block[2 * 64 + 5] = 0;
    for (int k = 0; k < 63; ++k)
        bank.block[static_cast<std::size_t>(3 * 64 + k)] = 0; // sprite 3 blank, attribute 0x6A
    ASSERT_EQ(SaveProject(&bank.bank, dir.file("a.kmd").c_str()), 1);

    CliResult r = RunCli(dir, {"info", "a.kmd"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "File:     a.kmd\n"
                     "Format:   project\n"
                     "Sprites:  4\n"
                     "Colours:  background 6, multicolour 1 2, multicolour 2 9\n"
                     "\n"
                     "Sprite  Mode         Colour  Overlay  Blank\n"
                     "     0  multicolour       5  no       no\n"
                     "     1  multicolour      14  yes      no\n"
                     "     2  hires             7  no       no\n"
                     "     3  hires            10  no       yes\n");

    r = RunCli(dir, {"info", "--json", "a.kmd"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("\"format\": \"project\""), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"spriteCount\": 4,"), std::string::npos);
    EXPECT_NE(r.out.find("\"colours\": {\"background\": 6, \"multicolour1\": 2, \"multicolour2\": 9}"),
              std::string::npos);
    EXPECT_NE(r.out.find("{\"index\": 1, \"mode\": \"multicolour\", \"colour\": 14, \"overlay\": true, "
                         "\"blank\": false}"),
              std::string::npos);
    EXPECT_NE(r.out.find(
                  "{\"index\": 3, \"mode\": \"hires\", \"colour\": 10, \"overlay\": false, \"blank\": true}\n"
                  "  ]\n}\n"),
              std::string::npos);

    // A file of no known extension is detected from its size, like the import dialog does.
    ASSERT_EQ(ExportSprites(&bank.bank, dir.file("b.dat").c_str(), 4, 0x2000, kExportNative), 1);
    r = RunCli(dir, {"info", "--json", "b.dat"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("\"format\": \"prg\",\n  \"autoDetected\": true,"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"colours\": null,"), std::string::npos);
    r = RunCli(dir, {"info", "b.dat"});
    EXPECT_NE(r.out.find("Format:   prg (detected from the size)\n"), std::string::npos) << r.out;
}

TEST(Info, JsonStringsAreAlwaysValid)
{
    using kelmora::cli::JsonString;
    EXPECT_EQ(JsonString("a\"b\\c"), "\"a\\\"b\\\\c\"");
    EXPECT_EQ(JsonString("tab\there\n\x01"), "\"tab\\there\\n\\u0001\"");
    EXPECT_EQ(JsonString("gr\xC3\xBC\xC3\x9F \xE2\x82\xAC \xF0\x9F\x98\x80"),
              "\"gr\xC3\xBC\xC3\x9F \xE2\x82\xAC \xF0\x9F\x98\x80\"");
    // Stray, overlong, cut-short and surrogate sequences become U+FFFD.
    EXPECT_EQ(JsonString("a\xFF"
                         "b"),
              "\"a\\ufffdb\"");
    EXPECT_EQ(JsonString("\xC0\xAF"), "\"\\ufffd\\ufffd\"");
    EXPECT_EQ(JsonString("\xE2\x82"), "\"\\ufffd\\ufffd\"");
    EXPECT_EQ(JsonString("\xED\xA0\x80"), "\"\\ufffd\\ufffd\\ufffd\"");
}
