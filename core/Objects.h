// Objects: a named grid of sprite cells edited as one picture, optionally with an
// overlay layer of sprites drawn over the cells. The record, its JSON form, the
// mapping between the picture and the cells' sprite pixels, and reading the picture.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json_fwd.hpp>

#include "core/Render.h"
#include "core/Types.h"

namespace kelmora
{

constexpr int kObjectMaxColumns = 8;
constexpr int kObjectMaxRows = 8;

// A grid of columns x rows cells, each a sprite slot. The picture is 24 x columns by
// 21 x rows hires pixels; cell (column, row) covers x 24 x column .. +23 and
// y 21 x row .. +20. The overlay layer, when there is one, holds one slot per cell too;
// its sprite is drawn over the cell's sprite, pixels of value 0 left out (as the
// browser draws a sprite with the "overlay next sprite" flag and its next sprite).
struct SpriteObject
{
    std::string name;
    int columns = 1;
    int rows = 1;
    std::vector<int> cells;        // columns x rows slots, row by row
    std::vector<int> overlayCells; // empty, or columns x rows slots, row by row
    // Keys of the object's JSON form that this program does not know, as the text of a
    // JSON object ("" when there are none); written back unchanged.
    std::string otherKeys;

    bool operator==(const SpriteObject& other) const;
    bool operator!=(const SpriteObject& other) const { return !(*this == other); }
};

enum ObjectLayer
{
    kUnderlayLayer = 0,
    kOverlayLayer = 1,
};

// A pixel of the composed picture reads as the value 0..3 of the cell's own sprite, or,
// where the overlay sprite has a pixel of value v other than 0, as kOverlayValueBase + v.
// A hires overlay pixel therefore reads kOverlayPen, the pen that paints it.
constexpr int kOverlayValueBase = 4;
constexpr int kOverlayPen = kOverlayValueBase + 2;

inline bool HasOverlayLayer(const SpriteObject& object)
{
    return !object.overlayCells.empty();
}
inline int ObjectPictureWidth(const SpriteObject& object)
{
    return kSpriteWidth * object.columns;
}
inline int ObjectPictureHeight(const SpriteObject& object)
{
    return kSpriteHeight * object.rows;
}

// ---- Making and checking objects ----

// The default object: columns x rows cells of consecutive slots from firstSlot, row by
// row, no overlay layer. Nothing when the grid is outside 1..8 or a slot would lie
// outside 0..255.
std::optional<SpriteObject> MakeObject(const std::string& name, int firstSlot, int columns = 1, int rows = 1);

// "New from the selection": a grid that holds the sprites rangeStart..rangeEnd (kept
// within the sprites in use). When the range is made of overlay pairs (every second
// sprite from the first has the overlay flag and the others have not), each pair is one
// cell: the flagged sprite in the cells, its next sprite in the overlay layer. The grid
// holds exactly the run where a grid of at most 8 x 8 can (as square as possible, never
// taller than wide); otherwise the smallest grid that holds it, its extra cells taking
// the sprites in use that follow the run, or, where those run out, the largest grid the
// run fills. A run longer than 64 cells gives its first 64. Nothing when no sprite is in use.
std::optional<SpriteObject> ProposeObjectFromRange(const u8* block, int spriteCount, int rangeStart,
                                                   int rangeEnd, const std::string& name);

// Changes the grid to columns x rows (1..8 each): cells keep their place in the grid,
// new cells (and their overlay cells) take the slots that follow the highest slot the
// object uses. False, with the object unchanged, when the object is not sound
// (ObjectProblem), the size is outside 1..8 or a new slot would lie beyond 255.
bool ResizeObject(SpriteObject& object, int columns, int rows);

// Gives the object an overlay layer of consecutive slots from firstSlot, row by row.
// False, with the object unchanged, when a slot would lie beyond 255 or be one of the
// object's cells.
bool AddOverlayLayer(SpriteObject& object, int firstSlot);

// "" when the object is sound, otherwise what is wrong, naming the object: a name that is
// empty, not UTF-8 or holds control characters; a grid outside 1..8; a cell count that
// differs from columns x rows; a slot outside 0..255; a slot in both layers.
std::string ObjectProblem(const SpriteObject& object);
// The same for the objects of one project, whose names must also differ.
std::string ObjectsProblem(const std::vector<SpriteObject>& objects);
// "" when every slot of the object holds a sprite in use (below spriteCount), otherwise
// which cell does not. Painting and transforms refuse an object with such a cell: its
// sprite is not saved with the project.
std::string ObjectUseProblem(const SpriteObject& object, int spriteCount);
// True when the object is sound, every slot is in use, and with `distinctSlots` also no
// slot appears twice (whole-object transforms need each cell to be its own sprite).
bool ObjectEditable(const SpriteObject& object, int spriteCount, bool distinctSlots = false);

// The object of this name, or null.
const SpriteObject* FindObject(const std::vector<SpriteObject>& objects, const std::string& name);

// ---- Objects stepped through the bank ----
// An animated object keeps its frames in runs of slots one after the other: frame k uses
// the slots of frame 0 moved on by k times the object's span.

// How many slots the object reaches over, from its lowest slot to its highest (both
// layers): 8 for a 2 x 2 object of overlay pairs 0..7. 0 when it has no cells.
int ObjectSlotSpan(const SpriteObject& object);
// The object with every slot of both layers moved by the same amount, so that its lowest
// slot is firstSlot. Nothing when a slot would lie outside 0..255 or the object has no cells.
std::optional<SpriteObject> PlaceObject(const SpriteObject& object, int firstSlot);
// The object placed at first, first + span, first + 2 x span, ... for as long as its
// highest slot stays within last. Empty when not even the first placement fits.
std::vector<SpriteObject> ObjectFramesInRange(const SpriteObject& object, int first, int last);

// ---- JSON form ----
// {"name": "boss", "columns": 2, "rows": 2, "cells": [slots row by row],
//  "overlayCells": [slots row by row]}, overlayCells only when there is a layer.

nlohmann::json ObjectToJson(const SpriteObject& object);
// The object a JSON value describes; nothing, with `problem` saying what is wrong and
// naming the object, when it is not a sound object (as ObjectProblem checks).
std::optional<SpriteObject> ObjectFromJson(const nlohmann::json& value, std::string& problem);

// ---- The picture and the cells ----

// A sprite pixel of one cell: the cell (row by row), its slot in the layer asked for,
// and the pixel in the sprite's own mode (x 0..11 on a multicolour sprite).
struct CellPixel
{
    int cell;
    int slot;
    int x;
    int y;
};

// The picture pixels a sprite pixel covers: width 1 (hires) or 2 (multicolour) from x.
struct PictureSpan
{
    int x;
    int y;
    int width;
};

// The cell under picture point (px, py), or -1 outside the picture.
int ObjectCellAt(const SpriteObject& object, int px, int py);
// The sprite pixel of the layer that shows picture point (px, py): a multicolour cell's
// pixel x is the point's x within the cell halved. Nothing outside the picture, on a
// layer the object lacks, or on a slot outside 0..255 or a null block.
std::optional<CellPixel> CellPixelAt(const u8* block, const SpriteObject& object, int layer, int px, int py);
// The picture pixels that pixel (x, y) of the layer's sprite in `cell` covers; nothing
// when that pixel lies outside the sprite (x 0..11 on a multicolour sprite).
std::optional<PictureSpan> PictureSpanOf(const u8* block, const SpriteObject& object, int layer, int cell,
                                         int x, int y);

// The composed value of picture point (px, py) (see kOverlayValueBase), or -1 outside
// the picture and in a cell whose sprite is not in use (as the browser, which draws
// nothing there).
int ObjectPixelValue(const SpriteBank& bank, const SpriteObject& object, int px, int py);
// The colour number 0..15 the point shows (value 0 the background, 1 and 3 the shared
// multi-colours, 2 the sprite's own colour: the overlay sprite's for overlay pixels), or
// -1 where ObjectPixelValue is -1.
int ObjectPixelColour(const SpriteBank& bank, const SpriteObject& object, int px, int py);
// The whole picture, row by row (ObjectPictureWidth x ObjectPictureHeight entries).
std::vector<int> ObjectPictureValues(const SpriteBank& bank, const SpriteObject& object);
std::vector<int> ObjectPictureColours(const SpriteBank& bank, const SpriteObject& object);
// Draws the picture 1:1 as the browser draws overlay pairs: each cell's sprite, then
// its overlay sprite with value-0 pixels left out. Cells whose sprite is not in use are
// left untouched; `flags` may add kRenderHighlight.
void RenderObjectPixels(const SpriteBank& bank, const SpriteObject& object, const RenderColours& colours,
                        int flags, std::uint32_t* pixels, int rowStride);
// One layer of that drawing: the cells' sprites drawn opaque, or the overlay sprites with
// value-0 pixels left out (nothing on an object without an overlay layer). Drawing the
// overlay with other colour tables dims it; leaving it out hides it.
void RenderObjectLayer(const SpriteBank& bank, const SpriteObject& object, int layer,
                       const RenderColours& colours, int flags, std::uint32_t* pixels, int rowStride);

} // namespace kelmora
