// Reading listings written by hand: every form of line and number, labels as names,
// 63 or 64 bytes a sprite, and refusals with their lines.
#include "CoreTestSupport.h"

using namespace kelmora;
using namespace kelmora_test;

namespace
{

ListingReadResult Read(const std::string& text, int bytes = 0)
{
    return ReadListing(Bytes(text.begin(), text.end()), bytes);
}

// count values 0, 1, 2, ... written as "$00,1,%00000010,0x03,..." in turn, lineLength a line.
std::string Values(int from, int count, const std::string& lead, int lineLength = 16)
{
    std::string text;
    for (int k = 0; k < count; ++k)
    {
        const int v = (from + k) % 256;
        if (k % lineLength == 0)
            text += (k ? "\n" : "") + lead;
        else
            text += ", ";
        char value[16];
        switch (k % 4)
        {
        case 0:
            std::snprintf(value, sizeof value, "$%02x", v);
            break;
        case 1:
            std::snprintf(value, sizeof value, "%d", v);
            break;
        case 2:
            value[0] = '%';
            for (int bit = 0; bit < 8; ++bit)
                value[1 + bit] = (v >> (7 - bit) & 1) ? '1' : '0';
            value[9] = '\0';
            break;
        default:
            std::snprintf(value, sizeof value, "0X%02X", v);
            break;
        }
        text += value;
    }
    return text + "\n";
}

// The same on one line without its line end.
std::string Inline(int from, int count)
{
    const std::string text = Values(from, count, "", count);
    return text.substr(0, text.size() - 1);
}

void ExpectSprite(const ListingReadResult& r, int index, int from, int bytes)
{
    ASSERT_LT(index, r.spriteCount);
    for (int k = 0; k < bytes; ++k)
        ASSERT_EQ(r.sprites[static_cast<std::size_t>(index * 64 + k)], (from + k) % 256) << index << " " << k;
    if (bytes == 63)
    {
        EXPECT_EQ(r.sprites[static_cast<std::size_t>(index * 64 + 63)], kDefaultAttribute);
    }
}

} // namespace

TEST(ListingReader, HandWrittenForms)
{
    // Every assembler byte directive, labels in each style, comments of every kind, constants,
    // other directives and instructions passed over.
    const std::string source = "; sprites for the title\n"
                               "SCREEN = $0400\n"
                               "colour .equ 5\n"
                               "\t* = $2000\n"
                               "\t!align 63, 0\n"
                               "ship:  ; the player\n" +
                               Values(0, 32, "  !byte ") + Values(32, 32, "\t!8 ") +
                               "enemy\n"
                               "/* two\n lines */\n" +
                               Values(64, 20, "\t.byte ", 20) + Values(84, 20, "  .DB ", 20) +
                               Values(104, 10, "db ") + Values(114, 10, "\t!by ") +
                               Values(124, 4, "\t.dc.b ") +
                               "@boss: .byt $00, 1, %..##..##, $03 // acme's dots and hashes\n" +
                               Values(4, 60, "\tdfb ") + "\tlda #$00\n\trts\n";
    ListingReadResult r = Read(source);
    ASSERT_EQ(r.problem, ListingReadProblem::None) << r.line << " " << r.text;
    ASSERT_EQ(r.spriteCount, 3);
    EXPECT_EQ(r.bytesPerSprite, 64);
    ExpectSprite(r, 0, 0, 64);
    ExpectSprite(r, 1, 64, 64);
    EXPECT_EQ(r.sprites[128 + 2], 0x33);
    EXPECT_EQ(r.names, (std::vector<std::string>{"ship", "enemy", "@boss"}));

    // C initialisers: decimal, hex, octal, binary, suffixes, a trailing comma, nested braces;
    // the array names each sprite it holds alone.
    const std::string c = "#include <stdint.h>\n"
                          "#define SPRITES 2\n"
                          "static const uint8_t walk[2][64] = {\n  {" +
                          Inline(0, 64) + "},\n  { 0x40u, 0101, 0b01000010, 67UL, " + Values(68, 60, "    ") +
                          "  },\n};\n" + "unsigned char one[] = {" + Inline(7, 64) + "};\n";
    r = Read(c);
    ASSERT_EQ(r.problem, ListingReadProblem::None) << r.line << " " << r.text;
    ASSERT_EQ(r.spriteCount, 3);
    ExpectSprite(r, 0, 0, 64);
    ExpectSprite(r, 1, 64, 64);
    EXPECT_EQ(r.names, (std::vector<std::string>{"", "", "one"}));

    // BASIC as typed: lower case, several statements a line, spaces, "7.0", an empty item.
    const std::string basic = "10 rem sprite data\n"
                              "20 for i=0 to 63:read v:poke 832+i,v:next\n"
                              "30 DATA 1, 2 ,3.0,,5:REM \"IGNORED, 9\"\n"
                              "40 data " +
                              Inline(5, 59) + "\n";
    r = Read(basic);
    // Values() writes $05.. and %.. which BASIC cannot READ: line 40 is refused.
    EXPECT_EQ(r.problem, ListingReadProblem::NotANumber);
    EXPECT_EQ(r.line, 4);
    EXPECT_EQ(r.basicLine, 40);
    std::string decimal = "40 data";
    for (int k = 5; k < 64; ++k)
        decimal += (k > 5 ? "," : " ") + std::to_string(k);
    r = Read(basic.substr(0, basic.find("40 data")) + decimal + "\n");
    ASSERT_EQ(r.problem, ListingReadProblem::None) << r.line << " " << r.text;
    ASSERT_EQ(r.spriteCount, 1);
    EXPECT_EQ(r.sprites[0], 1);
    EXPECT_EQ(r.sprites[3], 0); // the empty item
    EXPECT_EQ(r.sprites[63], 63);
    EXPECT_EQ(r.names[0], ""); // "sprite data" is a comment of more than one word

    // The editor's own text listing, with Windows line ends.
    r = Read("\r\n; Sprite 4\r\n\r\n" + Values(0, 64, "", 64) + "\r\n; Sprite 5\r\n\r\n" +
             Values(9, 64, "", 64));
    ASSERT_EQ(r.problem, ListingReadProblem::None) << r.line << " " << r.text;
    ASSERT_EQ(r.spriteCount, 2);
    ExpectSprite(r, 1, 9, 64);
}

TEST(ListingReader, BytesASpriteAndNames)
{
    // 63-byte sprites found from labels; a label over several sprites names none of them.
    std::string text = "all\n";
    for (int i = 0; i < 4; ++i)
        text += "frame" + std::to_string(i) + ":\n" + Values(i * 63, 63, "\t.byte ");
    ListingReadResult r = Read(text);
    ASSERT_EQ(r.problem, ListingReadProblem::None);
    EXPECT_EQ(r.bytesPerSprite, 63);
    ASSERT_EQ(r.spriteCount, 4);
    ExpectSprite(r, 3, 3 * 63, 63);
    EXPECT_EQ(r.names, (std::vector<std::string>{"frame0", "frame1", "frame2", "frame3"}));

    // Without labels 4032 bytes are 63 sprites of 64, unless told otherwise.
    const std::string bare = Values(0, 64 * 63, "!byte ");
    r = Read(bare);
    EXPECT_EQ(r.spriteCount, 63);
    EXPECT_EQ(r.names, std::vector<std::string>(63));
    r = Read(bare, 63);
    EXPECT_EQ(r.spriteCount, 64);
    ExpectSprite(r, 63, 63 * 63, 63);
    // 63 x 3 bytes are no whole number of 64-byte sprites.
    r = Read(Values(0, 189, "!byte "));
    EXPECT_EQ(r.bytesPerSprite, 63);
    EXPECT_EQ(r.spriteCount, 3);
    EXPECT_EQ(r.names, std::vector<std::string>(3, ""));

    // A label before the sprite header is the block's, as listing --label writes it.
    r = Read("sprites\n\n; Sprite 0\n\n" + Values(0, 64, "\t!byte ") + "\n; Sprite 1\n\nhero\n" +
             Values(1, 64, "\t!byte "));
    ASSERT_EQ(r.problem, ListingReadProblem::None);
    EXPECT_EQ(r.names, (std::vector<std::string>{"", "hero"}));
}

TEST(ListingReader, RefusalsNameTheirLine)
{
    const auto refused = [](const std::string& text, ListingReadProblem problem, int line,
                            const std::string& what, int bytes = 0)
    {
        const ListingReadResult r = Read(text, bytes);
        EXPECT_EQ(r.problem, problem) << text.substr(0, 60);
        EXPECT_EQ(r.line, line) << text.substr(0, 60);
        EXPECT_EQ(r.text, what);
        EXPECT_EQ(r.spriteCount, 0);
        EXPECT_TRUE(r.sprites.empty());
        return r;
    };
    const std::string sprite = Values(0, 64, "\t!byte ");
    refused(sprite + "\t!byte 1, 256\n", ListingReadProblem::OutOfRange, 5, "256");
    refused(sprite + "\t!byte $100\n", ListingReadProblem::OutOfRange, 5, "$100");
    refused("\t.byte -1\n", ListingReadProblem::OutOfRange, 1, "-1");
    refused("x: .byte 1,,2\n", ListingReadProblem::NotANumber, 1, "");
    refused("\t.byte <table\n", ListingReadProblem::NotANumber, 1, "<table");
    refused("const char a[] = {\n1,\n08 };\n", ListingReadProblem::NotANumber, 3, "08");
    refused("10 DATA 1,$FF\n", ListingReadProblem::NotANumber, 1, "$FF");
    refused("10 DATA 1.5\n", ListingReadProblem::NotANumber, 1, "1.5");
    refused(sprite + "\t.word $1234\n" + sprite, ListingReadProblem::OtherData, 5, ".word");
    refused("; nothing here\nlabel:\n", ListingReadProblem::NoData, 0, "");

    // A sprite cut short: found at its own header, or at the end.
    ListingReadResult r = refused("; Sprite 0\n" + sprite + "; Sprite 1\n" + Values(0, 60, "\t!byte ") +
                                      "; Sprite 2\n" + sprite,
                                  ListingReadProblem::CutShort, 10, "");
    EXPECT_EQ(r.sprite, 1);
    EXPECT_EQ(r.bytesFound, 60);
    r = refused(sprite + Values(0, 63, "\t!byte "), ListingReadProblem::CutShort, 8, "", 64);
    EXPECT_EQ(r.sprite, 1);
    EXPECT_EQ(r.bytesFound, 63);

    r = refused(Values(0, 257 * 64, "!byte "), ListingReadProblem::TooManySprites, 257 * 4 - 3, "");
    r = refused(Values(0, 257 * 63, "!byte ", 63), ListingReadProblem::TooManySprites, 257, "", 63);

    const Bytes binary = {0x00, 0x10, 0xFF, 0x00};
    EXPECT_EQ(ReadListing(binary, 0).problem, ListingReadProblem::NotText);
}

TEST(ListingReader, ConverterOutputFromRealData)
{
    const std::string path = std::string(KELMORA_REALDATA_DIR) + "/images/glimmer.inc";
    if (!fs::exists(path)) GTEST_SKIP() << "no " << path;
    const ListingReadResult r = ReadListing(ReadBytes(path), 0);
    ASSERT_EQ(r.problem, ListingReadProblem::None) << r.line;
    ASSERT_EQ(r.spriteCount, 3); // the blank fourth sprite of the picture is not in the file
    EXPECT_EQ(r.bytesPerSprite, 64);
    const Bytes sprite1 = {0x00, 0x01, 0x68, 0x00, 0x02, 0xD0};
    EXPECT_TRUE(std::equal(sprite1.begin(), sprite1.end(), r.sprites.begin() + 64));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(r.sprites[static_cast<std::size_t>(i * 64 + 63)], 0); // that converter writes no attribute
}
