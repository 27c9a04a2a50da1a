// Importing a picture: a PNG sheet of 256 multicolour sprites (8 columns, scale 1)
// decoded and made into sprites with the palette and the shared colours chosen from
// the picture, next to decoding the same PNG alone.
#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "cli/Pictures.h"
#include "cli/Sheet.h"
#include "core/SpriteBankStore.h"

using namespace kelmora;

namespace bench
{

namespace
{

// 256 multicolour figures: in each row a run of double-wide pixels of the three
// colours around the middle, the rest background; the own colour changes from
// sprite to sprite.
std::vector<std::uint8_t> SheetPng()
{
    std::vector<u8> block(kBlockBytes);
    ClearBank(block.data());
    std::uint32_t seed = 0x9E3779B9u;
    const auto next = [&seed]()
    {
        seed = seed * 1664525u + 1013904223u;
        return seed >> 16;
    };
    for (int i = 0; i < kSlotCount; ++i)
    {
        u8* sprite = block.data() + i * kSpriteBytes;
        for (int y = 0; y < kSpriteHeight; ++y)
        {
            const int half = 1 + static_cast<int>(next() % 6);
            for (int pair = 6 - half; pair < 6 + half; ++pair)
            {
                const int value = 1 + static_cast<int>(next() % 3);
                sprite[y * 3 + pair / 4] |= static_cast<u8>(value << (6 - 2 * (pair % 4)));
            }
        }
        static const u8 own[] = {1, 3, 4, 5, 7, 8, 10, 12, 13, 14, 15};
        sprite[kAttributeByte] = static_cast<u8>(kAttrMulticolour | own[i % 11]);
    }
    SpriteBank bank{};
    bank.sprites = block.data();
    bank.spriteCount = kSlotCount;
    bank.colourTransp = 6;
    bank.colourMulti1 = 2;
    bank.colourMulti2 = 9;
    const RgbaImage sheet = RenderSheet(bank, 0, kSlotCount - 1, 8, 1, kBuiltInPalette);
    std::vector<std::uint8_t> png;
    kelmora::cli::EncodePng(sheet, png);
    return png;
}

// Every palette known: the built-in one and the sample palettes.pal.
std::vector<NamedPalette> Palettes()
{
    std::vector<NamedPalette> loaded(kMaxLoadedPalettes);
    const int kept = ReadPalettes(KELMORA_PALETTES_FILE, loaded.data(), kMaxLoadedPalettes);
    loaded.resize(kept > 0 ? static_cast<std::size_t>(kept) : 0);
    return kelmora::cli::KnownPalettes(loaded);
}

void ImportSheet(benchmark::State& state, bool solve)
{
    const std::vector<std::uint8_t> png = SheetPng();
    const std::vector<NamedPalette> palettes = Palettes();
    if (png.empty() || palettes.size() < 2)
    {
        state.SkipWithError("no picture support or no palettes.pal");
        return;
    }
    for (auto _ : state)
    {
        std::vector<RgbaImage> frames;
        std::string reason;
        if (!kelmora::cli::DecodePicture(png, frames, reason))
        {
            state.SkipWithError(reason.c_str());
            return;
        }
        if (solve)
        {
            const ImageImportResult result = ImportImage(frames, palettes, {});
            if (result.spriteCount != kSlotCount || result.violations != 0 || result.scale != 1)
            {
                state.SkipWithError("the sheet did not come back whole");
                return;
            }
            benchmark::DoNotOptimize(result.sprites.data());
        }
        benchmark::DoNotOptimize(frames.data());
        benchmark::ClobberMemory();
    }
}

} // namespace

void RegisterImageImportBenchmarks()
{
    Rows().push_back(
        TimeRow("ImportImage of a 256-sprite PNG sheet (multicolour, 8 columns, scale 1), decoding "
                "included, against decoding it alone",
                "ImportImage/sheet", "ImportImage/decode", 100e6, 3.0));
    benchmark::RegisterBenchmark("ImportImage/sheet", ImportSheet, true)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("ImportImage/decode", ImportSheet, false)->Unit(benchmark::kMillisecond);
}

} // namespace bench
