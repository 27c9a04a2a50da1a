// Sprite sheets and their palettes.
#include "cli/Sheet.h"

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "core/Render.h"
#include "core/Sprite.h"

namespace kelmora::cli
{

namespace fs = std::filesystem;

namespace
{

bool SameIgnoringCase(const std::string& a, const std::string& b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::string Environment(const char* name)
{
    const char* value = std::getenv(name);
    return value == nullptr ? std::string() : std::string(value);
}

} // namespace

SheetImage RenderSheet(const kelmora::SpriteBank& bank, int first, int last, int columns, int scale,
                       const std::uint32_t colours[kelmora::kPaletteColours])
{
    SheetImage image;
    if (bank.sprites == nullptr || colours == nullptr || !ValidSlot(first) || !ValidSlot(last) ||
        first > last || columns < 1 || scale < 1)
        return image;
    const int count = last - first + 1;
    const int across = columns < count ? columns : count;
    const int rows = (count + across - 1) / across;
    const int cellWidth = kSpriteWidth * scale;
    const int cellHeight = kSpriteHeight * scale;
    image.width = across * cellWidth;
    image.height = rows * cellHeight;
    image.pixels.assign(static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height),
                        kEmptyCellColour);

    kelmora::PaletteTables tables;
    kelmora::BuildPaletteTables(colours, tables);
    const kelmora::RenderColours render{
        {bank.colourTransp, bank.colourMulti1, bank.colourSprite, bank.colourMulti2},
        tables.base,
        tables.highlight};

    std::uint32_t cell[kSpriteWidth * kSpriteHeight];
    for (int k = 0; k < count; ++k)
    {
        const int index = first + k;
        for (std::uint32_t& pixel : cell)
            pixel = kEmptyCellColour;
        kelmora::RenderSpritePixels(bank.sprites, index, bank.spriteCount, render, 0, cell, kSpriteWidth);
        if (kelmora::IsOverlay(bank.sprites, index) == 1 && index < kSlotCount - 1)
            kelmora::RenderSpritePixels(bank.sprites, index + 1, bank.spriteCount, render,
                                        kelmora::kRenderOverlay, cell, kSpriteWidth);

        const int left = (k % across) * cellWidth;
        const int top = (k / across) * cellHeight;
        for (int y = 0; y < cellHeight; ++y)
        {
            std::uint32_t* row = image.pixels.data() + static_cast<std::size_t>(top + y) * image.width + left;
            const std::uint32_t* source = cell + (y / scale) * kSpriteWidth;
            for (int x = 0; x < cellWidth; ++x)
                row[x] = source[x / scale];
        }
    }
    return image;
}

std::vector<std::string> PaletteFileCandidates(const std::string& programDir)
{
    std::vector<std::string> candidates;
    const auto add = [&](const fs::path& folder)
    { candidates.push_back((folder / "palettes.pal").u8string()); };
    if (!programDir.empty()) add(fs::u8path(programDir));

    std::string dataHome = Environment("XDG_DATA_HOME");
    if (dataHome.empty() && !Environment("HOME").empty()) dataHome = Environment("HOME") + "/.local/share";
    if (!dataHome.empty()) add(fs::u8path(dataHome) / "kelmora");

    std::string dataDirs = Environment("XDG_DATA_DIRS");
    if (dataDirs.empty()) dataDirs = "/usr/local/share:/usr/share";
    std::size_t start = 0;
    while (start <= dataDirs.size())
    {
        const std::size_t colon = dataDirs.find(':', start);
        const std::string dir =
            dataDirs.substr(start, colon == std::string::npos ? std::string::npos : colon - start);
        if (!dir.empty()) add(fs::u8path(dir) / "kelmora");
        if (colon == std::string::npos) break;
        start = colon + 1;
    }
    return candidates;
}

std::string FindPaletteFile(const std::string& programDir)
{
    for (const std::string& candidate : PaletteFileCandidates(programDir))
    {
        std::error_code ec;
        if (fs::is_regular_file(fs::u8path(candidate), ec)) return candidate;
    }
    return {};
}

bool ChoosePalette(const std::string& name, const std::vector<kelmora::NamedPalette>& loaded,
                   kelmora::NamedPalette& chosen)
{
    kelmora::NamedPalette builtIn;
    builtIn.name = kelmora::kBuiltInPaletteName;
    for (int i = 0; i < kelmora::kPaletteColours; ++i)
        builtIn.colours[i] = kelmora::kBuiltInPalette[i];

    std::vector<const kelmora::NamedPalette*> all{&builtIn};
    for (const kelmora::NamedPalette& palette : loaded)
        all.push_back(&palette);
    for (const kelmora::NamedPalette* palette : all)
        if (palette->name == name)
        {
            chosen = *palette;
            return true;
        }
    for (const kelmora::NamedPalette* palette : all)
        if (SameIgnoringCase(palette->name, name))
        {
            chosen = *palette;
            return true;
        }
    return false;
}

} // namespace kelmora::cli
