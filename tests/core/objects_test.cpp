// The object record: making, proposing, checking, its JSON form, and the mapping
// between its picture and its cells' sprite pixels.
#include "CoreTestSupport.h"

#include <nlohmann/json.hpp>

using namespace kelmora;
using namespace kelmora_test;
using nlohmann::json;

namespace
{

// A cleared block in which sprites `flagged` carry the overlay flag.
struct Bank64 : GuardedBlock
{
    SpriteBank bank{64, 11, 2, 9, 14, nullptr, 0, 0, 0, 2};
    Bank64()
    {
        ClearBank(block());
        bank.sprites = block();
    }
    void flag(int index) { slot(index)[kAttributeByte] |= kAttrOverlay; }
    void hires(int index, u8 colour) { slot(index)[kAttributeByte] = colour; }
    void multi(int index, u8 colour)
    {
        slot(index)[kAttributeByte] = static_cast<u8>(kAttrMulticolour | colour);
    }
};

std::string Grid(const std::optional<SpriteObject>& o)
{
    if (!o) return "none";
    std::string text = std::to_string(o->columns) + "x" + std::to_string(o->rows) + ":";
    for (int slot : o->cells)
        text += " " + std::to_string(slot);
    if (!o->overlayCells.empty()) text += " /";
    for (int slot : o->overlayCells)
        text += " " + std::to_string(slot);
    return text;
}

} // namespace

TEST(Objects, DefaultObjectsAndProposalsFromTheSelection)
{
    EXPECT_EQ(Grid(MakeObject("a", 10, 3, 2)), "3x2: 10 11 12 13 14 15");
    EXPECT_EQ(Grid(MakeObject("a", 255)), "1x1: 255");
    EXPECT_EQ(Grid(MakeObject("a", 250, 2, 4)), "none"); // would reach slot 257
    EXPECT_EQ(Grid(MakeObject("a", 0, 9, 1)), "none");
    EXPECT_EQ(Grid(MakeObject("a", 0, 1, 0)), "none");

    Bank64 b;
    const auto propose = [&b](int start, int end, int count = 64)
    { return Grid(ProposeObjectFromRange(b.block(), count, start, end, "new")); };
    EXPECT_EQ(propose(4, 7), "2x2: 4 5 6 7");
    EXPECT_EQ(propose(7, 4), "2x2: 4 5 6 7"); // a range given backwards
    EXPECT_EQ(propose(0, 5), "3x2: 0 1 2 3 4 5");
    EXPECT_EQ(propose(0, 6), "7x1: 0 1 2 3 4 5 6");
    EXPECT_EQ(propose(0, 8), "3x3: 0 1 2 3 4 5 6 7 8");
    // 11 sprites: no grid holds exactly 11, so 4 x 3 with the next sprite in use ...
    EXPECT_EQ(propose(20, 30), "4x3: 20 21 22 23 24 25 26 27 28 29 30 31");
    // ... unless the run ends the sprites in use: then the largest grid it fills.
    EXPECT_EQ(propose(20, 30, 31), "5x2: 20 21 22 23 24 25 26 27 28 29");
    EXPECT_EQ(propose(50, 80, 52), "2x1: 50 51"); // kept within the sprites in use
    const auto all = ProposeObjectFromRange(b.block(), 256, 0, 255, "all");
    EXPECT_EQ(all->columns * all->rows, 64);
    EXPECT_EQ(all->cells.back(), 63);
    EXPECT_FALSE(ProposeObjectFromRange(b.block(), 0, 0, 3, "x"));

    // Overlay pairs: every second sprite flagged makes each pair one cell with an overlay.
    for (int slot : {8, 10, 12, 14})
        b.flag(slot);
    EXPECT_EQ(propose(8, 15), "2x2: 8 10 12 14 / 9 11 13 15");
    EXPECT_EQ(propose(8, 11), "2x1: 8 10 / 9 11");
    EXPECT_EQ(propose(9, 12), "2x2: 9 10 11 12"); // starting on a second sprite: no pairs
    b.flag(11);
    EXPECT_EQ(propose(8, 15), "4x2: 8 9 10 11 12 13 14 15");
}

TEST(Objects, GridChangesAndOverlayLayers)
{
    SpriteObject o = *MakeObject("boss", 4, 2, 2); // 4 5 / 6 7
    ASSERT_TRUE(ResizeObject(o, 3, 2));
    EXPECT_EQ(Grid(o), "3x2: 4 5 8 6 7 9");
    ASSERT_TRUE(ResizeObject(o, 1, 1));
    EXPECT_EQ(Grid(o), "1x1: 4");
    EXPECT_FALSE(ResizeObject(o, 9, 1));
    ASSERT_TRUE(AddOverlayLayer(o, 5));
    EXPECT_EQ(Grid(o), "1x1: 4 / 5");
    ASSERT_TRUE(ResizeObject(o, 2, 1)); // the new cell and its overlay cell follow slot 5
    EXPECT_EQ(Grid(o), "2x1: 4 6 / 5 7");
    EXPECT_FALSE(AddOverlayLayer(o, 3));   // slot 4 is a cell
    EXPECT_FALSE(AddOverlayLayer(o, 255)); // slot 256
    EXPECT_EQ(Grid(o), "2x1: 4 6 / 5 7");
    SpriteObject high = *MakeObject("high", 254, 2, 1);
    EXPECT_FALSE(ResizeObject(high, 3, 1));
    EXPECT_EQ(high.columns, 2);
}

TEST(Objects, ProblemsNameTheObject)
{
    SpriteObject o = *MakeObject("boss", 0, 2, 2);
    EXPECT_EQ(ObjectProblem(o), "");
    const auto with = [&o](auto change)
    {
        SpriteObject copy = o;
        change(copy);
        return ObjectProblem(copy);
    };
    EXPECT_EQ(with([](SpriteObject& c) { c.name = ""; }), "An object has no name.");
    EXPECT_EQ(with([](SpriteObject& c) { c.name = "a\nb"; }),
              "Object \"a\nb\": the name holds a control character.");
    EXPECT_EQ(with([](SpriteObject& c) { c.name = "\xC3("; }), "An object's name is not valid UTF-8 text.");
    EXPECT_EQ(with(
                  [](SpriteObject& c)
                  {
                      c.name = "Kn\xC3\xB6"
                               "del";
                  }),
              "");
    EXPECT_EQ(with([](SpriteObject& c) { c.columns = 9; }),
              "Object \"boss\": columns and rows must be 1 to 8 (9 x 2).");
    EXPECT_EQ(with([](SpriteObject& c) { c.cells.pop_back(); }), "Object \"boss\": 3 cells for a grid of 4.");
    EXPECT_EQ(with([](SpriteObject& c) { c.cells[2] = 256; }),
              "Object \"boss\": cell 2 names slot 256, outside 0 to 255.");
    EXPECT_EQ(with(
                  [](SpriteObject& c) {
                      c.overlayCells = {4, 5};
                  }),
              "Object \"boss\": 2 overlay cells for a grid of 4.");
    EXPECT_EQ(with(
                  [](SpriteObject& c) {
                      c.overlayCells = {4, 5, 6, 1};
                  }),
              "Object \"boss\": slot 1 is both a cell and an overlay cell.");
    EXPECT_EQ(with([](SpriteObject& c) { c.cells = {3, 3, 3, 3}; }), ""); // one sprite in several cells

    EXPECT_EQ(ObjectsProblem({o, *MakeObject("walker", 8)}), "");
    EXPECT_EQ(ObjectsProblem({o, *MakeObject("boss", 8)}), "Two objects are named \"boss\".");

    EXPECT_EQ(ObjectUseProblem(o, 4), "");
    EXPECT_EQ(ObjectUseProblem(o, 3), "Object \"boss\": cell 3 uses sprite 3, beyond the 3 sprites in use.");
    o.overlayCells = {4, 5, 6, 7};
    EXPECT_EQ(ObjectUseProblem(o, 7),
              "Object \"boss\": overlay cell 3 uses sprite 7, beyond the 7 sprites in use.");
    EXPECT_TRUE(ObjectEditable(o, 8, true));
    EXPECT_FALSE(ObjectEditable(o, 7));
    o.cells = {0, 1, 2, 0};
    EXPECT_TRUE(ObjectEditable(o, 8));
    EXPECT_FALSE(ObjectEditable(o, 8, true));
}

TEST(Objects, JsonFormRoundTripsAndRefusesWhatIsNotAnObject)
{
    // The form other tools write.
    const json written = json::parse(R"({"name": "boss", "columns": 2, "rows": 2, "cells": [40, 41, 42, 43],
        "overlayCells": [44, 45, 46, 47], "hotspot": [12, 20], "note": "by hand"})");
    std::string problem = "stale";
    const auto boss = ObjectFromJson(written, problem);
    ASSERT_TRUE(boss) << problem;
    EXPECT_EQ(problem, "");
    EXPECT_EQ(Grid(boss), "2x2: 40 41 42 43 / 44 45 46 47");
    EXPECT_EQ(ObjectToJson(*boss), written); // keys this program does not know come back
    const auto again = ObjectFromJson(ObjectToJson(*boss), problem);
    ASSERT_TRUE(again);
    EXPECT_EQ(*again, *boss);

    const SpriteObject plain = *MakeObject("walker", 3, 3, 1);
    const json plainForm = ObjectToJson(plain);
    EXPECT_EQ(plainForm, json::parse(R"({"name": "walker", "columns": 3, "rows": 1, "cells": [3, 4, 5]})"));
    EXPECT_EQ(*ObjectFromJson(plainForm, problem), plain);
    EXPECT_TRUE(
        ObjectFromJson(json::parse(R"({"name":"n","columns":1,"rows":1,"cells":[0],"overlayCells":null})"),
                       problem)
            ->overlayCells.empty());

    const std::pair<const char*, const char*> refused[] = {
        {R"([1, 2])", "An object entry is not a JSON object."},
        {R"({"columns": 1, "rows": 1, "cells": [0]})", "An object has no name."},
        {R"({"name": 7, "columns": 1, "rows": 1, "cells": [0]})", "An object has no name."},
        {R"({"name": "boss", "columns": 9, "rows": 1, "cells": [0]})",
         "Object \"boss\": \"columns\" must be a whole number from 1 to 8."},
        {R"({"name": "boss", "columns": "2", "rows": 1, "cells": [0, 1]})",
         "Object \"boss\": \"columns\" must be a whole number from 1 to 8."},
        {R"({"name": "boss", "columns": 1, "rows": 1.5, "cells": [0]})",
         "Object \"boss\": \"rows\" must be a whole number from 1 to 8."},
        {R"({"name": "boss", "columns": 1, "rows": 1})",
         "Object \"boss\": \"cells\" must be a list of slots."},
        {R"({"name": "boss", "columns": 1, "rows": 1, "cells": [256]})",
         "Object \"boss\": \"cells\" must hold slots 0 to 255 only."},
        {R"({"name": "boss", "columns": 1, "rows": 1, "cells": [true]})",
         "Object \"boss\": \"cells\" must hold slots 0 to 255 only."},
        {R"({"name": "boss", "columns": 1, "rows": 1, "cells": [-1]})",
         "Object \"boss\": \"cells\" must hold slots 0 to 255 only."},
        {R"({"name": "boss", "columns": 2, "rows": 1, "cells": [0]})",
         "Object \"boss\": 1 cells for a grid of 2."},
        {R"({"name": "boss", "columns": 1, "rows": 1, "cells": [0], "overlayCells": 1})",
         "Object \"boss\": \"overlayCells\" must be a list of slots."},
        {R"({"name": "boss", "columns": 1, "rows": 1, "cells": [0], "overlayCells": [0]})",
         "Object \"boss\": slot 0 is both a cell and an overlay cell."},
    };
    for (const auto& [text, message] : refused)
    {
        EXPECT_FALSE(ObjectFromJson(json::parse(text), problem)) << text;
        EXPECT_EQ(problem, message) << text;
    }
}

TEST(Objects, PicturePointsMapToCellPixelsAcrossSeamsInBothModes)
{
    // 3 x 2 cells: 0 hires, 1 multicolour, 2 hires / 3 multicolour, 4 hires, 5 multicolour.
    Bank64 b;
    SpriteObject o = *MakeObject("mix", 10, 3, 2);
    for (int cell = 0; cell < 6; ++cell)
    {
        cell % 2 == 1 ? b.multi(10 + cell, 3) : b.hires(10 + cell, 4);
        b.hires(20 + cell, 1);
    }

    EXPECT_EQ(ObjectPictureWidth(o), 72);
    EXPECT_EQ(ObjectPictureHeight(o), 42);
    const auto at = [&](int layer, int x, int y)
    {
        const auto p = CellPixelAt(b.block(), o, layer, x, y);
        return p ? std::to_string(p->cell) + "/" + std::to_string(p->slot) + " " + std::to_string(p->x) +
                       "," + std::to_string(p->y)
                 : std::string("none");
    };
    EXPECT_EQ(at(kUnderlayLayer, 23, 20), "0/10 23,20");
    EXPECT_EQ(at(kUnderlayLayer, 24, 20), "1/11 0,20"); // the seam: a multicolour cell's first pixel
    EXPECT_EQ(at(kUnderlayLayer, 47, 0), "1/11 11,0");
    EXPECT_EQ(at(kUnderlayLayer, 48, 21), "5/15 0,0");
    EXPECT_EQ(at(kUnderlayLayer, 13, 21), "3/13 6,0"); // x / 2 in a multicolour cell
    EXPECT_EQ(at(kUnderlayLayer, 72, 0), "none");
    EXPECT_EQ(at(kUnderlayLayer, -1, 0), "none");
    EXPECT_EQ(at(kUnderlayLayer, 0, 42), "none");
    EXPECT_EQ(at(kOverlayLayer, 0, 0), "none"); // no overlay layer
    ASSERT_TRUE(AddOverlayLayer(o, 20));
    b.multi(23, 1); // a multicolour overlay sprite is read in its own mode
    EXPECT_EQ(at(kOverlayLayer, 30, 5), "1/21 6,5");
    EXPECT_EQ(at(kOverlayLayer, 9, 30), "3/23 4,9");

    // Back: every picture point lies in the span of the pixel it maps to, which is one
    // or two pixels wide by the cell's mode, and every sprite pixel maps back.
    int spans = 0;
    for (int layer : {kUnderlayLayer, kOverlayLayer})
        for (int y = 0; y < ObjectPictureHeight(o); ++y)
            for (int x = 0; x < ObjectPictureWidth(o); ++x)
            {
                const auto p = CellPixelAt(b.block(), o, layer, x, y);
                ASSERT_TRUE(p);
                const auto span = PictureSpanOf(b.block(), o, layer, p->cell, p->x, p->y);
                ASSERT_TRUE(span);
                EXPECT_EQ(span->width, IsMulticolour(b.block(), p->slot) ? 2 : 1);
                EXPECT_TRUE(span->y == y && x >= span->x && x < span->x + span->width) << x << "," << y;
                spans += span->x == x ? 1 : 0;
            }
    EXPECT_EQ(spans, (3 * 504 + 3 * 252) + (5 * 504 + 252));             // the sprite pixels of both layers
    EXPECT_FALSE(PictureSpanOf(b.block(), o, kUnderlayLayer, 1, 12, 0)); // x 12 of a multicolour sprite
    EXPECT_FALSE(PictureSpanOf(b.block(), o, kUnderlayLayer, 6, 0, 0));
}

TEST(Objects, ThePictureShowsOverlayPairsAsTheBrowserDoes)
{
    Bank64 b;
    SpriteObject o = *MakeObject("pair", 0, 2, 1);
    ASSERT_TRUE(AddOverlayLayer(o, 2));
    b.multi(0, 7);
    b.multi(1, 8);
    b.hires(2, 1);
    b.hires(3, 6);
    SetPixel(b.block(), 0, 0, 0, 1); // picture (0..1, 0): multi-colour 1
    SetPixel(b.block(), 0, 1, 0, 2); // picture (2..3, 0): the sprite's colour 7
    SetPixel(b.block(), 2, 3, 0, 2); // an overlay pixel over the right half of that pair
    SetPixel(b.block(), 1, 0, 0, 3); // picture (24..25, 0)
    SetPixel(b.block(), 3, 0, 0, 2); // an overlay pixel at 24 in the overlay's colour 6
    SetPixel(b.block(), 1, 0, 1, 2); // picture (24..25, 1): colour 8

    const std::vector<int> values = ObjectPictureValues(b.bank, o);
    const std::vector<int> colours = ObjectPictureColours(b.bank, o);
    ASSERT_EQ(values.size(), 48u * 21);
    const int expectValues[] = {1, 1, 2, kOverlayPen, 0};
    const int expectColours[] = {2, 2, 7, 1, 11};
    for (int x = 0; x < 5; ++x)
    {
        EXPECT_EQ(values[x], expectValues[x]) << x;
        EXPECT_EQ(colours[x], expectColours[x]) << x;
    }
    EXPECT_EQ(values[24], kOverlayPen);
    EXPECT_EQ(colours[24], 6);
    EXPECT_EQ(values[25], 3);
    EXPECT_EQ(colours[25], 14);
    EXPECT_EQ(colours[48 + 25], 8);

    // A multicolour overlay sprite's values read as kOverlayValueBase + value.
    b.multi(3, 6);
    EXPECT_EQ(ObjectPixelValue(b.bank, o, 24, 0), kOverlayValueBase + 2);
    EXPECT_EQ(ObjectPixelValue(b.bank, o, 25, 0), kOverlayValueBase + 2);
    b.hires(3, 6);

    // The 1:1 drawing matches the colours read, pixel for pixel.
    PaletteTables tables{};
    BuildPaletteTables(kBuiltInPalette, tables);
    const RenderColours render{
        {b.bank.colourTransp, b.bank.colourMulti1, 0, b.bank.colourMulti2}, tables.base, tables.highlight};
    std::vector<std::uint32_t> pixels(48 * 21, 0xDEAD);
    RenderObjectPixels(b.bank, o, render, 0, pixels.data(), 48);
    for (std::size_t i = 0; i < pixels.size(); ++i)
        ASSERT_EQ(pixels[i], tables.base[colours[i]]) << i;

    // The underlay alone (the overlay hidden), then the overlay alone over a blank.
    std::vector<std::uint32_t> under(48 * 21, 0xDEAD);
    RenderObjectLayer(b.bank, o, kUnderlayLayer, render, 0, under.data(), 48);
    EXPECT_EQ(under[3], tables.base[7]);
    EXPECT_EQ(under[24], tables.base[14]);
    std::vector<std::uint32_t> over(48 * 21, 0xDEAD);
    RenderObjectLayer(b.bank, o, kOverlayLayer, render, 0, over.data(), 48);
    EXPECT_EQ(over[3], tables.base[1]);
    EXPECT_EQ(over[24], tables.base[6]);
    EXPECT_EQ(std::count(over.begin(), over.end(), 0xDEADu), 48 * 21 - 2);

    // An overlay sprite beyond the sprites in use shows nothing, as in the browser; a
    // cell beyond them shows nothing at all.
    b.bank.spriteCount = 3;
    EXPECT_EQ(ObjectPixelValue(b.bank, o, 24, 0), 3);
    EXPECT_EQ(ObjectPixelValue(b.bank, o, 3, 0), kOverlayPen);
    b.bank.spriteCount = 1;
    EXPECT_EQ(ObjectPixelValue(b.bank, o, 24, 0), -1);
    EXPECT_EQ(ObjectPixelColour(b.bank, o, 24, 0), -1);
    std::fill(pixels.begin(), pixels.end(), 0xDEAD);
    RenderObjectPixels(b.bank, o, render, 0, pixels.data(), 48);
    EXPECT_EQ(pixels[30], 0xDEADu);
    EXPECT_EQ(pixels[3], tables.base[7]);
}

TEST(Objects, FramesOfAnObjectSteppedThroughTheBank)
{
    // A 2 x 1 object of overlay pairs spans slots 10..13; its frames follow every 4 slots.
    SpriteObject pair = *MakeObject("pair", 10, 2, 1);
    pair.cells = {10, 12};
    pair.overlayCells = {11, 13};
    EXPECT_EQ(ObjectSlotSpan(pair), 4);
    EXPECT_EQ(Grid(PlaceObject(pair, 0)), "2x1: 0 2 / 1 3");
    EXPECT_EQ(Grid(PlaceObject(pair, 252)), "2x1: 252 254 / 253 255");
    EXPECT_EQ(Grid(PlaceObject(pair, 253)), "none");
    EXPECT_EQ(Grid(PlaceObject(pair, -1)), "none");
    EXPECT_EQ(PlaceObject(pair, 20)->name, "pair");

    // Cells in any order: the lowest slot is the one placed.
    SpriteObject odd = *MakeObject("odd", 0, 2, 1);
    odd.cells = {7, 3};
    EXPECT_EQ(ObjectSlotSpan(odd), 5);
    EXPECT_EQ(Grid(PlaceObject(odd, 0)), "2x1: 4 0");

    std::vector<std::string> frames;
    for (const SpriteObject& frame : ObjectFramesInRange(pair, 0, 14))
        frames.push_back(Grid(frame));
    EXPECT_EQ(frames, (std::vector<std::string>{"2x1: 0 2 / 1 3", "2x1: 4 6 / 5 7", "2x1: 8 10 / 9 11"}));
    EXPECT_EQ(ObjectFramesInRange(pair, 250, 255).size(), 1u);
    EXPECT_TRUE(ObjectFramesInRange(pair, 0, 2).empty());
    EXPECT_TRUE(ObjectFramesInRange(SpriteObject(), 0, 255).empty());

    const std::vector<SpriteObject> objects{pair, odd};
    EXPECT_EQ(FindObject(objects, "odd"), &objects[1]);
    EXPECT_EQ(FindObject(objects, "Odd"), nullptr);
}

TEST(Objects, SheetOfObjectFramesDrawsEachAsThePictureIsRead)
{
    Bank64 b;
    for (int i = 0; i < 16; ++i)
    {
        b.multi(i, static_cast<u8>(i));
        for (int y = 0; y < 21; ++y)
            SetPixel(b.block(), i, (i + y) % 12, y, 1 + (i + y) % 3);
    }
    b.hires(1, 1);
    SpriteObject pair = *MakeObject("pair", 0, 2, 1);
    const std::vector<SpriteObject> frames = ObjectFramesInRange(pair, 0, 5); // slots 0-1, 2-3, 4-5
    ASSERT_EQ(frames.size(), 3u);
    b.bank.spriteCount = 5; // the last frame's right cell is not in use

    const RgbaImage sheet = RenderObjectSheet(b.bank, frames, 2, 3, kBuiltInPalette);
    ASSERT_EQ(sheet.width, 2 * 48 * 3);
    ASSERT_EQ(sheet.height, 2 * 21 * 3);
    for (int k = 0; k < 4; ++k)
        for (int y = 0; y < 63; ++y)
            for (int x = 0; x < 144; ++x)
            {
                const std::uint32_t shown =
                    sheet.pixels[static_cast<std::size_t>((k / 2 * 63 + y) * sheet.width + k % 2 * 144 + x)];
                const int colour =
                    k < 3 ? ObjectPixelColour(b.bank, frames[static_cast<std::size_t>(k)], x / 3, y / 3) : -1;
                ASSERT_EQ(shown, colour < 0 ? kSheetEmptyCell : (kBuiltInPalette[colour] | kOpaqueAlpha))
                    << "frame " << k << " at " << x << "," << y;
            }

    EXPECT_EQ(RenderObjectSheet(b.bank, frames, 8, 1, kBuiltInPalette).width, 3 * 48);
    pair.columns = 3;
    EXPECT_EQ(RenderObjectSheet(b.bank, {pair}, 1, 1, kBuiltInPalette).width, 0); // not a sound object
    EXPECT_EQ(RenderObjectSheet(b.bank, {}, 1, 1, kBuiltInPalette).width, 0);
    EXPECT_EQ(RenderObjectSheet(b.bank, frames, 0, 1, kBuiltInPalette).width, 0);
    EXPECT_EQ(RenderObjectSheet(b.bank, frames, 1, 1, nullptr).width, 0);
}
