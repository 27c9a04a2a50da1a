// Sprite sheets drawn as the browser draws its cells.
#include "core/Sheet.h"

#include <algorithm>
#include <cstddef>

#include "core/Render.h"
#include "core/Sprite.h"

namespace kelmora
{

namespace
{

constexpr long long kMaxSheetPixels = 1LL << 28;

// A sheet of across x rows cells of cellWidth x cellHeight pixels, all empty.
RgbaImage EmptySheet(long long across, long long rows, long long cellWidth, long long cellHeight)
{
    RgbaImage image;
    image.width = static_cast<int>(across * cellWidth);
    image.height = static_cast<int>(rows * cellHeight);
    image.pixels.assign(static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height),
                        kSheetEmptyCell);
    return image;
}

// The bank's colours as the renderer takes them, with tables built from colours.
RenderColours SheetColours(const SpriteBank& bank, const std::uint32_t colours[kPaletteColours],
                           PaletteTables& tables)
{
    BuildPaletteTables(colours, tables);
    return {{bank.colourTransp, bank.colourMulti1, bank.colourSprite, bank.colourMulti2},
            tables.base,
            tables.highlight};
}

// Puts a width x height picture, each pixel scale x scale, opaque, into cell k of a
// sheet whose cells are cellWidth x cellHeight pixels, across a row.
void PutCell(RgbaImage& image, long long k, long long across, long long cellWidth, long long cellHeight,
             const std::uint32_t* picture, int width, int height, int scale)
{
    const std::size_t left = static_cast<std::size_t>(k % across) * static_cast<std::size_t>(cellWidth);
    const std::size_t top = static_cast<std::size_t>(k / across) * static_cast<std::size_t>(cellHeight);
    for (int y = 0; y < height * scale; ++y)
    {
        std::uint32_t* row = image.pixels.data() + (top + static_cast<std::size_t>(y)) * image.width + left;
        const std::uint32_t* source = picture + static_cast<std::size_t>(y / scale) * width;
        for (int x = 0; x < width * scale; ++x)
            row[x] = source[x / scale] | kOpaqueAlpha;
    }
}

} // namespace

RgbaImage RenderSheet(const SpriteBank& bank, int first, int last, int columns, int scale,
                      const std::uint32_t colours[kPaletteColours])
{
    RgbaImage image;
    if (bank.sprites == nullptr || colours == nullptr || !ValidSlot(first) || !ValidSlot(last) ||
        first > last || columns < 1 || scale < 1)
        return image;
    const int count = last - first + 1;
    const int across = columns < count ? columns : count;
    const int rows = (count + across - 1) / across;
    const long long cellWidth = static_cast<long long>(kSpriteWidth) * scale;
    const long long cellHeight = static_cast<long long>(kSpriteHeight) * scale;
    if (across * cellWidth * rows * cellHeight > kMaxSheetPixels) return image;
    image = EmptySheet(across, rows, cellWidth, cellHeight);

    PaletteTables tables;
    const RenderColours render = SheetColours(bank, colours, tables);
    std::uint32_t cell[kSpriteWidth * kSpriteHeight];
    for (int k = 0; k < count; ++k)
    {
        const int index = first + k;
        for (std::uint32_t& pixel : cell)
            pixel = kSheetEmptyCell;
        RenderSpritePixels(bank.sprites, index, bank.spriteCount, render, 0, cell, kSpriteWidth);
        if (IsOverlay(bank.sprites, index) == 1 && index < kSlotCount - 1)
            RenderSpritePixels(bank.sprites, index + 1, bank.spriteCount, render, kRenderOverlay, cell,
                               kSpriteWidth);
        PutCell(image, k, across, cellWidth, cellHeight, cell, kSpriteWidth, kSpriteHeight, scale);
    }
    return image;
}

RgbaImage RenderObjectSheet(const SpriteBank& bank, const std::vector<SpriteObject>& frames, int columns,
                            int scale, const std::uint32_t colours[kPaletteColours])
{
    RgbaImage image;
    if (bank.sprites == nullptr || colours == nullptr || frames.empty() || columns < 1 || scale < 1)
        return image;
    long long cellWidth = 0, cellHeight = 0;
    for (const SpriteObject& object : frames)
    {
        if (!ObjectProblem(object).empty()) return image;
        cellWidth = std::max<long long>(cellWidth, ObjectPictureWidth(object));
        cellHeight = std::max<long long>(cellHeight, ObjectPictureHeight(object));
    }
    const long long count = static_cast<long long>(frames.size());
    const long long across = columns < count ? columns : count;
    const long long rows = (count + across - 1) / across;
    if (across * cellWidth * rows * cellHeight * scale * scale > kMaxSheetPixels) return image;
    cellWidth *= scale;
    cellHeight *= scale;
    image = EmptySheet(across, rows, cellWidth, cellHeight);

    PaletteTables tables;
    const RenderColours render = SheetColours(bank, colours, tables);
    std::vector<std::uint32_t> picture;
    for (std::size_t k = 0; k < frames.size(); ++k)
    {
        const SpriteObject& object = frames[k];
        const int width = ObjectPictureWidth(object), height = ObjectPictureHeight(object);
        picture.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), kSheetEmptyCell);
        RenderObjectPixels(bank, object, render, 0, picture.data(), width);
        PutCell(image, static_cast<long long>(k), across, cellWidth, cellHeight, picture.data(), width,
                height, scale);
    }
    return image;
}

} // namespace kelmora
