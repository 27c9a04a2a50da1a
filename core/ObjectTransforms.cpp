// Whole-object slides, flips, mirrors, negative and clear; copy and paste of an area;
// splitting a picture into the object's two layers.
#include "core/ObjectTransforms.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "core/Pixels.h"
#include "core/Transforms.h"

namespace kelmora
{

namespace
{

constexpr int kRowBytes = 3;
using SpriteBytes = std::array<u8, kSpriteBytes>;

u8* SpriteAt(SpriteBank& bank, int slot)
{
    return bank.sprites + slot * kSpriteBytes;
}

bool Multicolour(const u8* block, int slot)
{
    return (block[slot * kSpriteBytes + kAttributeByte] & kAttrMulticolour) != 0;
}

bool Editable(const SpriteBank& bank, const SpriteObject& object)
{
    return bank.sprites != nullptr && ObjectEditable(object, bank.spriteCount, true);
}

// The layers of an object: its cells, then its overlay cells when it has them.
std::vector<const std::vector<int>*> Layers(const SpriteObject& object)
{
    std::vector<const std::vector<int>*> layers{&object.cells};
    if (HasOverlayLayer(object)) layers.push_back(&object.overlayCells);
    return layers;
}

std::vector<SpriteBytes> Snapshot(SpriteBank& bank, const std::vector<int>& cells)
{
    std::vector<SpriteBytes> sprites(cells.size());
    for (std::size_t i = 0; i < cells.size(); ++i)
        std::memcpy(sprites[i].data(), SpriteAt(bank, cells[i]), kSpriteBytes);
    return sprites;
}

// Sprite `slot` takes the pixels and attribute of `source`, keeping its own overlay flag.
void Place(SpriteBank& bank, int slot, const SpriteBytes& source)
{
    u8* sprite = SpriteAt(bank, slot);
    const u8 flag = sprite[kAttributeByte] & kAttrOverlay;
    std::memcpy(sprite, source.data(), kSpriteBytes);
    sprite[kAttributeByte] = static_cast<u8>((source[kAttributeByte] & ~kAttrOverlay) | flag);
}

// The object's picture rows of one layer: row r of the picture is the 3 x columns bytes
// of sprite row r % 21 of the cells in cell row r / 21.
std::vector<u8> ReadRows(SpriteBank& bank, const SpriteObject& object, const std::vector<int>& cells)
{
    const int rowBytes = kRowBytes * object.columns;
    std::vector<u8> rows(static_cast<std::size_t>(rowBytes) * ObjectPictureHeight(object));
    for (int r = 0; r < ObjectPictureHeight(object); ++r)
        for (int c = 0; c < object.columns; ++c)
            std::memcpy(&rows[r * rowBytes + c * kRowBytes],
                        SpriteAt(bank, cells[(r / kSpriteHeight) * object.columns + c]) +
                            (r % kSpriteHeight) * kRowBytes,
                        kRowBytes);
    return rows;
}

void WriteRows(SpriteBank& bank, const SpriteObject& object, const std::vector<int>& cells,
               const std::vector<u8>& rows)
{
    const int rowBytes = kRowBytes * object.columns;
    for (int r = 0; r < ObjectPictureHeight(object); ++r)
        for (int c = 0; c < object.columns; ++c)
            std::memcpy(SpriteAt(bank, cells[(r / kSpriteHeight) * object.columns + c]) +
                            (r % kSpriteHeight) * kRowBytes,
                        &rows[r * rowBytes + c * kRowBytes], kRowBytes);
}

// Rotates every picture row of every layer by `bits` bits, to the left or the right.
void RotateRowBits(SpriteBank& bank, const SpriteObject& object, int bits, bool left)
{
    const int rowBytes = kRowBytes * object.columns;
    for (const std::vector<int>* cells : Layers(object))
    {
        std::vector<u8> rows = ReadRows(bank, object, *cells);
        for (int r = 0; r < ObjectPictureHeight(object); ++r)
        {
            u8* row = &rows[r * rowBytes];
            for (int step = 0; step < bits; ++step)
            {
                if (left)
                {
                    const u8 carry = static_cast<u8>(row[0] >> 7);
                    for (int i = 0; i < rowBytes - 1; ++i)
                        row[i] = static_cast<u8>((row[i] << 1) | (row[i + 1] >> 7));
                    row[rowBytes - 1] = static_cast<u8>((row[rowBytes - 1] << 1) | carry);
                }
                else
                {
                    const u8 carry = static_cast<u8>(row[rowBytes - 1] << 7);
                    for (int i = rowBytes - 1; i > 0; --i)
                        row[i] = static_cast<u8>((row[i] >> 1) | (row[i - 1] << 7));
                    row[0] = static_cast<u8>((row[0] >> 1) | carry);
                }
            }
        }
        WriteRows(bank, object, *cells, rows);
    }
}

// Rotates the picture rows of every layer by one, up or down.
void RotateRows(SpriteBank& bank, const SpriteObject& object, bool up)
{
    const std::size_t rowBytes = kRowBytes * object.columns;
    for (const std::vector<int>* cells : Layers(object))
    {
        std::vector<u8> rows = ReadRows(bank, object, *cells);
        if (up)
            std::rotate(rows.begin(), rows.begin() + rowBytes, rows.end());
        else
            std::rotate(rows.begin(), rows.end() - rowBytes, rows.end());
        WriteRows(bank, object, *cells, rows);
    }
}

// Cell (row, column) of every layer takes the sprite that cell source(row, column) held
// before, then `turn` runs on it; a cell whose source is -1 stays as it is.
template <typename Source>
void MoveCells(SpriteBank& bank, const SpriteObject& object, Source source, void (*turn)(u8*, int))
{
    for (const std::vector<int>* cells : Layers(object))
    {
        const std::vector<SpriteBytes> before = Snapshot(bank, *cells);
        for (int row = 0; row < object.rows; ++row)
            for (int column = 0; column < object.columns; ++column)
            {
                const int from = source(row, column);
                if (from < 0) continue;
                const int slot = (*cells)[row * object.columns + column];
                Place(bank, slot, before[from]);
                turn(bank.sprites, slot);
            }
    }
}

bool AnyMulticolour(const SpriteBank& bank, const SpriteObject& object)
{
    for (const std::vector<int>* cells : Layers(object))
        for (int slot : *cells)
            if (Multicolour(bank.sprites, slot)) return true;
    return false;
}

// Whether picture x is inside a double-wide pixel of either layer at row y.
bool WideAt(const SpriteBank& bank, const SpriteObject& object, int x, int y)
{
    for (int layer : {kUnderlayLayer, kOverlayLayer})
        if (const auto at = CellPixelAt(bank.sprites, object, layer, x, y))
            if (Multicolour(bank.sprites, at->slot)) return true;
    return false;
}

} // namespace

bool SlideObjectUp(SpriteBank& bank, const SpriteObject& object)
{
    if (!Editable(bank, object)) return false;
    RotateRows(bank, object, true);
    return true;
}

bool SlideObjectDown(SpriteBank& bank, const SpriteObject& object)
{
    if (!Editable(bank, object)) return false;
    RotateRows(bank, object, false);
    return true;
}

bool SlideObjectLeft(SpriteBank& bank, const SpriteObject& object)
{
    if (!Editable(bank, object)) return false;
    RotateRowBits(bank, object, AnyMulticolour(bank, object) ? 2 : 1, true);
    return true;
}

bool SlideObjectRight(SpriteBank& bank, const SpriteObject& object)
{
    if (!Editable(bank, object)) return false;
    RotateRowBits(bank, object, AnyMulticolour(bank, object) ? 2 : 1, false);
    return true;
}

bool FlipObjectLeftRight(SpriteBank& bank, const SpriteObject& object)
{
    if (!Editable(bank, object)) return false;
    const int columns = object.columns;
    MoveCells(
        bank, object, [columns](int row, int column) { return row * columns + (columns - 1 - column); },
        FlipY);
    return true;
}

bool FlipObjectTopBottom(SpriteBank& bank, const SpriteObject& object)
{
    if (!Editable(bank, object)) return false;
    const int columns = object.columns, rows = object.rows;
    MoveCells(
        bank, object, [columns, rows](int row, int column) { return (rows - 1 - row) * columns + column; },
        FlipX);
    return true;
}

bool MirrorObjectLeftHalf(SpriteBank& bank, const SpriteObject& object)
{
    if (!Editable(bank, object)) return false;
    const int columns = object.columns;
    // The right half's cells take the mirrored left half's; a middle column mirrors itself.
    MoveCells(
        bank, object,
        [columns](int row, int column)
        { return 2 * column >= columns ? row * columns + (columns - 1 - column) : -1; },
        FlipY);
    if (columns % 2 == 1)
        for (const std::vector<int>* cells : Layers(object))
            for (int row = 0; row < object.rows; ++row)
                ReflectY(bank.sprites, (*cells)[row * columns + columns / 2]);
    return true;
}

bool MirrorObjectTopHalf(SpriteBank& bank, const SpriteObject& object)
{
    if (!Editable(bank, object)) return false;
    const int columns = object.columns, rows = object.rows;
    MoveCells(
        bank, object,
        [columns, rows](int row, int column)
        { return 2 * row >= rows ? (rows - 1 - row) * columns + column : -1; },
        FlipX);
    if (rows % 2 == 1)
        for (const std::vector<int>* cells : Layers(object))
            for (int column = 0; column < columns; ++column)
                ReflectX(bank.sprites, (*cells)[(rows / 2) * columns + column]);
    return true;
}

bool NegateObject(SpriteBank& bank, const SpriteObject& object)
{
    if (!Editable(bank, object)) return false;
    for (const std::vector<int>* cells : Layers(object))
        for (int slot : *cells)
            Negative(bank.sprites, slot);
    return true;
}

bool ClearObject(SpriteBank& bank, const SpriteObject& object)
{
    if (!Editable(bank, object)) return false;
    for (const std::vector<int>* cells : Layers(object))
        for (int slot : *cells)
            std::memset(SpriteAt(bank, slot), 0, kPixelBytes);
    return true;
}

// ---- Copy and paste ----

ObjectClip CopyObjectArea(const SpriteBank& bank, const SpriteObject& object, int x, int y, int width,
                          int height)
{
    ObjectClip clip;
    if (bank.sprites == nullptr || !ObjectEditable(object, bank.spriteCount)) return clip;
    int left = std::max(x, 0), top = std::max(y, 0);
    int right = std::min(x + std::max(width, 0), ObjectPictureWidth(object));
    const int bottom = std::min(y + std::max(height, 0), ObjectPictureHeight(object));
    if (left >= right || top >= bottom) return clip;
    // Cells are an even number of pixels wide, so a double-wide pixel never crosses one.
    for (int row = top; row < bottom; ++row)
    {
        if (left % 2 == 1 && WideAt(bank, object, left, row)) --left;
        if (right % 2 == 1 && WideAt(bank, object, right - 1, row)) ++right;
    }
    clip.left = left;
    clip.top = top;
    clip.width = right - left;
    clip.height = bottom - top;
    const bool overlay = HasOverlayLayer(object);
    for (int py = top; py < bottom; ++py)
        for (int px = left; px < right; ++px)
        {
            const auto under = CellPixelAt(bank.sprites, object, kUnderlayLayer, px, py);
            clip.underlay.push_back(static_cast<u8>(GetPixel(bank.sprites, under->slot, under->x, under->y)));
            if (!overlay) continue;
            const auto over = CellPixelAt(bank.sprites, object, kOverlayLayer, px, py);
            clip.overlay.push_back(static_cast<u8>(GetPixel(bank.sprites, over->slot, over->x, over->y)));
        }
    return clip;
}

int PasteObjectArea(SpriteBank& bank, const SpriteObject& object, const ObjectClip& clip, int x, int y)
{
    const std::size_t size = static_cast<std::size_t>(std::max(clip.width, 0)) * std::max(clip.height, 0);
    if (bank.sprites == nullptr || !ObjectEditable(object, bank.spriteCount) || size == 0 ||
        clip.underlay.size() != size || (!clip.overlay.empty() && clip.overlay.size() != size))
        return 0;
    if (x % 2 != 0 && WideAt(bank, object, x, std::max(y, 0))) x -= 1;
    const int left = std::max(x, 0), top = std::max(y, 0);
    const int right = std::min(x + clip.width, ObjectPictureWidth(object));
    const int bottom = std::min(y + clip.height, ObjectPictureHeight(object));

    int changed = 0;
    const auto write = [&](int layer, const std::vector<u8>* values, int px, int py)
    {
        const auto at = CellPixelAt(bank.sprites, object, layer, px, py);
        if (!at) return;
        const auto span = PictureSpanOf(bank.sprites, object, layer, at->cell, at->x, at->y);
        // Each sprite pixel once: at the first of its picture pixels inside the area.
        if (px != std::max(span->x, left)) return;
        int value = 0;
        for (int k = span->x; k < span->x + span->width && value == 0; ++k)
            if (k >= left && k < right && values != nullptr)
                value = (*values)[static_cast<std::size_t>(py - y) * clip.width + (k - x)];
        const bool wide = Multicolour(bank.sprites, at->slot);
        const int after = wide ? value : (value != 0 ? 2 : 0);
        if (GetPixel(bank.sprites, at->slot, at->x, at->y) == after) return;
        SetPixel(bank.sprites, at->slot, at->x, at->y, after);
        ++changed;
    };
    for (int py = top; py < bottom; ++py)
        for (int px = left; px < right; ++px)
        {
            write(kUnderlayLayer, &clip.underlay, px, py);
            if (HasOverlayLayer(object))
                write(kOverlayLayer, clip.overlay.empty() ? nullptr : &clip.overlay, px, py);
        }
    return changed;
}

// ---- Split into overlay pair ----

int SplitObjectIntoOverlayPair(SpriteBank& bank, const SpriteObject& object, const std::vector<int>& colours,
                               int underlayColour, int overlayColour)
{
    if (!HasOverlayLayer(object) || !Editable(bank, object)) return -1;
    const int width = ObjectPictureWidth(object);
    if (colours.size() != static_cast<std::size_t>(width) * ObjectPictureHeight(object)) return -1;
    if (underlayColour < -1 || underlayColour > 15 || overlayColour < 0 || overlayColour > 15) return -1;

    int wrong = 0;
    for (std::size_t cell = 0; cell < object.cells.size(); ++cell)
    {
        u8* under = SpriteAt(bank, object.cells[cell]);
        u8* over = SpriteAt(bank, object.overlayCells[cell]);
        const int own = underlayColour >= 0 ? underlayColour : under[kAttributeByte] & kAttrColourMask;
        const OverlayPairColours palette{bank.colourTransp & 15, bank.colourMulti1 & 15,
                                         bank.colourMulti2 & 15, own, overlayColour};
        const int origin = static_cast<int>(cell) / object.columns * kSpriteHeight * width +
                           static_cast<int>(cell) % object.columns * kSpriteWidth;
        wrong += SplitOverlayPixels(colours.data() + origin, width, palette, under, over);
        const bool next = object.overlayCells[cell] == object.cells[cell] + 1;
        under[kAttributeByte] = static_cast<u8>((under[kAttributeByte] & 0x70) | kAttrMulticolour | own |
                                                (next ? kAttrOverlay : 0));
        over[kAttributeByte] = static_cast<u8>((over[kAttributeByte] & 0x70) | overlayColour);
    }
    return wrong;
}

} // namespace kelmora
