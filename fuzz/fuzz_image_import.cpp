// The picture solver over arbitrary pictures and settings: the first bytes choose the
// settings and the size (up to 100 x 100), the rest are pixels (a byte picks a C64
// colour, transparency, or a colour of its own). A result must hold together: sprites
// for the slots counted and no more than there is room for, slots in order, every
// violation inside its frame, colours 0..15; and the same input gives the same result.
#include "FuzzSupport.h"

using namespace kelmora;
using namespace kelmora_fuzz;

namespace
{

std::vector<NamedPalette> Palettes()
{
    NamedPalette builtIn, greys;
    builtIn.name = kBuiltInPaletteName;
    greys.name = "Greys";
    for (int i = 0; i < kPaletteColours; ++i)
    {
        builtIn.colours[i] = kBuiltInPalette[i];
        greys.colours[i] = 0x111111u * static_cast<std::uint32_t>(i);
    }
    return {builtIn, greys};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 12) return 0;
    static const std::vector<NamedPalette> palettes = Palettes();
    ImageImportSettings s;
    s.scale = data[0] % 5;
    s.offsetX = data[1] % 8;
    s.offsetY = data[2] % 8;
    s.gapX = data[3] % 4;
    s.gapY = (data[3] >> 2) % 4;
    s.columns = data[4] % 4;
    s.count = data[5] % 6;
    s.palette = static_cast<int>(data[6] % 3) - 1;
    s.mode = static_cast<ImportMode>(data[7] % 3);
    s.background = static_cast<int>(data[8] % 17) - 1;
    s.multi1 = static_cast<int>((data[8] >> 5) * 3 % 17) - 1;
    s.multi2 = static_cast<int>(data[9] % 17) - 1;
    s.overlay = (data[9] & 0x80) != 0;
    s.maxSprites = 1 + data[10] % 8;
    const int frameCount = 1 + (data[10] >> 6) % 2;

    std::vector<RgbaImage> frames(static_cast<std::size_t>(frameCount));
    const int width = 1 + data[11] % 100;
    std::size_t at = 12;
    for (RgbaImage& frame : frames)
    {
        frame.width = width;
        frame.height =
            std::max(1, static_cast<int>((size - 12) / static_cast<std::size_t>(frameCount * width)));
        frame.height = std::min(frame.height, 100);
        frame.pixels.resize(static_cast<std::size_t>(frame.width * frame.height));
        for (std::uint32_t& pixel : frame.pixels)
        {
            const std::uint8_t b = at < size ? data[at++] : 0;
            pixel = b < 16    ? (kBuiltInPalette[b] | kOpaqueAlpha)
                    : b < 24  ? 0u
                    : b < 32  ? 0x7F000000u | b
                    : b == 32 ? kSheetEmptyCell
                              : (static_cast<std::uint32_t>(b) * 0x010305u) | 0x80000000u;
        }
    }

    const ImageImportResult r = ImportImage(frames, palettes, s);
    if (r.status != ImportStatus::Ok)
    {
        FUZZ_CHECK(r.spriteCount == 0 && r.sprites.empty());
        return 0;
    }
    FUZZ_CHECK(r.spriteCount >= 0 && r.spriteCount <= s.maxSprites);
    FUZZ_CHECK(r.sprites.size() == static_cast<std::size_t>(r.spriteCount) * kSpriteBytes);
    FUZZ_CHECK(r.palette >= 0 && r.palette < 2 && (s.palette < 0 || r.palette == s.palette));
    FUZZ_CHECK(r.background >= 0 && r.background < 16 && r.multi1 >= 0 && r.multi1 < 16 && r.multi2 >= 0 &&
               r.multi2 < 16);
    FUZZ_CHECK(s.background < 0 || r.background == s.background);
    FUZZ_CHECK(r.scale >= 1 && (s.scale == 0 || r.scale == s.scale));
    FUZZ_CHECK(s.count == 0 ||
               r.cells.size() + static_cast<std::size_t>(r.fillerCells) <= std::size_t(s.count));
    int next = 0, leftOut = 0, violations = 0;
    for (const ImportedCell& cell : r.cells)
    {
        FUZZ_CHECK(cell.frame >= 0 && cell.frame < frameCount);
        const RgbaImage& frame = frames[static_cast<std::size_t>(cell.frame)];
        FUZZ_CHECK(cell.x + 24 * r.scale <= frame.width && cell.y + 21 * r.scale <= frame.height);
        if (cell.slot < 0)
        {
            ++leftOut;
            FUZZ_CHECK(cell.violations.empty());
            continue;
        }
        FUZZ_CHECK(leftOut == 0); // no cell after one left out has a slot
        if (cell.partOfPair)
        {
            FUZZ_CHECK(cell.slot == next - 1 && cell.violations.empty());
            continue;
        }
        FUZZ_CHECK(cell.slot == next);
        next += cell.overlay ? 2 : 1;
        FUZZ_CHECK(cell.colour >= 0 && cell.colour < 16);
        for (const ImportViolation& v : cell.violations)
            FUZZ_CHECK(v.x >= cell.x && v.x < cell.x + 24 * r.scale && v.y >= cell.y &&
                       v.y < cell.y + 21 * r.scale);
        violations += static_cast<int>(cell.violations.size());
        if (cell.blank)
            FUZZ_CHECK(r.sprites[static_cast<std::size_t>(cell.slot * 64 + 63)] == kDefaultAttribute);
    }
    FUZZ_CHECK(next == r.spriteCount);
    FUZZ_CHECK(leftOut == r.cellsLeftOut);
    FUZZ_CHECK(violations == r.violations);

    const ImageImportResult again = ImportImage(frames, palettes, s);
    FUZZ_CHECK(again.sprites == r.sprites && again.violations == r.violations && again.palette == r.palette);
    return 0;
}
