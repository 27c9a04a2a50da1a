// Colour palettes: derived tables, strip orders and the palettes.pal reader.
#include "core/Palette.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

using namespace kelmora;

namespace
{

const char* const kVantorLines = "\"Vantor\"\n"
                                 "#000000, #FFFFFF, #68372B, #70A4B2, #6F3D86, #588D43, #352879, #B8C76F\n"
                                 "#6F4F25, #433900, #9A6759, #444444, #6C6C6C, #9AD284, #6C5EB5, #959595\n";

// A palette entry with name and sixteen colours; colour i is base + i.
std::string Entry(const std::string& name, std::uint32_t base, const char* separator = ", ")
{
    std::string text = "\"" + name + "\"\n";
    char buffer[16];
    for (int i = 0; i < 16; ++i)
    {
        std::snprintf(buffer, sizeof buffer, "#%06X", static_cast<unsigned>(base + i));
        text += buffer;
        text += (i == 15) ? "\n" : separator;
    }
    return text;
}

std::filesystem::path FreshDir(const char* name)
{
    std::filesystem::path dir =
        std::filesystem::temp_directory_path() /
        (std::string("kelmora_palette_") + name + "_" + std::to_string(std::random_device{}()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

// The sample palettes.pal in the source tree, found from this file's own path.
std::string SamplePalettePath()
{
#ifdef KELMORA_SOURCE_DIR
    return std::string(KELMORA_SOURCE_DIR) + "/resources/palettes.pal";
#else
    return (std::filesystem::path(__FILE__).parent_path().parent_path().parent_path() / "resources" /
            "palettes.pal")
        .string();
#endif
}

} // namespace

TEST(PaletteTables, WorkedValuesOfTheBuiltInPalette)
{
    PaletteTables t{};
    BuildPaletteTables(kBuiltInPalette, t);
    EXPECT_STREQ(kBuiltInPaletteName, "Vantor");

    EXPECT_EQ(t.base[11], 0x444444u);
    EXPECT_EQ(t.highlight[11], 0x767676u);
    EXPECT_EQ(t.grid[11], 0x080808u);

    EXPECT_EQ(t.base[6], 0x352879u);
    EXPECT_EQ(t.highlight[6], 0x675AABu);
    // Grid and screen values carry red in the low byte.
    EXPECT_EQ(t.grid[6] & 0xFF, 0x07u);
    EXPECT_EQ((t.grid[6] >> 8) & 0xFF, 0x14u);
    EXPECT_EQ((t.grid[6] >> 16) & 0xFF, 0x3Du);
    EXPECT_EQ(t.screen[6], 0x792835u);
    EXPECT_EQ(ScreenToRgb(t.screen[6]), 0x352879u);

    EXPECT_EQ(t.highlight[1], 0xFFFFFFu); // capped at 255
    EXPECT_EQ(t.grid[1], 0xC3C3C3u);      // 255 - 60
    EXPECT_EQ(t.grid[0], 0x3C3C3Cu);      // 60 - 0
}

TEST(PaletteTables, StripOrdersPairColoursOfLikeBrightness)
{
    // Columns of the two-row strip: 0 over 1, 6 over 9, 2 over 11, ... 7 over 13.
    const int top[8] = {0, 6, 2, 4, 14, 5, 3, 7};
    const int bottom[8] = {1, 9, 11, 8, 12, 10, 15, 13};
    for (int column = 0; column < 8; ++column)
    {
        EXPECT_EQ(kLuminancePairsOrder[column], top[column]);
        EXPECT_EQ(kLuminancePairsOrder[column + 8], bottom[column]);
        EXPECT_EQ(kStandardOrder[column + 8], column + 8);
    }
}

TEST(PaletteParse, ThreeLineFileGivesTheBuiltInPalette)
{
    NamedPalette slots[20];
    ASSERT_EQ(ParsePalettes(kVantorLines, slots, 20), 1);
    EXPECT_EQ(slots[0].name, "Vantor");
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(slots[0].colours[i], kBuiltInPalette[i]) << "colour " << i;

    // Windows line ends, semicolons and spaces separate colours too.
    std::string crlf;
    for (const char* p = kVantorLines; *p; ++p)
    {
        if (*p == '\n') crlf += '\r';
        crlf += *p;
    }
    ASSERT_EQ(ParsePalettes(crlf, slots, 20), 1);
    EXPECT_EQ(slots[0].colours[7], 0xB8C76Fu);
    EXPECT_EQ(slots[0].colours[15], 0x959595u);
    ASSERT_EQ(ParsePalettes(Entry("A", 0x100, ";") + Entry("B", 0x200, " "), slots, 20), 2);
    EXPECT_EQ(slots[1].colours[15], 0x20Fu);
}

TEST(PaletteParse, ColourDigits)
{
    NamedPalette slots[4];
    // Lower and upper case digits give the same colour.
    std::string lower = Entry("x", 0xABCD00);
    for (char& c : lower)
        if (c >= 'A' && c <= 'F') c = static_cast<char>(c - 'A' + 'a');
    ASSERT_EQ(ParsePalettes(lower, slots, 4), 1);
    EXPECT_EQ(slots[0].colours[3], 0xABCD03u);

    // Five and seven digits drop their palette; the palette after it takes the same slot.
    std::string five = Entry("five", 0x100000);
    five.replace(five.find("#100003"), 7, "#10000");
    std::string seven = Entry("seven", 0x200000);
    seven.replace(seven.find("#200003"), 7, "#2000035");
    ASSERT_EQ(ParsePalettes(five + Entry("good", 0x300000) + seven + Entry("last", 0x400000), slots, 4), 2);
    EXPECT_EQ(slots[0].name, "good");
    EXPECT_EQ(slots[1].name, "last");
    EXPECT_EQ(slots[1].colours[0], 0x400000u);

    // A colour followed directly by CR LF is valid; other characters between digits are skipped.
    ASSERT_EQ(ParsePalettes(Entry("crlf", 0x10, "\r\n"), slots, 4), 1);
    EXPECT_EQ(slots[0].colours[15], 0x1Fu);
    std::string spaced = Entry("spaced", 0x500000);
    spaced.replace(spaced.find("#500000"), 7, "#5x0_0\r0-00");
    ASSERT_EQ(ParsePalettes(spaced, slots, 4), 1);
    EXPECT_EQ(slots[0].colours[0], 0x500000u);

    // Fifteen colours, then the end of the text: nothing kept.
    std::string fifteen = Entry("short", 0x600000);
    fifteen.erase(fifteen.rfind('#'));
    EXPECT_EQ(ParsePalettes(fifteen, slots, 4), 0);
}

TEST(PaletteParse, Names)
{
    NamedPalette slots[4];
    const std::string name32(32, 'n');
    const std::string name33(33, 'n');
    ASSERT_EQ(ParsePalettes(Entry(name32, 0) + Entry("", 0x10), slots, 4), 2);
    EXPECT_EQ(slots[0].name, name32);
    EXPECT_EQ(slots[1].name, ""); // an empty name is accepted

    // A 33-character name stops reading; the palettes before it stay.
    EXPECT_EQ(ParsePalettes(Entry("first", 0) + Entry(name33, 0x10) + Entry("after", 0x20), slots, 4), 1);
    EXPECT_EQ(slots[0].name, "first");
    // An unterminated name stops reading too.
    EXPECT_EQ(ParsePalettes(Entry("first", 0) + "\"unterminated", slots, 4), 1);
    // Text around the entries is ignored.
    EXPECT_EQ(
        ParsePalettes("comment line\n" + Entry("a", 0) + "between ; , text\n" + Entry("b", 0), slots, 4), 2);
}

TEST(PaletteParse, MaximumAndGarbageInput)
{
    std::string many;
    for (int i = 0; i < 25; ++i)
        many += Entry("p" + std::to_string(i), static_cast<std::uint32_t>(i) << 16);
    std::vector<NamedPalette> slots(kMaxLoadedPalettes + 1);
    slots[kMaxLoadedPalettes].name = "untouched";
    ASSERT_EQ(ParsePalettes(many, slots.data(), kMaxLoadedPalettes), kMaxLoadedPalettes);
    EXPECT_EQ(slots[19].name, "p19");
    EXPECT_EQ(slots[19].colours[0], 0x130000u);
    EXPECT_EQ(slots[kMaxLoadedPalettes].name, "untouched");

    EXPECT_EQ(ParsePalettes(many, nullptr, 20), 0);
    EXPECT_EQ(ParsePalettes(many, slots.data(), 0), 0);
    EXPECT_EQ(ParsePalettes("", slots.data(), 20), 0);

    // 10,000 palettes and a 1,000-character name: bounded, nothing beyond the slots written.
    std::string huge;
    for (int i = 0; i < 10000; ++i)
        huge += Entry("h", 0);
    EXPECT_EQ(ParsePalettes(huge, slots.data(), 20), 20);
    EXPECT_EQ(
        ParsePalettes(std::string("\"") + std::string(1000, 'z') + "\"" + Entry("x", 0), slots.data(), 20),
        0);

    // Random bytes, with the significant characters made frequent: never more than maximum.
    std::mt19937 random(12345);
    const char significant[] = "\"#0123456789abcdefABCDEF ,;\n\r\x00\xFF";
    for (int round = 0; round < 200; ++round)
    {
        std::string junk(1 + random() % 4000, '\0');
        for (char& c : junk)
            c = (random() % 2) ? significant[random() % (sizeof significant - 1)]
                               : static_cast<char>(random());
        const int kept = ParsePalettes(junk, slots.data(), 3);
        ASSERT_GE(kept, 0);
        ASSERT_LE(kept, 3);
        for (int k = 0; k < kept; ++k)
            ASSERT_LE(slots[k].name.size(), 32u);
    }
}

TEST(PaletteFile, ReadsFilesAndRefusesWhatCannotBeRead)
{
    const std::filesystem::path dir = FreshDir("file");
    NamedPalette slots[20];

    EXPECT_EQ(ReadPalettes((dir / "missing.pal").u8string().c_str(), slots, 20), -1);
    EXPECT_EQ(ReadPalettes(dir.u8string().c_str(), slots, 20), -1); // a folder
    EXPECT_EQ(ReadPalettes(nullptr, slots, 20), -1);

    const std::filesystem::path empty = dir / "empty.pal";
    std::ofstream(empty).close();
    EXPECT_EQ(ReadPalettes(empty.u8string().c_str(), slots, 20), -1);

    const std::filesystem::path none = dir / "none.pal";
    std::ofstream(none) << "no palette here\n";
    EXPECT_EQ(ReadPalettes(none.u8string().c_str(), slots, 20), 0);

    // A non-ASCII file name.
    const std::filesystem::path named = dir / std::filesystem::u8path("palettes \xC3\xA9t\xC3\xA9.pal");
    std::ofstream(named, std::ios::binary) << kVantorLines;
    ASSERT_EQ(ReadPalettes(named.u8string().c_str(), slots, 20), 1);
    EXPECT_EQ(slots[0].colours[2], 0x68372Bu);

    // Only the first MiB is read: a palette beyond it is not seen.
    const std::filesystem::path big = dir / "big.pal";
    {
        std::ofstream out(big, std::ios::binary);
        out << Entry("early", 0);
        out << std::string(1024 * 1024, ' ');
        out << Entry("late", 0);
    }
    ASSERT_EQ(ReadPalettes(big.u8string().c_str(), slots, 20), 1);
    EXPECT_EQ(slots[0].name, "early");

    // ... and the reader says so, as it says why a file gave nothing.
    PaletteReadNotes notes;
    FileResult why;
    ASSERT_EQ(ReadPalettes(big.u8string().c_str(), slots, 20, &why, &notes), 1);
    EXPECT_TRUE(notes.cutAtLimit);
    EXPECT_EQ(ReadPalettes(empty.u8string().c_str(), slots, 20, &why, &notes), -1);
    EXPECT_EQ(why.error, FileError::Empty);
    EXPECT_EQ(ReadPalettes(dir.u8string().c_str(), slots, 20, &why, &notes), -1);
    EXPECT_EQ(why.error, FileError::IsFolder);

    std::filesystem::remove_all(dir);
}

// What a palette file held beyond the palettes kept: more than the slots, broken palettes,
// and a name that ends reading. The palettes kept are the same as without the notes.
TEST(PaletteParse, NotesOfWhatWasSkipped)
{
    NamedPalette slots[3];
    PaletteReadNotes notes;
    std::string text = Entry("a", 0) + "\"broken\" #12345 #000000\n" + Entry("b", 0) + Entry("c", 0) +
                       Entry("d", 0) + Entry("e", 0);
    EXPECT_EQ(ParsePalettes(text, slots, 3, &notes), 3);
    EXPECT_EQ(slots[2].name, "c");
    EXPECT_EQ(notes.beyondMaximum, 2);
    EXPECT_EQ(notes.incomplete, 1);
    EXPECT_FALSE(notes.brokenName);
    EXPECT_FALSE(notes.cutAtLimit);

    EXPECT_EQ(
        ParsePalettes(Entry("a", 0) + "\"" + std::string(40, 'x') + "\"" + Entry("z", 0), slots, 3, &notes),
        1);
    EXPECT_TRUE(notes.brokenName);
    EXPECT_EQ(notes.beyondMaximum, 0);
    EXPECT_EQ(ParsePalettes(Entry("a", 0) + "\"unterminated", slots, 3, &notes), 1);
    EXPECT_TRUE(notes.brokenName);
    EXPECT_EQ(ParsePalettes(kVantorLines, slots, 3, &notes), 1);
    EXPECT_EQ(notes.beyondMaximum + notes.incomplete, 0);
    EXPECT_FALSE(notes.brokenName);
}

TEST(PaletteFile, SampleFileHoldsItsPalettes)
{
    const std::string path = SamplePalettePath();
    std::ifstream in(path, std::ios::binary);
    ASSERT_TRUE(in) << path;
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());

    // Every quoted name must become a palette: one quote pair per entry and nothing dropped.
    int quotes = 0;
    for (char c : text)
        quotes += (c == '"');
    ASSERT_EQ(quotes % 2, 0);
    NamedPalette slots[kMaxLoadedPalettes];
    const int kept = ReadPalettes(path.c_str(), slots, kMaxLoadedPalettes);
    EXPECT_EQ(kept, quotes / 2);
    EXPECT_GE(kept, 5);
    EXPECT_LE(kept, kMaxLoadedPalettes);

    // The first one has the built-in palette's colours under its published name.
    EXPECT_EQ(slots[0].name, "Pepto PAL");
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(slots[0].colours[i], kBuiltInPalette[i]);
}
