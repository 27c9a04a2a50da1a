// Sprite sheets: sprites drawn in a grid of cells, exactly as the editor's browser
// draws them, for pictures written to files or put on the clipboard.
#pragma once

#include <cstdint>
#include <vector>

#include "core/Objects.h"
#include "core/Palette.h"
#include "core/RgbaImage.h"
#include "core/Types.h"

namespace kelmora
{

// The colour of cells past the last sprite of the final row (opaque dark grey, a
// colour no C64 palette has, so a picture importer can tell these cells apart).
constexpr std::uint32_t kSheetEmptyCell = 0xFF202020u;

// Slots first..last in rows of columns cells (fewer when there are fewer sprites),
// each cell 24 x 21 pixels times scale, every pixel opaque. Each sprite is drawn with
// its own colour and the bank's shared colours from colours (0x00RRGGBB by colour
// number), multicolour pixels double wide, and the next sprite on top when its
// overlay flag is set. An empty picture for a null block or colours, a slot outside
// 0..255, first > last, columns or scale below 1, or a picture over 2^28 pixels.
RgbaImage RenderSheet(const SpriteBank& bank, int first, int last, int columns, int scale,
                      const std::uint32_t colours[kPaletteColours]);

// Objects drawn in the same way, one picture a cell: frames in rows of columns cells
// (fewer when there are fewer frames), each cell as large as the largest object's
// picture times scale, an object at its cell's top left. Cells whose sprite is not in
// use, what a smaller object leaves of its cell and the cells past the last frame are
// kSheetEmptyCell. Empty for a null block or colours, no frames, an object that is not
// sound (ObjectProblem), columns or scale below 1, or a picture over 2^28 pixels.
RgbaImage RenderObjectSheet(const SpriteBank& bank, const std::vector<SpriteObject>& frames, int columns,
                            int scale, const std::uint32_t colours[kPaletteColours]);

} // namespace kelmora
