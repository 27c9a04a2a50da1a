// The object record, its JSON form, and the mapping between its picture and its cells.
#include "core/Objects.h"

#include <algorithm>
#include <set>
#include <utility>

#include <nlohmann/json.hpp>

#include "core/Pixels.h"

namespace kelmora
{

namespace
{

bool Multicolour(const u8* block, int slot)
{
    return (block[slot * kSpriteBytes + kAttributeByte] & kAttrMulticolour) != 0;
}

bool OverlayFlag(const u8* block, int slot)
{
    return (block[slot * kSpriteBytes + kAttributeByte] & kAttrOverlay) != 0;
}

const std::vector<int>* LayerCells(const SpriteObject& object, int layer)
{
    if (layer == kUnderlayLayer) return &object.cells;
    if (layer == kOverlayLayer && HasOverlayLayer(object)) return &object.overlayCells;
    return nullptr;
}

bool ValidUtf8(const std::string& text)
{
    std::size_t i = 0;
    while (i < text.size())
    {
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        int length = 0;
        unsigned minimum = 0, code = 0;
        if (lead < 0x80)
            length = 1, code = lead;
        else if (lead >= 0xC2 && lead <= 0xDF)
            length = 2, code = lead & 0x1Fu, minimum = 0x80;
        else if (lead >= 0xE0 && lead <= 0xEF)
            length = 3, code = lead & 0x0Fu, minimum = 0x800;
        else if (lead >= 0xF0 && lead <= 0xF4)
            length = 4, code = lead & 0x07u, minimum = 0x10000;
        else
            return false;
        if (i + length > text.size()) return false;
        for (int k = 1; k < length; ++k)
        {
            const unsigned char next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            code = (code << 6) | (next & 0x3Fu);
        }
        if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
        i += length;
    }
    return true;
}

std::string Named(const std::string& name)
{
    if (name.empty() || !ValidUtf8(name)) return "An object";
    return "Object \"" + name + "\"";
}

// The grid of `count` cells (1..64) closest to square, never taller than wide, among
// those of exactly `count` cells; {0, 0} when no grid of at most 8 x 8 has exactly that many.
std::pair<int, int> ExactGrid(int count)
{
    std::pair<int, int> best{0, 0};
    for (int rows = 1; rows <= kObjectMaxRows; ++rows)
    {
        if (count % rows != 0) continue;
        const int columns = count / rows;
        if (columns < rows || columns > kObjectMaxColumns) continue;
        if (best.first == 0 || columns - rows < best.first - best.second) best = {columns, rows};
    }
    return best;
}

} // namespace

bool SpriteObject::operator==(const SpriteObject& other) const
{
    return name == other.name && columns == other.columns && rows == other.rows && cells == other.cells &&
           overlayCells == other.overlayCells && otherKeys == other.otherKeys;
}

// ---- Making and checking ----

std::optional<SpriteObject> MakeObject(const std::string& name, int firstSlot, int columns, int rows)
{
    if (columns < 1 || columns > kObjectMaxColumns || rows < 1 || rows > kObjectMaxRows) return std::nullopt;
    if (!ValidSlot(firstSlot) || !ValidSlot(firstSlot + columns * rows - 1)) return std::nullopt;
    SpriteObject object;
    object.name = name;
    object.columns = columns;
    object.rows = rows;
    for (int i = 0; i < columns * rows; ++i)
        object.cells.push_back(firstSlot + i);
    return object;
}

std::optional<SpriteObject> ProposeObjectFromRange(const u8* block, int spriteCount, int rangeStart,
                                                   int rangeEnd, const std::string& name)
{
    const int inUse = std::min(spriteCount, kSlotCount);
    if (block == nullptr || inUse <= 0) return std::nullopt;
    const int first = std::clamp(std::min(rangeStart, rangeEnd), 0, inUse - 1);
    const int last = std::clamp(std::max(rangeStart, rangeEnd), 0, inUse - 1);
    const int length = last - first + 1;

    bool pairs = length % 2 == 0;
    for (int k = 0; pairs && k < length; ++k)
        pairs = OverlayFlag(block, first + k) == (k % 2 == 0);
    const int stride = pairs ? 2 : 1;
    const int run = std::min(length / stride, kObjectMaxColumns * kObjectMaxRows);

    std::pair<int, int> grid = ExactGrid(run);
    if (grid.first == 0)
    {
        // The smallest grid that holds the run with the sprites that follow it, if they
        // are in use; else the largest grid the run fills.
        const int available = (inUse - first) / stride;
        for (int cells = run + 1; cells <= std::min(available, 64) && grid.first == 0; ++cells)
            grid = ExactGrid(cells);
        for (int cells = run - 1; cells >= 1 && grid.first == 0; --cells)
            grid = ExactGrid(cells);
    }

    SpriteObject object;
    object.name = name;
    object.columns = grid.first;
    object.rows = grid.second;
    for (int i = 0; i < grid.first * grid.second; ++i)
    {
        object.cells.push_back(first + stride * i);
        if (pairs) object.overlayCells.push_back(first + stride * i + 1);
    }
    return object;
}

bool ResizeObject(SpriteObject& object, int columns, int rows)
{
    if (columns < 1 || columns > kObjectMaxColumns || rows < 1 || rows > kObjectMaxRows) return false;
    if (!ObjectProblem(object).empty()) return false;
    int next = 0;
    for (int slot : object.cells)
        next = std::max(next, slot + 1);
    for (int slot : object.overlayCells)
        next = std::max(next, slot + 1);

    const bool overlay = HasOverlayLayer(object);
    std::vector<int> cells, overlayCells;
    for (int row = 0; row < rows; ++row)
        for (int column = 0; column < columns; ++column)
        {
            if (row < object.rows && column < object.columns)
            {
                cells.push_back(object.cells[row * object.columns + column]);
                if (overlay) overlayCells.push_back(object.overlayCells[row * object.columns + column]);
                continue;
            }
            cells.push_back(next++);
            if (overlay) overlayCells.push_back(next++);
        }
    if (next > kSlotCount) return false;
    object.columns = columns;
    object.rows = rows;
    object.cells = std::move(cells);
    object.overlayCells = std::move(overlayCells);
    return true;
}

bool AddOverlayLayer(SpriteObject& object, int firstSlot)
{
    const int count = static_cast<int>(object.cells.size());
    if (count == 0 || !ValidSlot(firstSlot) || !ValidSlot(firstSlot + count - 1)) return false;
    for (int slot : object.cells)
        if (slot >= firstSlot && slot < firstSlot + count) return false;
    object.overlayCells.clear();
    for (int i = 0; i < count; ++i)
        object.overlayCells.push_back(firstSlot + i);
    return true;
}

std::string ObjectProblem(const SpriteObject& object)
{
    const std::string who = Named(object.name);
    if (object.name.empty()) return "An object has no name.";
    if (!ValidUtf8(object.name)) return "An object's name is not valid UTF-8 text.";
    for (unsigned char c : object.name)
        if (c < 0x20 || c == 0x7F) return who + ": the name holds a control character.";
    if (object.columns < 1 || object.columns > kObjectMaxColumns || object.rows < 1 ||
        object.rows > kObjectMaxRows)
        return who + ": columns and rows must be 1 to 8 (" + std::to_string(object.columns) + " x " +
               std::to_string(object.rows) + ").";
    const std::size_t count = static_cast<std::size_t>(object.columns * object.rows);
    if (object.cells.size() != count)
        return who + ": " + std::to_string(object.cells.size()) + " cells for a grid of " +
               std::to_string(count) + ".";
    if (!object.overlayCells.empty() && object.overlayCells.size() != count)
        return who + ": " + std::to_string(object.overlayCells.size()) + " overlay cells for a grid of " +
               std::to_string(count) + ".";
    for (std::size_t i = 0; i < count; ++i)
        if (!ValidSlot(object.cells[i]))
            return who + ": cell " + std::to_string(i) + " names slot " + std::to_string(object.cells[i]) +
                   ", outside 0 to 255.";
    const std::set<int> underlay(object.cells.begin(), object.cells.end());
    for (std::size_t i = 0; i < object.overlayCells.size(); ++i)
    {
        const int slot = object.overlayCells[i];
        if (!ValidSlot(slot))
            return who + ": overlay cell " + std::to_string(i) + " names slot " + std::to_string(slot) +
                   ", outside 0 to 255.";
        if (underlay.count(slot) != 0)
            return who + ": slot " + std::to_string(slot) + " is both a cell and an overlay cell.";
    }
    return "";
}

std::string ObjectsProblem(const std::vector<SpriteObject>& objects)
{
    std::set<std::string> names;
    for (const SpriteObject& object : objects)
    {
        std::string problem = ObjectProblem(object);
        if (!problem.empty()) return problem;
        if (!names.insert(object.name).second) return "Two objects are named \"" + object.name + "\".";
    }
    return "";
}

std::string ObjectUseProblem(const SpriteObject& object, int spriteCount)
{
    const auto check = [&](const std::vector<int>& cells, const char* kind) -> std::string
    {
        for (std::size_t i = 0; i < cells.size(); ++i)
            if (cells[i] >= spriteCount)
                return Named(object.name) + ": " + kind + std::to_string(i) + " uses sprite " +
                       std::to_string(cells[i]) + ", beyond the " + std::to_string(spriteCount) +
                       " sprites in use.";
        return "";
    };
    std::string problem = check(object.cells, "cell ");
    return problem.empty() ? check(object.overlayCells, "overlay cell ") : problem;
}

bool ObjectEditable(const SpriteObject& object, int spriteCount, bool distinctSlots)
{
    if (!ObjectProblem(object).empty() || !ObjectUseProblem(object, spriteCount).empty()) return false;
    if (!distinctSlots) return true;
    std::set<int> slots(object.cells.begin(), object.cells.end());
    slots.insert(object.overlayCells.begin(), object.overlayCells.end());
    return slots.size() == object.cells.size() + object.overlayCells.size();
}

const SpriteObject* FindObject(const std::vector<SpriteObject>& objects, const std::string& name)
{
    for (const SpriteObject& object : objects)
        if (object.name == name) return &object;
    return nullptr;
}

// ---- Objects stepped through the bank ----

namespace
{

// The lowest and highest slot of both layers; {0, -1} without cells.
std::pair<int, int> SlotBounds(const SpriteObject& object)
{
    if (object.cells.empty()) return {0, -1};
    int low = object.cells.front(), high = low;
    for (const std::vector<int>* layer : {&object.cells, &object.overlayCells})
        for (int slot : *layer)
        {
            low = std::min(low, slot);
            high = std::max(high, slot);
        }
    return {low, high};
}

} // namespace

int ObjectSlotSpan(const SpriteObject& object)
{
    const auto [low, high] = SlotBounds(object);
    return high - low + 1;
}

std::optional<SpriteObject> PlaceObject(const SpriteObject& object, int firstSlot)
{
    const auto [low, high] = SlotBounds(object);
    if (high < low || !ValidSlot(firstSlot) || !ValidSlot(firstSlot + (high - low))) return std::nullopt;
    SpriteObject placed = object;
    for (std::vector<int>* layer : {&placed.cells, &placed.overlayCells})
        for (int& slot : *layer)
            slot += firstSlot - low;
    return placed;
}

std::vector<SpriteObject> ObjectFramesInRange(const SpriteObject& object, int first, int last)
{
    std::vector<SpriteObject> frames;
    const int span = ObjectSlotSpan(object);
    if (span < 1) return frames;
    for (int start = std::max(first, 0); start + span - 1 <= std::min(last, kSlotCount - 1); start += span)
        if (std::optional<SpriteObject> placed = PlaceObject(object, start))
            frames.push_back(std::move(*placed));
    return frames;
}

// ---- JSON form ----

nlohmann::json ObjectToJson(const SpriteObject& object)
{
    nlohmann::json value = nlohmann::json::object();
    if (!object.otherKeys.empty())
    {
        nlohmann::json other = nlohmann::json::parse(object.otherKeys, nullptr, false);
        if (other.is_object()) value = std::move(other);
    }
    value["name"] = object.name;
    value["columns"] = object.columns;
    value["rows"] = object.rows;
    value["cells"] = object.cells;
    if (HasOverlayLayer(object))
        value["overlayCells"] = object.overlayCells;
    else
        value.erase("overlayCells");
    return value;
}

std::optional<SpriteObject> ObjectFromJson(const nlohmann::json& value, std::string& problem)
{
    problem.clear();
    if (!value.is_object())
    {
        problem = "An object entry is not a JSON object.";
        return std::nullopt;
    }
    SpriteObject object;
    const auto name = value.find("name");
    if (name == value.end() || !name->is_string())
    {
        problem = "An object has no name.";
        return std::nullopt;
    }
    object.name = name->get<std::string>();
    const std::string who = Named(object.name);

    const auto size = [&](const char* key, int& into) -> bool
    {
        const auto field = value.find(key);
        if (field == value.end() || !field->is_number_integer() || *field < 1 || *field > 8)
        {
            problem = who + ": \"" + key + "\" must be a whole number from 1 to 8.";
            return false;
        }
        into = field->get<int>();
        return true;
    };
    const auto slots = [&](const char* key, std::vector<int>& into) -> bool
    {
        const auto field = value.find(key);
        if (field == value.end() || !field->is_array())
        {
            problem = who + ": \"" + key + "\" must be a list of slots.";
            return false;
        }
        for (const auto& slot : *field)
        {
            if (!slot.is_number_integer() || slot < 0 || slot > 255)
            {
                problem = who + ": \"" + key + "\" must hold slots 0 to 255 only.";
                return false;
            }
            into.push_back(slot.get<int>());
        }
        return true;
    };
    if (!size("columns", object.columns) || !size("rows", object.rows) || !slots("cells", object.cells))
        return std::nullopt;
    const auto overlay = value.find("overlayCells");
    if (overlay != value.end() && !overlay->is_null() && !slots("overlayCells", object.overlayCells))
        return std::nullopt;

    nlohmann::json other = value;
    for (const char* key : {"name", "columns", "rows", "cells", "overlayCells"})
        other.erase(key);
    if (!other.empty()) object.otherKeys = other.dump();

    problem = ObjectProblem(object);
    if (!problem.empty()) return std::nullopt;
    return object;
}

// ---- The picture and the cells ----

int ObjectCellAt(const SpriteObject& object, int px, int py)
{
    if (px < 0 || py < 0 || px >= ObjectPictureWidth(object) || py >= ObjectPictureHeight(object)) return -1;
    const int cell = (py / kSpriteHeight) * object.columns + px / kSpriteWidth;
    return cell < static_cast<int>(object.cells.size()) ? cell : -1;
}

std::optional<CellPixel> CellPixelAt(const u8* block, const SpriteObject& object, int layer, int px, int py)
{
    const std::vector<int>* cells = LayerCells(object, layer);
    const int cell = ObjectCellAt(object, px, py);
    if (block == nullptr || cells == nullptr || cell < 0 || cell >= static_cast<int>(cells->size()))
        return std::nullopt;
    const int slot = (*cells)[cell];
    if (!ValidSlot(slot)) return std::nullopt;
    const int x = px % kSpriteWidth;
    return CellPixel{cell, slot, Multicolour(block, slot) ? x / 2 : x, py % kSpriteHeight};
}

std::optional<PictureSpan> PictureSpanOf(const u8* block, const SpriteObject& object, int layer, int cell,
                                         int x, int y)
{
    const std::vector<int>* cells = LayerCells(object, layer);
    if (block == nullptr || cells == nullptr || cell < 0 || cell >= static_cast<int>(cells->size()) ||
        object.columns < 1)
        return std::nullopt;
    const int slot = (*cells)[cell];
    if (!ValidSlot(slot)) return std::nullopt;
    const int width = Multicolour(block, slot) ? 2 : 1;
    if (x < 0 || x >= kSpriteWidth / width || y < 0 || y >= kSpriteHeight) return std::nullopt;
    return PictureSpan{(cell % object.columns) * kSpriteWidth + x * width,
                       (cell / object.columns) * kSpriteHeight + y, width};
}

int ObjectPixelValue(const SpriteBank& bank, const SpriteObject& object, int px, int py)
{
    const std::optional<CellPixel> under = CellPixelAt(bank.sprites, object, kUnderlayLayer, px, py);
    if (!under || under->slot >= bank.spriteCount) return -1;
    if (HasOverlayLayer(object))
    {
        const std::optional<CellPixel> over = CellPixelAt(bank.sprites, object, kOverlayLayer, px, py);
        if (over && over->slot < bank.spriteCount)
        {
            const int value = GetPixel(bank.sprites, over->slot, over->x, over->y);
            if (value > 0) return kOverlayValueBase + value;
        }
    }
    return GetPixel(bank.sprites, under->slot, under->x, under->y);
}

int ObjectPixelColour(const SpriteBank& bank, const SpriteObject& object, int px, int py)
{
    const int value = ObjectPixelValue(bank, object, px, py);
    if (value < 0) return -1;
    const int layer = value >= kOverlayValueBase ? kOverlayLayer : kUnderlayLayer;
    const int pen = value % kOverlayValueBase;
    if (pen != 2) return ColourOfValue(bank, pen) & kAttrColourMask;
    const int slot = (*LayerCells(object, layer))[ObjectCellAt(object, px, py)];
    return bank.sprites[slot * kSpriteBytes + kAttributeByte] & kAttrColourMask;
}

std::vector<int> ObjectPictureValues(const SpriteBank& bank, const SpriteObject& object)
{
    std::vector<int> values;
    if (!ObjectProblem(object).empty()) return values;
    const int width = ObjectPictureWidth(object), height = ObjectPictureHeight(object);
    values.reserve(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            values.push_back(ObjectPixelValue(bank, object, x, y));
    return values;
}

std::vector<int> ObjectPictureColours(const SpriteBank& bank, const SpriteObject& object)
{
    std::vector<int> colours;
    if (!ObjectProblem(object).empty()) return colours;
    const int width = ObjectPictureWidth(object), height = ObjectPictureHeight(object);
    colours.reserve(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            colours.push_back(ObjectPixelColour(bank, object, x, y));
    return colours;
}

void RenderObjectLayer(const SpriteBank& bank, const SpriteObject& object, int layer,
                       const RenderColours& colours, int flags, std::uint32_t* pixels, int rowStride)
{
    const std::vector<int>* cells = LayerCells(object, layer);
    if (pixels == nullptr || bank.sprites == nullptr || cells == nullptr || !ObjectProblem(object).empty())
        return;
    flags = (flags & kRenderHighlight) | (layer == kOverlayLayer ? kRenderOverlay : 0);
    for (int cell = 0; cell < object.columns * object.rows; ++cell)
    {
        // An overlay sprite shows only over a cell whose own sprite is drawn.
        if (object.cells[cell] >= bank.spriteCount) continue;
        std::uint32_t* origin =
            pixels + static_cast<std::ptrdiff_t>(cell / object.columns) * kSpriteHeight * rowStride +
            (cell % object.columns) * kSpriteWidth;
        RenderSpritePixels(bank.sprites, (*cells)[cell], bank.spriteCount, colours, flags, origin, rowStride);
    }
}

void RenderObjectPixels(const SpriteBank& bank, const SpriteObject& object, const RenderColours& colours,
                        int flags, std::uint32_t* pixels, int rowStride)
{
    RenderObjectLayer(bank, object, kUnderlayLayer, colours, flags, pixels, rowStride);
    RenderObjectLayer(bank, object, kOverlayLayer, colours, flags, pixels, rowStride);
}

} // namespace kelmora
