// Colour palettes: the built-in palette, the derived tables and the palettes.pal reader.
#include "core/Palette.h"

#include <cstddef>
#include <vector>

#include "core/FileIO.h"

namespace kelmora
{

const char* const kBuiltInPaletteName = "Vantor";

const std::uint32_t kBuiltInPalette[kPaletteColours] = {
    0x000000, // black
    0xFFFFFF, // white
    0x68372B, // red
    0x70A4B2, // cyan
    0x6F3D86, // purple
    0x588D43, // green
    0x352879, // blue
    0xB8C76F, // yellow
    0x6F4F25, // orange
    0x433900, // brown
    0x9A6759, // light red
    0x444444, // dark grey
    0x6C6C6C, // grey
    0x9AD284, // light green
    0x6C5EB5, // light blue
    0x959595, // light grey
};

const int kStandardOrder[kPaletteColours] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};

// Two rows of eight: each column pairs colours of like brightness (0/1, 6/9, 2/11, ...).
const int kLuminancePairsOrder[kPaletteColours] = {0, 6, 2, 4, 14, 5, 3, 7, 1, 9, 11, 8, 12, 10, 15, 13};

namespace
{

std::uint32_t RaiseChannel(std::uint32_t c)
{
    return c + 50 > 255 ? 255 : c + 50;
}

std::uint32_t DistanceFrom60(std::uint32_t c)
{
    return c >= 60 ? c - 60 : 60 - c;
}

// Character source over the text, one character at a time; -1 marks the end.
class TextCursor
{
  public:
    explicit TextCursor(const std::string& text) : text_(text) {}
    int Next()
    {
        if (pos_ >= text_.size()) return -1;
        return static_cast<unsigned char>(text_[pos_++]);
    }

  private:
    const std::string& text_;
    std::size_t pos_ = 0;
};

int HexValue(int ch)
{
    if (ch >= '0' && ch <= '9') return ch - '0';
    if (ch >= 'a' && ch <= 'f') return ch - 'a' + 10;
    if (ch >= 'A' && ch <= 'F') return ch - 'A' + 10;
    return -1;
}

// Skips up to and including the next ch. False when the text ends first.
bool SkipPast(TextCursor& in, int ch)
{
    for (;;)
    {
        const int c = in.Next();
        if (c < 0) return false;
        if (c == ch) return true;
    }
}

// One "#RRGGBB" colour. Collects hex digits up to a space, comma, semicolon,
// line feed or the end of the text, or until seven digits are collected; every
// other character (a carriage return, say) is skipped. Valid with exactly six digits.
bool ReadColour(TextCursor& in, std::uint32_t& colour)
{
    if (!SkipPast(in, '#')) return false;
    int digits = 0;
    std::uint32_t value = 0;
    while (digits < 7)
    {
        const int c = in.Next();
        if (c < 0 || c == ' ' || c == ',' || c == ';' || c == '\n') break;
        const int h = HexValue(c);
        if (h < 0) continue;
        ++digits;
        value = (value << 4) | static_cast<std::uint32_t>(h);
    }
    if (digits != 6) return false;
    colour = value;
    return true;
}

} // namespace

void BuildPaletteTables(const std::uint32_t colours[kPaletteColours], PaletteTables& tables)
{
    for (int i = 0; i < kPaletteColours; ++i)
    {
        const std::uint32_t c = colours[i] & 0xFFFFFF;
        const std::uint32_t r = (c >> 16) & 0xFF;
        const std::uint32_t g = (c >> 8) & 0xFF;
        const std::uint32_t b = c & 0xFF;
        tables.base[i] = c;
        tables.screen[i] = b * 65536 + g * 256 + r;
        tables.highlight[i] = RaiseChannel(r) * 65536 + RaiseChannel(g) * 256 + RaiseChannel(b);
        tables.grid[i] = DistanceFrom60(b) * 65536 + DistanceFrom60(g) * 256 + DistanceFrom60(r);
    }
}

int ParsePalettes(const std::string& text, NamedPalette* slots, int maximum)
{
    return ParsePalettes(text, slots, maximum, nullptr);
}

int ParsePalettes(const std::string& text, NamedPalette* slots, int maximum, PaletteReadNotes* notes)
{
    PaletteReadNotes seen;
    if (slots == nullptr || maximum <= 0)
    {
        if (notes != nullptr) *notes = seen;
        return 0;
    }
    TextCursor in(text);
    int kept = 0;
    // Once every slot is taken, the rest is still parsed by the same rules, only to count
    // what was left out.
    for (;;)
    {
        // The quoted name: 0 to 32 characters. An unterminated or longer name ends reading.
        if (!SkipPast(in, '"')) break;
        std::string name;
        bool closed = false;
        for (;;)
        {
            const int c = in.Next();
            if (c < 0) break;
            if (c == '"')
            {
                closed = true;
                break;
            }
            if (static_cast<int>(name.size()) == kMaxPaletteNameLength)
                break; // a 33rd character before the closing quote
            name.push_back(static_cast<char>(c));
        }
        if (!closed)
        {
            seen.brokenName = !name.empty() || in.Next() >= 0;
            break;
        }

        // Sixteen colours; the first invalid one drops the palette and its slot is reused.
        // The slot is written only once the palette is complete.
        std::uint32_t colours[kPaletteColours];
        int valid = 0;
        while (valid < kPaletteColours && ReadColour(in, colours[valid]))
            ++valid;
        if (valid < kPaletteColours)
        {
            ++seen.incomplete;
            continue;
        }
        if (kept == maximum)
        {
            ++seen.beyondMaximum;
            continue;
        }

        NamedPalette& slot = slots[kept];
        slot.name = name;
        for (int i = 0; i < kPaletteColours; ++i)
            slot.colours[i] = colours[i];
        ++kept;
    }
    if (notes != nullptr) *notes = seen;
    return kept;
}

int ReadPalettes(const char* path, NamedPalette* slots, int maximum)
{
    return ReadPalettes(path, slots, maximum, nullptr, nullptr);
}

int ReadPalettes(const char* path, NamedPalette* slots, int maximum, FileResult* why, PaletteReadNotes* notes)
{
    if (notes != nullptr) *notes = PaletteReadNotes{};
    // Only a regular file is read: a folder, a device or a pipe counts as "cannot be opened".
    // At most the first MiB is read; a longer file is parsed from that prefix.
    std::vector<std::uint8_t> bytes;
    std::uint64_t size = 0;
    if (ReadFileHead(path, kMaxPaletteFileBytes, bytes, size, why) != ReadStatus::Ok) return -1;
    if (size == 0)
    {
        SetFileResult(why, FileError::Empty);
        return -1;
    }
    const std::string text(bytes.begin(), bytes.end());
    const int kept = ParsePalettes(text, slots, maximum, notes);
    if (notes != nullptr) notes->cutAtLimit = size > kMaxPaletteFileBytes;
    return kept;
}

std::vector<std::string> SkippedPaletteWarnings(const PaletteReadNotes& notes)
{
    const auto palettes = [](int n) { return std::to_string(n) + (n == 1 ? " palette" : " palettes"); };
    std::vector<std::string> warnings;
    if (notes.beyondMaximum > 0)
        warnings.push_back(palettes(notes.beyondMaximum) + " after the first " +
                           std::to_string(kMaxLoadedPalettes) + " skipped (no more are read)");
    if (notes.cutAtLimit) warnings.push_back("only its first MiB is read; anything after it was skipped");
    if (notes.incomplete > 0)
        warnings.push_back(palettes(notes.incomplete) + " skipped for a missing or malformed #RRGGBB colour");
    if (notes.brokenName)
        warnings.push_back("reading stopped at a palette name without its closing quote or longer than " +
                           std::to_string(kMaxPaletteNameLength) + " characters");
    return warnings;
}

} // namespace kelmora
