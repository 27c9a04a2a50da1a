// Colour palettes: the built-in "Vantor" palette, the derived colour tables the
// views draw with, the two palette-strip orders and the reader of palettes.pal.
#pragma once

#include "core/FileResult.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kelmora
{

constexpr int kPaletteColours = 16;
constexpr int kMaxPaletteNameLength = 32;
constexpr int kMaxLoadedPalettes = 20;

// Colours are 0x00RRGGBB.
struct NamedPalette
{
    std::string name; // at most 32 characters
    std::uint32_t colours[kPaletteColours];
};

extern const char* const kBuiltInPaletteName; // "Vantor"
extern const std::uint32_t kBuiltInPalette[kPaletteColours];

// The strip orders: entry k is the colour number shown in strip cell k.
extern const int kStandardOrder[kPaletteColours];
extern const int kLuminancePairsOrder[kPaletteColours];

// The active palette, indexed by C64 colour number.
//  base:      0x00RRGGBB, sprite pixels
//  screen:    blue*65536 + green*256 + red (red in the low byte), panels and brushes
//  highlight: 0x00RRGGBB, each channel +50 capped at 255, selected sprites in the browser
//  grid:      red in the low byte, each channel |c - 60|, grid lines
struct PaletteTables
{
    std::uint32_t base[kPaletteColours];
    std::uint32_t screen[kPaletteColours];
    std::uint32_t highlight[kPaletteColours];
    std::uint32_t grid[kPaletteColours];
};

void BuildPaletteTables(const std::uint32_t colours[kPaletteColours], PaletteTables& tables);

// A toolkit colour value (red in the low byte) as 0x00RRGGBB.
inline std::uint32_t ScreenToRgb(std::uint32_t screen)
{
    return ((screen & 0xFF) << 16) | (screen & 0xFF00) | ((screen >> 16) & 0xFF);
}

// Only this much of a palette file is read; palettes past it are skipped.
constexpr std::uint64_t kMaxPaletteFileBytes = 1024 * 1024;

// What a palette file held beyond the palettes that were kept.
struct PaletteReadNotes
{
    int beyondMaximum = 0;   // complete palettes after the last slot, not kept
    int incomplete = 0;      // palettes dropped for a missing or malformed colour
    bool brokenName = false; // an unterminated name, or one over 32 characters, ended reading
    bool cutAtLimit = false; // the file is longer than kMaxPaletteFileBytes; the rest was not read
};

// Reads up to maximum complete palettes from a palettes.pal text file into slots.
// Returns how many were kept (0 or more), or -1 when the file cannot be opened or is empty.
int ReadPalettes(const char* path, NamedPalette* slots, int maximum);
// The same, with the reason for -1 in *why (FileError::Empty for an empty file) and what
// was skipped in *notes (either may be null).
int ReadPalettes(const char* path, NamedPalette* slots, int maximum, FileResult* why,
                 PaletteReadNotes* notes);
// The same over text already in memory (used by the file reader and by tests).
int ParsePalettes(const std::string& text, NamedPalette* slots, int maximum);
int ParsePalettes(const std::string& text, NamedPalette* slots, int maximum, PaletteReadNotes* notes);

// What notes say was skipped, one sentence each (none when nothing was), such as
// "2 palettes skipped for a missing or malformed #RRGGBB colour".
std::vector<std::string> SkippedPaletteWarnings(const PaletteReadNotes& notes);

} // namespace kelmora
