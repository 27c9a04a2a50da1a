// Sprite sheets: sprites drawn as the editor's browser draws them, in a grid,
// and the palettes they can be drawn with.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/Palette.h"
#include "core/Types.h"

namespace kelmora::cli
{

// Cells past the last sprite of the final row.
constexpr std::uint32_t kEmptyCellColour = 0x202020;

struct SheetImage
{
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels; // 0x00RRGGBB, top row first, width pixels a row
};

// Slots first..last in rows of columns cells (fewer when there are fewer sprites),
// each cell 24 x 21 pixels times scale. Each sprite is drawn with its own colour and
// the bank's shared colours, multicolour pixels double wide, and the next sprite on
// top when its overlay flag is set, exactly as the browser shows it.
SheetImage RenderSheet(const kelmora::SpriteBank& bank, int first, int last, int columns, int scale,
                       const std::uint32_t colours[kelmora::kPaletteColours]);

// Where palettes.pal is looked for, in order: beside the program, then the user's
// and the system's data folders (XDG_DATA_HOME, XDG_DATA_DIRS) under "kelmora".
std::vector<std::string> PaletteFileCandidates(const std::string& programDir);
// The first candidate that is a regular file, or "".
std::string FindPaletteFile(const std::string& programDir);

// Picks name among the built-in palette and the loaded ones: an exact match first,
// then one that differs only in case. False when there is none.
bool ChoosePalette(const std::string& name, const std::vector<kelmora::NamedPalette>& loaded,
                   kelmora::NamedPalette& chosen);

} // namespace kelmora::cli
