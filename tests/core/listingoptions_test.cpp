// Listings with options: their shape, labels, BASIC lines, presets, and every dialect,
// number style and byte count read back into the same sprites and names.
#include "CoreTestSupport.h"

#include <nlohmann/json.hpp>

using namespace kelmora;
using namespace kelmora_test;

namespace
{

struct ListedBank
{
    Bytes block = Bytes(kBlockBytes);
    SpriteBank bank{};
    explicit ListedBank(int count)
    {
        ClearBank(block.data());
        for (int i = 0; i < count * kSpriteBytes; ++i)
            block[static_cast<std::size_t>(i)] = static_cast<u8>((i * 37 + 11) % 256);
        static const u8 attributes[] = {0x85, 0x9E, 0x07, 0x6A, 0x10, 0x8C, 0x01};
        for (int i = 0; i < count; ++i)
            block[static_cast<std::size_t>(i * 64 + 63)] = attributes[i % 7];
        bank.spriteCount = count;
        bank.colourTransp = 6;
        bank.colourMulti1 = 2;
        bank.colourMulti2 = 9;
        bank.sprites = block.data();
    }
};

std::string Text(const ListingOutput& out)
{
    return std::string(out.bytes.begin(), out.bytes.end());
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t at = 0;
    while (at < text.size())
    {
        const std::size_t end = text.find('\n', at);
        lines.push_back(text.substr(at, end - at));
        at = end + 1;
    }
    return lines;
}

} // namespace

TEST(ListingOptions, EveryDialectNumberStyleAndByteCountReadsBack)
{
    ListedBank t(9);
    // Names for some slots only; slot 5's name is taken twice, slot 7's is a mnemonic.
    std::vector<std::string> names(9);
    names[1] = "player";
    names[3] = "enemy2";
    names[5] = "player";
    names[7] = "lda";
    const ListingDialect dialects[] = {ListingDialect::Acme, ListingDialect::KickAss,
                                       ListingDialect::Ca65, ListingDialect::Tass64,
                                       ListingDialect::C,    ListingDialect::Basic};
    int checked = 0;
    for (ListingDialect dialect : dialects)
        for (ListingNumbers numbers : {ListingNumbers::Hex, ListingNumbers::Decimal, ListingNumbers::Binary})
            for (int bytes : {63, 64})
                for (int variant = 0; variant < 4; ++variant)
                {
                    ListingOptions o;
                    o.dialect = dialect;
                    o.numbers = numbers;
                    o.bytesPerSprite = bytes;
                    o.rows = variant % 2 == 1;
                    o.labels = variant == 0   ? ListingLabels::None
                               : variant == 3 ? ListingLabels::Prefix
                                              : ListingLabels::Names;
                    o.zeroAttributes = variant == 2;
                    o.align = variant == 1;
                    o.headerAddress = variant == 3 ? 0x2000 : -1;
                    o.blockLabel = variant >= 2 ? "bank" : "";
                    o.prg = dialect == ListingDialect::Basic && variant == 3;
                    o.loaderAddress = dialect == ListingDialect::Basic && variant == 1 ? 0x3000 : -1;
                    const std::string what = std::string(ListingDialectName(dialect)) + " " +
                                             ListingNumbersName(numbers) + " " + std::to_string(bytes) +
                                             " variant " + std::to_string(variant);
                    const ListingOutput out = FormatListing(t.bank, 1, 8, o, names);
                    ASSERT_EQ(out.problem, ListingProblem::None) << what;

                    const ListingReadResult back = ReadListing(out.bytes, 0);
                    ASSERT_EQ(back.problem, ListingReadProblem::None) << what << " line " << back.line;
                    EXPECT_EQ(back.program, o.prg) << what;
                    EXPECT_EQ(back.bytesPerSprite, bytes) << what;
                    ASSERT_EQ(back.spriteCount, 8) << what;
                    for (int i = 0; i < 8; ++i)
                    {
                        const u8* original = t.block.data() + (i + 1) * 64;
                        const u8* read = back.sprites.data() + i * 64;
                        EXPECT_TRUE(std::equal(original, original + 63, read)) << what << " sprite " << i;
                        const u8 attribute = bytes == 63        ? kDefaultAttribute
                                             : o.zeroAttributes ? 0
                                                                : original[63];
                        EXPECT_EQ(read[63], attribute) << what << " sprite " << i;
                    }
                    const std::vector<std::string> labels = ListingSpriteLabels(1, 8, o, names);
                    EXPECT_EQ(back.names, labels) << what;
                    ++checked;
                }
    EXPECT_EQ(checked, 6 * 3 * 2 * 4);
}

TEST(ListingOptions, LabelsAreValidAndUnique)
{
    EXPECT_EQ(ListingLabelFrom("my ship!", ListingDialect::Acme), "my_ship");
    EXPECT_EQ(ListingLabelFrom("3d walk", ListingDialect::Ca65), "_3d_walk");
    EXPECT_EQ(ListingLabelFrom("LDA", ListingDialect::Tass64), "LDA_");
    EXPECT_EQ(ListingLabelFrom("x", ListingDialect::KickAss), "x_");
    EXPECT_EQ(ListingLabelFrom("int", ListingDialect::C), "int_");
    EXPECT_EQ(ListingLabelFrom("lda", ListingDialect::C), "lda");
    EXPECT_EQ(ListingLabelFrom("Schiff \xC3\xBC"
                               "ber",
                               ListingDialect::Acme),
              "Schiff_ber");
    EXPECT_EQ(ListingLabelFrom("player one_2", ListingDialect::Basic), "PLAYER.ONE.2");
    EXPECT_EQ(ListingLabelFrom("!!!", ListingDialect::Acme), "");

    ListingOptions o;
    o.labels = ListingLabels::Names;
    o.headerAddress = 0x2000;
    // Labels differ in more than letter case (64tass ignores it) and from the header's constants.
    const std::vector<std::string> names = {"Ship", "ship", "", "sprites_colour_0", "sprites", "ship"};
    EXPECT_EQ(ListingSpriteLabels(0, 5, o, names),
              (std::vector<std::string>{"Ship", "ship_2", "", "sprites_colour_0_2", "sprites_2", "ship_3"}));
    o.labels = ListingLabels::Prefix;
    o.labelPrefix = "frame";
    EXPECT_EQ(ListingSpriteLabels(7, 8, o, names), (std::vector<std::string>{"frame_7", "frame_8"}));
    EXPECT_TRUE(ListingSpriteLabels(3, 2, o, names).empty());
}

TEST(ListingOptions, AssemblerShapes)
{
    ListedBank t(2);
    t.block[0] = 0x3C;
    ListingOptions o;
    o.numbers = ListingNumbers::Binary;
    o.rows = true;
    o.align = true;
    o.headerAddress = 0x2040;
    o.blockLabel = "ship";
    o.labels = ListingLabels::Prefix;
    o.labelPrefix = "s";
    const std::vector<std::string> acme = Lines(Text(FormatListing(t.bank, 0, 1, o, {})));
    ASSERT_EQ(acme.size(), 10u + 2 * (4 + 22));
    EXPECT_EQ(acme[0], "; Colours and blocks of the sprites at $2040");
    EXPECT_EQ(acme[1], "ship_background = 6");
    EXPECT_EQ(acme[4], "ship_colour_0 = 5");
    EXPECT_EQ(acme[5], "ship_block_0 = 129");
    EXPECT_EQ(acme[7], "ship_block_1 = 130");
    EXPECT_EQ(acme[8], "\t!align 63, 0");
    EXPECT_EQ(acme[9], "ship");
    EXPECT_EQ(acme[11], "; Sprite 0");
    EXPECT_EQ(acme[13], "s_0");
    EXPECT_EQ(acme[14], "\t!byte %00111100,%00110000,%01010101");
    EXPECT_EQ(acme[35], "\t!byte %10000101");

    o.dialect = ListingDialect::KickAss;
    o.numbers = ListingNumbers::Hex;
    o.rows = false;
    o.bytesPerSprite = 63;
    const std::vector<std::string> kick = Lines(Text(FormatListing(t.bank, 0, 1, o, {})));
    EXPECT_EQ(kick[0], "// Colours of the sprites at $2040");
    EXPECT_EQ(kick[1], ".const ship_background = 6");
    EXPECT_EQ(kick[6], "\t.align $40"); // no block numbers for 63-byte sprites
    EXPECT_EQ(kick[7], "ship:");
    EXPECT_EQ(kick[11], "s_0:");
    EXPECT_EQ(std::count(kick[12].begin(), kick[12].end(), '$'), 63);

    // C: the header as #define, an array from each labelled sprite on, no alignment.
    o.dialect = ListingDialect::C;
    o.labels = ListingLabels::Names;
    const std::string c = Text(FormatListing(t.bank, 0, 1, o, {"", "hero"}));
    EXPECT_EQ(c.find("#define ship_block_0"), std::string::npos); // 63 bytes: none
    EXPECT_EQ(c.find("#define ship_background 6\n"), c.find("#define"));
    EXPECT_NE(c.find("const unsigned char ship[63] = {\n\n/* Sprite 0 */\n\n0x3C,"), std::string::npos);
    EXPECT_NE(c.find("\n};\n\n/* Sprite 1 */\n\nconst unsigned char hero[63] = {\n0x"), std::string::npos);
    EXPECT_EQ(c.find("align"), std::string::npos);
}

TEST(ListingOptions, BasicLines)
{
    ListedBank t(3);
    ListingOptions o;
    o.dialect = ListingDialect::Basic;
    o.numbers = ListingNumbers::Hex; // BASIC reads decimal only
    o.startLine = 100;
    o.lineStep = 5;
    o.labels = ListingLabels::Names;
    const std::vector<std::string> lines = Lines(Text(FormatListing(t.bank, 0, 2, o, {"", "Ship 1"})));
    EXPECT_EQ(lines[0], "100 REM SPRITE 0");
    EXPECT_EQ(lines[1].rfind("105 DATA 11,48,85,", 0), 0u);
    int number = 95;
    for (const std::string& line : lines)
    {
        EXPECT_LE(line.size(), 80u) << line;
        EXPECT_EQ(line.find('$'), std::string::npos);
        EXPECT_EQ(std::stoi(line), number += 5);
    }
    const auto named =
        std::find_if(lines.begin(), lines.end(),
                     [](const std::string& line)
                     { return line.size() > 11 && line.compare(line.size() - 11, 11, " REM SHIP.1") == 0; });
    ASSERT_NE(named, lines.end());
    EXPECT_EQ(named[-1].substr(named[-1].find(' ')), " REM SPRITE 1");

    o.rows = true;
    o.labels = ListingLabels::None;
    EXPECT_EQ(Lines(Text(FormatListing(t.bank, 0, 0, o, {}))).size(), 1u + 21 + 1);

    // Line numbers past 63999, a program too large for BASIC memory, loaders in the wrong place.
    o.startLine = 63990;
    EXPECT_EQ(FormatListing(t.bank, 0, 0, o, {}).problem, ListingProblem::LineNumbersRunOut);
    o.startLine = 0;
    o.lineStep = 1;
    o.rows = false;
    o.prg = true;
    ListedBank full(256);
    EXPECT_EQ(FormatListing(full.bank, 0, 255, o, {}).problem, ListingProblem::ProgramTooLarge);
    EXPECT_EQ(FormatListing(full.bank, 0, 99, o, {}).problem, ListingProblem::None);
    o.loaderAddress = 0x2000;
    EXPECT_EQ(FormatListing(full.bank, 0, 40, o, {}).problem, ListingProblem::LoaderAddressInUse);
    o.loaderAddress = 0x1000;
    EXPECT_EQ(FormatListing(t.bank, 0, 2, o, {}).problem, ListingProblem::LoaderAddressHidden);
    o.loaderAddress = 0x0340;
    const ListingOutput tape = FormatListing(t.bank, 0, 2, o, {});
    EXPECT_EQ(tape.problem, ListingProblem::None);
    EXPECT_EQ(tape.bytes[0], 0x01);
    EXPECT_EQ(tape.bytes[1], 0x08);
    o.loaderAddress = 0x0380;
    EXPECT_EQ(FormatListing(t.bank, 0, 2, o, {}).problem, ListingProblem::LoaderAddressInUse);

    o.loaderAddress = 0x2010;
    const ListingOutput bad = FormatListing(t.bank, 0, 2, o, {});
    EXPECT_EQ(bad.problem, ListingProblem::BadOptions);
    EXPECT_EQ(bad.optionsProblem, ListingOptionsProblem::LoaderAddress);
    EXPECT_TRUE(bad.bytes.empty());
    EXPECT_EQ(FormatListing(t.bank, 2, 1, o, {}).problem, ListingProblem::BadArguments);
}

TEST(ListingOptions, PresetsAsJson)
{
    ListingOptions o;
    o.dialect = ListingDialect::Basic;
    o.numbers = ListingNumbers::Binary;
    o.rows = true;
    o.bytesPerSprite = 63;
    o.zeroAttributes = true;
    o.blockLabel = "ship";
    o.labels = ListingLabels::Prefix;
    o.labelPrefix = "frame";
    o.align = true;
    o.headerAddress = 0x2000;
    o.startLine = 10;
    o.lineStep = 2;
    o.prg = true;
    o.loaderAddress = 0x3000;
    ListingOptions back;
    ASSERT_TRUE(ListingOptionsFromJsonText(ListingOptionsToJsonText(o), back));
    EXPECT_EQ(ListingOptionsToJson(back), ListingOptionsToJson(o));
    EXPECT_EQ(ListingOptionsToJson(o)["dialect"], "basic");
    EXPECT_EQ(ListingOptionsToJson(o)["header"], 0x2000);
    EXPECT_TRUE(ListingOptionsToJson(ListingOptions())["loader"].is_null());

    // Missing keys are defaults, unknown keys are passed over.
    ASSERT_TRUE(ListingOptionsFromJsonText(R"({"numbers": "decimal", "future": [1, 2]})", back));
    EXPECT_EQ(ListingOptionsToJson(back), ListingOptionsToJson(
                                              []
                                              {
                                                  ListingOptions d;
                                                  d.numbers = ListingNumbers::Decimal;
                                                  return d;
                                              }()));

    // A wrong type or value changes nothing.
    for (const char* bad :
         {R"({"dialect": "cobol"})", R"({"rows": 1})", R"({"bytes": 62})", R"({"header": 100})",
          R"({"labelPrefix": "9x"})", R"({"startLine": -5})", R"({"loader": "3000"})", "[]", "{", ""})
    {
        ListingOptions kept = o;
        EXPECT_FALSE(ListingOptionsFromJsonText(bad, kept)) << bad;
        EXPECT_EQ(ListingOptionsToJson(kept), ListingOptionsToJson(o)) << bad;
    }
}
