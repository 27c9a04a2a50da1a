// Pictures to sprites.
//
// The steps, in order: every frame's pixels are made comparable (alpha below 128 is
// "transparent", any other alpha opaque); the scale is detected unless given; the
// cells are laid out and one sample taken for each sprite pixel; cells of a sheet's
// empty-cell colour at the end are dropped; the palette is chosen over the samples'
// colours; then the background, each cell's mode, the overlay choices a cell has,
// the shared colours, and last each cell's sprite bytes and slot.
#include "core/ImageImport.h"

#include <algorithm>
#include <array>
#include <bitset>
#include <cstring>

#include "core/Sheet.h"

namespace kelmora
{

namespace
{

constexpr int kCellPixels = kSpriteWidth * kSpriteHeight; // 504
constexpr std::uint8_t kTransparentIndex = 16; // a sample without colour, before the background is known
constexpr int kMaxScale = 4096;
constexpr int kMaxPlace = 1 << 20; // offsets and gaps
constexpr int kUnusedOwnColour = kDefaultAttribute & kAttrColourMask;

using PixelSet = std::bitset<kCellPixels>;

// The colours in a set of 16.
int PopCount(unsigned mask)
{
    mask = mask - ((mask >> 1) & 0x5555u);
    mask = (mask & 0x3333u) + ((mask >> 2) & 0x3333u);
    mask = (mask + (mask >> 4)) & 0x0F0Fu;
    return static_cast<int>((mask + (mask >> 8)) & 0x1Fu);
}

// Alpha below 128 is transparent (0); everything else is opaque.
std::uint32_t Comparable(std::uint32_t pixel)
{
    return (pixel >> 24) < 128 ? 0u : (pixel | kOpaqueAlpha);
}

long long DistanceSquared(std::uint32_t a, std::uint32_t b)
{
    const long long dr = static_cast<long long>((a >> 16) & 0xFF) - ((b >> 16) & 0xFF);
    const long long dg = static_cast<long long>((a >> 8) & 0xFF) - ((b >> 8) & 0xFF);
    const long long db = static_cast<long long>(a & 0xFF) - (b & 0xFF);
    return dr * dr + dg * dg + db * db;
}

// ---- The distinct colours of the samples and how often each occurs -------------

// Entry 0 stands for transparent samples; every other entry is one opaque colour.
struct ColourTable
{
    std::vector<std::uint32_t> keys;       // open addressing; 0 marks an empty place
    std::vector<std::uint32_t> ids;        // the colour's entry in colours
    std::vector<std::uint32_t> colours{0}; // 0xFFRRGGBB
    std::vector<long long> counts{0};      // samples of the colour in the cells kept
    std::vector<std::uint8_t> nearest;     // index of the nearest palette entry
    unsigned shift = 0;
};

std::size_t Slot(const ColourTable& table, std::uint32_t key)
{
    return static_cast<std::size_t>((key * 2654435761u) >> table.shift);
}

void GrowTable(ColourTable& table, unsigned bits)
{
    table.shift = 32 - bits;
    table.keys.assign(std::size_t(1) << bits, 0);
    table.ids.assign(std::size_t(1) << bits, 0);
    const std::size_t mask = (std::size_t(1) << bits) - 1;
    for (std::size_t id = 1; id < table.colours.size(); ++id)
    {
        std::size_t at = Slot(table, table.colours[id]);
        while (table.keys[at] != 0)
            at = (at + 1) & mask;
        table.keys[at] = table.colours[id];
        table.ids[at] = static_cast<std::uint32_t>(id);
    }
}

// The entry of an opaque colour, added when new.
std::uint32_t FindOrAdd(ColourTable& table, std::uint32_t colour)
{
    const std::size_t mask = table.keys.size() - 1;
    std::size_t at = Slot(table, colour);
    while (table.keys[at] != 0)
    {
        if (table.keys[at] == colour) return table.ids[at];
        at = (at + 1) & mask;
    }
    const auto id = static_cast<std::uint32_t>(table.colours.size());
    table.keys[at] = colour;
    table.ids[at] = id;
    table.colours.push_back(colour);
    table.counts.push_back(0);
    if (table.colours.size() * 2 > table.keys.size()) GrowTable(table, 33 - table.shift);
    return id;
}

// ---- Cells ----------------------------------------------------------------------

// The pictures of one import, without copying them.
struct FrameList
{
    const RgbaImage* first = nullptr;
    std::size_t count = 0;
    std::size_t size() const { return count; }
    const RgbaImage& operator[](std::size_t f) const { return first[f]; }
};

struct Place
{
    int frame = 0, x = 0, y = 0;
};

struct Grid
{
    int columns = 0, rows = 0;
};

Grid GridOf(int width, int height, int scale, const ImageImportSettings& s)
{
    Grid grid;
    const long long cellWidth = 24LL * scale, cellHeight = 21LL * scale;
    const long long across = static_cast<long long>(width) - s.offsetX;
    const long long down = static_cast<long long>(height) - s.offsetY;
    if (across < cellWidth || down < cellHeight) return grid;
    grid.columns = static_cast<int>((across - cellWidth) / (cellWidth + s.gapX) + 1);
    grid.rows = static_cast<int>((down - cellHeight) / (cellHeight + s.gapY) + 1);
    if (s.columns > 0 && grid.columns > s.columns) grid.columns = s.columns;
    return grid;
}

std::vector<Place> PlacesOf(const FrameList& frames, int scale, const ImageImportSettings& s)
{
    std::vector<Place> places;
    const std::size_t limit = s.count > 0 ? static_cast<std::size_t>(s.count) : std::size_t(-1);
    for (std::size_t f = 0; f < frames.size(); ++f)
    {
        const Grid grid = GridOf(frames[f].width, frames[f].height, scale, s);
        for (int row = 0; row < grid.rows; ++row)
            for (int column = 0; column < grid.columns; ++column)
            {
                if (places.size() >= limit) return places;
                places.push_back({static_cast<int>(f), s.offsetX + column * (24 * scale + s.gapX),
                                  s.offsetY + row * (21 * scale + s.gapY)});
            }
    }
    return places;
}

// True when every scale x scale square of the cell is one colour.
bool SquaresUniform(const std::vector<std::uint32_t>& pixels, int width, const Place& place, int scale)
{
    const int cellWidth = 24 * scale, cellHeight = 21 * scale;
    for (int r = 0; r < cellHeight; ++r)
    {
        const std::uint32_t* row =
            pixels.data() + static_cast<std::size_t>(place.y + r) * static_cast<std::size_t>(width) + place.x;
        if (r % scale != 0)
        {
            if (std::memcmp(row, row - width, sizeof(std::uint32_t) * static_cast<std::size_t>(cellWidth)) !=
                0)
                return false;
            continue;
        }
        for (int x = 0; x < cellWidth; x += scale)
            for (int j = 1; j < scale; ++j)
                if (row[x + j] != row[x]) return false;
    }
    return true;
}

// The largest scale at which every square of every cell taken is one colour.
int DetectScale(const std::vector<std::vector<std::uint32_t>>& pixels, const FrameList& frames,
                const ImageImportSettings& s)
{
    const long long across = static_cast<long long>(frames[0].width) - s.offsetX;
    const long long down = static_cast<long long>(frames[0].height) - s.offsetY;
    int largest = static_cast<int>(std::min({across / 24, down / 21, static_cast<long long>(kMaxScale)}));
    for (int scale = largest; scale > 1; --scale)
    {
        const std::vector<Place> places = PlacesOf(frames, scale, s);
        if (places.empty()) continue;
        bool uniform = true;
        for (const Place& place : places)
            if (!SquaresUniform(pixels[static_cast<std::size_t>(place.frame)],
                                frames[static_cast<std::size_t>(place.frame)].width, place, scale))
            {
                uniform = false;
                break;
            }
        if (uniform) return scale;
    }
    return 1;
}

struct OverlayOption
{
    int colour = 0;        // the top sprite's colour
    bool fromNext = false; // the top sprite is the next cell's picture
    unsigned body = 0;     // colours the multicolour sprite below must show
    int pixels = 0;        // pixels of the top sprite
};

struct Cell
{
    Place place;
    std::array<std::uint32_t, kCellPixels> id;   // colour table entry of each sprite pixel's sample
    std::array<std::uint8_t, kCellPixels> value; // palette index; the background for transparent
    std::vector<ImportViolation> violations;
    bool blank = false;
    bool multicolour = false;
    bool pairsEqual = false;
    unsigned colours = 0; // colours other than the background
    std::array<int, kPaletteColours> counts{};
    std::vector<OverlayOption> options;
    PixelSet nextTop; // the next cell's pixels, for the option that takes it as the top sprite
};

ImportViolation ViolationAt(const Cell& cell, int pixel, int scale, ViolationKind kind)
{
    ImportViolation v;
    v.kind = kind;
    v.x = cell.place.x + (pixel % kSpriteWidth) * scale;
    v.y = cell.place.y + (pixel / kSpriteWidth) * scale;
    return v;
}

bool IsSheetFiller(const Cell& cell, const ColourTable& table)
{
    if (!cell.violations.empty() || table.colours[cell.id[0]] != kSheetEmptyCell) return false;
    for (std::uint32_t id : cell.id)
        if (id != cell.id[0]) return false;
    return true;
}

// The colours a multicolour sprite under a hires one covering top must show, where
// each double-wide pixel takes the colour of whichever of its halves is not covered
// (the background when both are). False when an uncovered pair holds two colours.
bool BodyColours(const Cell& cell, const PixelSet& top, int background, unsigned& body)
{
    body = 0;
    for (int p = 0; p < kCellPixels; p += 2)
    {
        const bool left = top[static_cast<std::size_t>(p)], right = top[static_cast<std::size_t>(p) + 1];
        const int a = cell.value[static_cast<std::size_t>(p)],
                  b = cell.value[static_cast<std::size_t>(p) + 1];
        int shown = background;
        if (!left && !right)
        {
            if (a != b) return false;
            shown = a;
        }
        else if (!left)
            shown = a;
        else if (!right)
            shown = b;
        if (shown != background) body |= 1u << shown;
    }
    return true;
}

bool FitsShared(unsigned colours, unsigned shared)
{
    return PopCount(colours & ~shared) <= 1;
}

bool SingleExact(const Cell& cell, unsigned shared)
{
    if (cell.blank) return true;
    if (!cell.multicolour) return PopCount(cell.colours) <= 1;
    return cell.pairsEqual && FitsShared(cell.colours, shared);
}

bool ExactWith(const Cell& cell, unsigned shared)
{
    if (SingleExact(cell, shared)) return true;
    for (const OverlayOption& option : cell.options)
        if (FitsShared(option.body, shared)) return true;
    return false;
}

// ---- Sprite bytes -----------------------------------------------------------------

void PutHires(u8* sprite, const PixelSet& set, int colour)
{
    std::memset(sprite, 0, kPixelBytes);
    for (int p = 0; p < kCellPixels; ++p)
        if (set[static_cast<std::size_t>(p)]) sprite[p / 8] |= static_cast<u8>(0x80 >> (p % 8));
    sprite[kAttributeByte] = static_cast<u8>(colour & kAttrColourMask);
}

// values: one multicolour value 0..3 for each pair of pixels, 12 a row.
void PutMulticolour(u8* sprite, const std::array<std::uint8_t, kCellPixels / 2>& values, int colour,
                    bool overlay)
{
    for (std::size_t b = 0; b < kPixelBytes; ++b)
        sprite[b] = static_cast<u8>(values[4 * b] << 6 | values[4 * b + 1] << 4 | values[4 * b + 2] << 2 |
                                    values[4 * b + 3]);
    sprite[kAttributeByte] =
        static_cast<u8>(kAttrMulticolour | (overlay ? kAttrOverlay : 0) | (colour & kAttrColourMask));
}

struct Shared
{
    int background = 0, multi1 = 0, multi2 = 0;
    const std::uint32_t* palette = nullptr; // the palette's 16 colours
    const std::uint32_t* samples = nullptr; // the colour of each colour table entry
};

// The most frequent colour of the cell outside the set; -1 when there is none.
int MostFrequentOutside(const Cell& cell, unsigned excluded)
{
    int best = -1;
    for (int c = 0; c < kPaletteColours; ++c)
        if ((cell.colours & (1u << c)) != 0 && (excluded & (1u << c)) == 0 &&
            (best < 0 ||
             cell.counts[static_cast<std::size_t>(c)] > cell.counts[static_cast<std::size_t>(best)]))
            best = c;
    return best;
}

// Of the allowed colours (value k shows colours[k]), the value nearest to sample.
int NearestValue(std::uint32_t sample, const int* colours, int count, const std::uint32_t* palette)
{
    int best = 0;
    long long bestDistance = -1;
    for (int k = 0; k < count; ++k)
    {
        const long long d = DistanceSquared(sample, palette[colours[k]]);
        if (bestDistance < 0 || d < bestDistance)
        {
            best = k;
            bestDistance = d;
        }
    }
    return best;
}

void SingleHires(Cell& cell, const Shared& shared, int scale, ImportedCell& out, u8* sprite)
{
    const int own = MostFrequentOutside(cell, 1u << shared.background);
    const int allowed[2] = {shared.background, own};
    PixelSet set;
    for (int p = 0; p < kCellPixels; ++p)
    {
        const int c = cell.value[static_cast<std::size_t>(p)];
        int value = c == own ? 1 : 0;
        if (c != own && c != shared.background)
        {
            value = NearestValue(shared.samples[cell.id[static_cast<std::size_t>(p)]], allowed, 2,
                                 shared.palette);
            out.violations.push_back(ViolationAt(cell, p, scale, ViolationKind::ExtraColour));
        }
        set[static_cast<std::size_t>(p)] = value == 1;
    }
    PutHires(sprite, set, own);
    out.multicolour = false;
    out.colour = own;
}

void SingleMulticolour(Cell& cell, const Shared& shared, int scale, ImportMode mode, ImportedCell& out,
                       u8* sprite)
{
    const unsigned sharedSet = (1u << shared.background) | (1u << shared.multi1) | (1u << shared.multi2);
    int own = MostFrequentOutside(cell, sharedSet);
    if (own < 0)
    {
        own = kUnusedOwnColour;
        out.ambiguous |= kAmbiguousColour;
    }
    if (mode == ImportMode::Auto && PopCount(cell.colours) <= 1) out.ambiguous |= kAmbiguousMode;
    const int allowed[4] = {shared.background, shared.multi1, own, shared.multi2};
    int valueOf[kPaletteColours]; // each colour's value; the lowest where two allowed colours are the same
    std::fill(std::begin(valueOf), std::end(valueOf), -1);
    for (int k = 3; k >= 0; --k)
        valueOf[allowed[k]] = k;
    // A pair of two values takes the left one, or the right one when the left is background.
    std::array<std::uint8_t, kCellPixels / 2> pairs;
    for (int p = 0; p < kCellPixels; p += 2)
    {
        int value[2];
        for (int half = 0; half < 2; ++half)
        {
            value[half] = valueOf[cell.value[static_cast<std::size_t>(p + half)]];
            if (value[half] >= 0) continue;
            value[half] = NearestValue(shared.samples[cell.id[static_cast<std::size_t>(p + half)]], allowed,
                                       4, shared.palette);
            out.violations.push_back(ViolationAt(cell, p + half, scale, ViolationKind::ExtraColour));
        }
        const int kept = value[0] != 0 ? value[0] : value[1];
        if (value[0] != value[1])
            out.violations.push_back(
                ViolationAt(cell, value[0] == kept ? p + 1 : p, scale, ViolationKind::SplitPair));
        pairs[static_cast<std::size_t>(p / 2)] = static_cast<std::uint8_t>(kept);
    }
    PutMulticolour(sprite, pairs, own, false);
    out.multicolour = true;
    out.colour = own;
}

// The pair of a multicolour sprite with the hires sprite top of colour topColour on it.
void OverlayPair(const Cell& cell, const Shared& shared, const PixelSet& top, int topColour,
                 ImportedCell& out, u8* body, u8* over)
{
    std::array<std::uint8_t, kCellPixels / 2> shown;
    unsigned colours = 0;
    for (int p = 0; p < kCellPixels; p += 2)
    {
        const bool left = top[static_cast<std::size_t>(p)], right = top[static_cast<std::size_t>(p) + 1];
        int c = shared.background;
        if (!left)
            c = cell.value[static_cast<std::size_t>(p)];
        else if (!right)
            c = cell.value[static_cast<std::size_t>(p) + 1];
        shown[static_cast<std::size_t>(p / 2)] = static_cast<std::uint8_t>(c);
        colours |= 1u << c;
    }
    const unsigned sharedSet = (1u << shared.background) | (1u << shared.multi1) | (1u << shared.multi2);
    int own = kUnusedOwnColour;
    const unsigned rest = colours & ~sharedSet;
    if (rest == 0)
        out.ambiguous |= kAmbiguousColour;
    else
        for (int c = 0; c < kPaletteColours; ++c)
            if ((rest & (1u << c)) != 0) own = c;
    std::array<std::uint8_t, kCellPixels / 2> values;
    for (std::size_t pair = 0; pair < values.size(); ++pair)
    {
        const int c = shown[pair];
        values[pair] = c == shared.background ? 0 : c == shared.multi1 ? 1 : c == shared.multi2 ? 3 : 2;
    }
    PutMulticolour(body, values, own, true);
    PutHires(over, top, topColour);
    out.multicolour = true;
    out.colour = own;
    out.overlay = true;
    out.overlayColour = topColour;
}

PixelSet PixelsOf(const Cell& cell, int colour)
{
    PixelSet set;
    for (int p = 0; p < kCellPixels; ++p)
        set[static_cast<std::size_t>(p)] = cell.value[static_cast<std::size_t>(p)] == colour;
    return set;
}

bool ValidColourSetting(int colour)
{
    return colour >= -1 && colour < kPaletteColours;
}

bool ValidSettings(const ImageImportSettings& s, std::size_t palettes)
{
    return s.scale >= 0 && s.scale <= kMaxScale && s.offsetX >= 0 && s.offsetX <= kMaxPlace &&
           s.offsetY >= 0 && s.offsetY <= kMaxPlace && s.gapX >= 0 && s.gapX <= kMaxPlace && s.gapY >= 0 &&
           s.gapY <= kMaxPlace && s.columns >= 0 && s.count >= 0 && s.palette >= -1 &&
           s.palette < static_cast<long long>(palettes) && ValidColourSetting(s.background) &&
           ValidColourSetting(s.multi1) && ValidColourSetting(s.multi2) && s.maxSprites >= 1 &&
           s.maxSprites <= kSlotCount && palettes > 0;
}

ImageImportResult Import(const FrameList& frames, const std::vector<NamedPalette>& palettes,
                         const ImageImportSettings& settings)
{
    ImageImportResult result;
    if (frames.size() == 0) return result;
    for (std::size_t f = 0; f < frames.size(); ++f)
        if (!ValidImage(frames[f])) return result;
    if (!ValidSettings(settings, palettes.size()))
    {
        result.status = ImportStatus::BadSettings;
        return result;
    }

    // Comparable pixels, the scale and the cells.
    std::vector<std::vector<std::uint32_t>> pixels(frames.size());
    for (std::size_t f = 0; f < frames.size(); ++f)
    {
        pixels[f] = frames[f].pixels;
        for (std::uint32_t& pixel : pixels[f])
            pixel = Comparable(pixel);
    }
    const bool detected = settings.scale == 0;
    const int scale = detected ? DetectScale(pixels, frames, settings) : settings.scale;
    result.scale = scale;
    const Grid grid = GridOf(frames[0].width, frames[0].height, scale, settings);
    result.columns = grid.columns;
    result.rows = grid.rows;
    const std::vector<Place> places = PlacesOf(frames, scale, settings);
    if (places.empty())
    {
        result.status = ImportStatus::NoCells;
        return result;
    }

    // One sample a sprite pixel: the middle of its square, kept as its entry in the
    // table of colours. A square of several colours is reported (a detected scale has none).
    ColourTable table;
    GrowTable(table, 8);
    std::vector<Cell> cells(places.size());
    const std::size_t half = static_cast<std::size_t>(scale / 2);
    const bool checkSquares = !detected && scale > 1;
    for (std::size_t i = 0; i < places.size(); ++i)
    {
        Cell& cell = cells[i];
        cell.place = places[i];
        const std::vector<std::uint32_t>& frame = pixels[static_cast<std::size_t>(cell.place.frame)];
        const std::size_t width =
            static_cast<std::size_t>(frames[static_cast<std::size_t>(cell.place.frame)].width);
        std::uint32_t last = 0, lastId = 0;
        for (int y = 0; y < kSpriteHeight; ++y)
        {
            const std::size_t top = static_cast<std::size_t>(cell.place.y + y * scale);
            const std::uint32_t* row =
                frame.data() + (top + half) * width + static_cast<std::size_t>(cell.place.x) + half;
            for (int x = 0; x < kSpriteWidth; ++x)
            {
                const std::uint32_t sample = row[x * scale];
                if (sample != last)
                {
                    last = sample;
                    lastId = sample == 0 ? 0 : FindOrAdd(table, sample);
                }
                cell.id[static_cast<std::size_t>(y * kSpriteWidth + x)] = lastId;
                if (!checkSquares) continue;
                const std::size_t left = static_cast<std::size_t>(cell.place.x + x * scale);
                bool mixed = false;
                for (int dy = 0; dy < scale && !mixed; ++dy)
                {
                    const std::uint32_t* square =
                        frame.data() + (top + static_cast<std::size_t>(dy)) * width + left;
                    for (int dx = 0; dx < scale && !mixed; ++dx)
                        mixed = square[dx] != sample;
                }
                if (mixed)
                    cell.violations.push_back(
                        ViolationAt(cell, y * kSpriteWidth + x, scale, ViolationKind::MixedBlock));
            }
        }
    }
    while (!cells.empty() && IsSheetFiller(cells.back(), table))
    {
        cells.pop_back();
        ++result.fillerCells;
    }

    // The palette: the least squared distance over all opaque samples.
    for (const Cell& cell : cells)
        for (std::uint32_t id : cell.id)
            ++table.counts[id];
    std::array<long long, kPaletteColours + 1> indexCounts{};
    indexCounts[kTransparentIndex] = table.counts[0];
    long long opaque = -table.counts[0];
    for (long long count : table.counts)
        opaque += count;
    int chosen = settings.palette;
    long long chosenError = -1;
    for (std::size_t p = 0; p < palettes.size(); ++p)
    {
        if (settings.palette >= 0 && static_cast<int>(p) != settings.palette) continue;
        long long error = 0;
        for (std::size_t id = 1; id < table.colours.size(); ++id)
        {
            long long nearest = -1;
            for (std::uint32_t entry : palettes[p].colours)
            {
                const long long d = DistanceSquared(table.colours[id], entry);
                if (nearest < 0 || d < nearest) nearest = d;
            }
            error += nearest * table.counts[id];
        }
        if (chosenError < 0 || error < chosenError)
        {
            chosen = static_cast<int>(p);
            chosenError = error;
        }
    }
    const std::uint32_t* palette = palettes[static_cast<std::size_t>(chosen)].colours;
    result.palette = chosen;
    result.meanError = opaque > 0 ? static_cast<double>(chosenError) / static_cast<double>(opaque) : 0.0;
    table.nearest.resize(table.colours.size());
    for (std::size_t id = 1; id < table.colours.size(); ++id)
    {
        int best = 0;
        for (int c = 1; c < kPaletteColours; ++c)
            if (DistanceSquared(table.colours[id], palette[c]) <
                DistanceSquared(table.colours[id], palette[best]))
                best = c;
        table.nearest[id] = static_cast<std::uint8_t>(best);
        indexCounts[static_cast<std::size_t>(best)] += table.counts[id];
    }

    // The background: as given; or the most frequent colour; or, when transparency is
    // more frequent still, a colour no pixel shows, so that none is lost to it.
    int background = settings.background;
    if (background < 0)
    {
        background = 0;
        for (int c = 1; c < kPaletteColours; ++c)
            if (indexCounts[static_cast<std::size_t>(c)] > indexCounts[static_cast<std::size_t>(background)])
                background = c;
        if (indexCounts[kTransparentIndex] > indexCounts[static_cast<std::size_t>(background)])
            for (int c = 0; c < kPaletteColours; ++c)
                if (indexCounts[static_cast<std::size_t>(c)] == 0)
                {
                    background = c;
                    break;
                }
    }

    // Each cell's colours, as palette indices, and its mode.
    table.nearest[0] = static_cast<std::uint8_t>(background);
    for (Cell& cell : cells)
    {
        for (int p = 0; p < kCellPixels; ++p)
        {
            const std::uint8_t value = table.nearest[cell.id[static_cast<std::size_t>(p)]];
            cell.value[static_cast<std::size_t>(p)] = value;
            ++cell.counts[value];
        }
        cell.pairsEqual = true;
        for (int p = 0; p < kCellPixels && cell.pairsEqual; p += 2)
            cell.pairsEqual =
                cell.value[static_cast<std::size_t>(p)] == cell.value[static_cast<std::size_t>(p) + 1];
        for (int c = 0; c < kPaletteColours; ++c)
            if (c != background && cell.counts[static_cast<std::size_t>(c)] > 0) cell.colours |= 1u << c;
        cell.blank = cell.colours == 0;
        cell.multicolour = settings.mode == ImportMode::Multicolour ||
                           (settings.mode == ImportMode::Auto && cell.pairsEqual);
    }

    // What an overlay pair could do for a cell one sprite may not show exactly: a hires
    // sprite of one of its colours on top (or of the next cell's picture, when that
    // cell shows exactly such a sprite), and the colours left to the sprite below.
    if (settings.overlay && settings.mode != ImportMode::Hires)
        for (std::size_t i = 0; i < cells.size(); ++i)
        {
            Cell& cell = cells[i];
            if (cell.blank || (PopCount(cell.colours) < 2 && (!cell.multicolour || cell.pairsEqual)))
                continue;
            if (i + 1 < cells.size())
            {
                const Cell& next = cells[i + 1];
                if (next.violations.empty() && PopCount(next.colours) == 1)
                {
                    int colour = 0;
                    while ((next.colours & (1u << colour)) == 0)
                        ++colour;
                    PixelSet top;
                    bool under = true;
                    for (int p = 0; p < kCellPixels && under; ++p)
                        if (next.value[static_cast<std::size_t>(p)] != background)
                        {
                            top[static_cast<std::size_t>(p)] = true;
                            under = cell.value[static_cast<std::size_t>(p)] == colour;
                        }
                    OverlayOption option;
                    if (under && BodyColours(cell, top, background, option.body))
                    {
                        option.colour = colour;
                        option.fromNext = true;
                        option.pixels = static_cast<int>(top.count());
                        cell.options.push_back(option);
                        cell.nextTop = top;
                    }
                }
            }
            for (int colour = 0; colour < kPaletteColours; ++colour)
            {
                if ((cell.colours & (1u << colour)) == 0) continue;
                OverlayOption option;
                if (!BodyColours(cell, PixelsOf(cell, colour), background, option.body)) continue;
                option.colour = colour;
                option.pixels = cell.counts[static_cast<std::size_t>(colour)];
                cell.options.push_back(option);
            }
        }

    // The shared colours: the pair that lets the most cells be shown exactly; on a tie
    // the pair whose colours cover the most pixels of the multicolour cells, then the
    // lowest colour numbers.
    Shared shared;
    shared.background = background;
    shared.palette = palette;
    shared.samples = table.colours.data();
    {
        std::vector<const Cell*> depending;
        std::array<long long, kPaletteColours> coverage{};
        for (const Cell& cell : cells)
        {
            if (!cell.options.empty() || (cell.multicolour && cell.pairsEqual && PopCount(cell.colours) > 1))
                depending.push_back(&cell);
            if (cell.multicolour && !cell.blank)
                for (int c = 0; c < kPaletteColours; ++c)
                    if (c != background)
                        coverage[static_cast<std::size_t>(c)] += cell.counts[static_cast<std::size_t>(c)];
        }
        int bestA = -1, bestB = -1;
        long long bestExact = -1, bestCoverage = -1;
        const auto consider = [&](int a, int b)
        {
            const unsigned set = (1u << background) | (1u << a) | (1u << b);
            long long exact = 0;
            for (const Cell* cell : depending)
                exact += ExactWith(*cell, set) ? 1 : 0;
            const long long covered =
                coverage[static_cast<std::size_t>(a)] + coverage[static_cast<std::size_t>(b)];
            if (exact > bestExact || (exact == bestExact && covered > bestCoverage))
            {
                bestA = a;
                bestB = b;
                bestExact = exact;
                bestCoverage = covered;
            }
        };
        const int fixed = settings.multi1 >= 0 ? settings.multi1 : settings.multi2;
        if (settings.multi1 >= 0 && settings.multi2 >= 0)
        {
            shared.multi1 = settings.multi1;
            shared.multi2 = settings.multi2;
        }
        else if (fixed >= 0)
        {
            for (int other = 0; other < kPaletteColours; ++other)
                if (other != fixed && other != background) consider(fixed, other);
            shared.multi1 = settings.multi1 >= 0 ? fixed : bestB;
            shared.multi2 = settings.multi1 >= 0 ? bestB : fixed;
        }
        else
        {
            for (int a = 0; a < kPaletteColours; ++a)
                for (int b = a + 1; b < kPaletteColours; ++b)
                    if (a != background && b != background) consider(a, b);
            // The colour covering more pixels becomes multi-colour 1.
            const bool swap =
                coverage[static_cast<std::size_t>(bestB)] > coverage[static_cast<std::size_t>(bestA)];
            shared.multi1 = swap ? bestB : bestA;
            shared.multi2 = swap ? bestA : bestB;
        }
    }
    result.background = shared.background;
    result.multi1 = shared.multi1;
    result.multi2 = shared.multi2;

    // Each cell's sprite or pair, in slot order while there is room.
    const unsigned sharedSet = (1u << shared.background) | (1u << shared.multi1) | (1u << shared.multi2);
    result.cells.resize(cells.size());
    int slot = 0;
    bool full = false;
    for (std::size_t i = 0; i < cells.size(); ++i)
    {
        Cell& cell = cells[i];
        ImportedCell& out = result.cells[i];
        out.frame = cell.place.frame;
        out.x = cell.place.x;
        out.y = cell.place.y;

        const OverlayOption* pick = nullptr;
        if (!SingleExact(cell, sharedSet))
            for (const OverlayOption& option : cell.options)
            {
                if (!FitsShared(option.body, sharedSet)) continue;
                if (pick == nullptr || (option.fromNext && !pick->fromNext) ||
                    (option.fromNext == pick->fromNext && option.pixels < pick->pixels))
                    pick = &option;
            }
        const int needed = pick != nullptr ? 2 : 1;
        if (full || slot + needed > settings.maxSprites)
        {
            full = true;
            ++result.cellsLeftOut;
            continue;
        }
        out.slot = slot;
        out.violations = std::move(cell.violations);
        result.sprites.resize(static_cast<std::size_t>(slot + needed) * kSpriteBytes);
        u8* sprite = result.sprites.data() + static_cast<std::size_t>(slot) * kSpriteBytes;
        if (cell.blank)
        {
            std::memset(sprite, 0, kSpriteBytes);
            sprite[kAttributeByte] = kDefaultAttribute;
            out.blank = true;
            out.multicolour = true;
            out.colour = kUnusedOwnColour;
            out.ambiguous = kAmbiguousMode | kAmbiguousColour;
        }
        else if (pick != nullptr)
        {
            const PixelSet top = pick->fromNext ? cell.nextTop : PixelsOf(cell, pick->colour);
            OverlayPair(cell, shared, top, pick->colour, out, sprite, sprite + kSpriteBytes);
            if (pick->fromNext)
            {
                // The next cell is the top sprite: it is imported with the pair.
                ImportedCell& next = result.cells[i + 1];
                next.frame = cells[i + 1].place.frame;
                next.x = cells[i + 1].place.x;
                next.y = cells[i + 1].place.y;
                next.slot = slot + 1;
                next.partOfPair = true;
                next.colour = pick->colour;
                ++i;
            }
        }
        else if (cell.multicolour)
            SingleMulticolour(cell, shared, scale, settings.mode, out, sprite);
        else
            SingleHires(cell, shared, scale, out, sprite);
        slot += needed;
    }
    result.spriteCount = slot;
    for (const ImportedCell& cell : result.cells)
        result.violations += static_cast<int>(cell.violations.size());
    result.status = ImportStatus::Ok;
    return result;
}

} // namespace

ImageImportResult ImportImage(const std::vector<RgbaImage>& frames, const std::vector<NamedPalette>& palettes,
                              const ImageImportSettings& settings)
{
    return Import(FrameList{frames.data(), frames.size()}, palettes, settings);
}

ImageImportResult ImportImage(const RgbaImage& picture, const std::vector<NamedPalette>& palettes,
                              const ImageImportSettings& settings)
{
    return Import(FrameList{&picture, 1}, palettes, settings);
}

int PlaceImportedSprites(const ImageImportResult& result, u8* block, int first)
{
    if (block == nullptr || !ValidSlot(first)) return 0;
    const int count = std::min(result.spriteCount, kSlotCount - first);
    if (count <= 0) return 0;
    std::memcpy(block + static_cast<std::size_t>(first) * kSpriteBytes, result.sprites.data(),
                static_cast<std::size_t>(count) * kSpriteBytes);
    return count;
}

} // namespace kelmora
