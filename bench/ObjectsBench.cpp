// The object editor's core paths: one stroke event on an 8 x 8 object with an overlay
// layer, and a flood fill of the whole object, next to drawing the object's picture 1:1.
#include <vector>

#include "bench/BenchSupport.h"
#include "core/Palette.h"
#include "core/SpriteBankStore.h"

using namespace kelmora;

namespace bench
{

namespace
{

// An 8 x 8 object of multicolour sprites 0..63 with a hires overlay layer in 64..127.
struct ObjectSetup
{
    std::vector<u8> block = std::vector<u8>(kBlockBytes);
    SpriteBank bank{kSlotCount, 11, 0, 5, 1, nullptr, 0, 0, 0, 2};
    SpriteObject object = *MakeObject("bench", 0, 8, 8);
    PaletteTables tables{};
    std::vector<std::uint32_t> pixels = std::vector<std::uint32_t>(192 * 168);

    ObjectSetup()
    {
        FillSampleBank(block.data());
        bank.sprites = block.data();
        AddOverlayLayer(object, 64);
        for (int i = 0; i < 64; ++i)
        {
            block[i * kSpriteBytes + kAttributeByte] = static_cast<u8>(kAttrMulticolour | (i & 15));
            block[(64 + i) * kSpriteBytes + kAttributeByte] = static_cast<u8>(i & 15);
        }
        BuildPaletteTables(kBuiltInPalette, tables);
    }
};

// One mouse move of a fast drag with Brush 2 and an underlay pen: the line between two
// pointer positions 40 picture pixels apart, crossing two seams, each stamp clearing the
// overlay pixels it covers. The pens alternate so every event changes pixels.
void ObjectStrokeEvent(benchmark::State& state)
{
    ObjectSetup setup;
    int pen = 1;
    int changed = 0;
    for (auto _ : state)
    {
        changed += PaintObjectLine(setup.bank, setup.object, 60, 30, 90, 56, pen, Brush::Plus);
        pen = 4 - pen;
        benchmark::DoNotOptimize(setup.block.data());
        benchmark::ClobberMemory();
    }
    if (changed == 0) state.SkipWithError("the stroke changed nothing");
}

// The whole 192 x 168 picture filled from a corner, alternating two pens.
void ObjectFill(benchmark::State& state)
{
    ObjectSetup setup;
    ClearObject(setup.bank, setup.object);
    int pen = 1;
    for (auto _ : state)
    {
        if (FillObject(setup.bank, setup.object, 0, 0, pen) != 64 * 12 * 21)
        {
            state.SkipWithError("the fill did not cover the object");
            break;
        }
        pen = 4 - pen;
        benchmark::ClobberMemory();
    }
}

// The object's picture drawn 1:1: every cell and its overlay, 192 x 168 pixels.
void ObjectRenderReference(benchmark::State& state)
{
    ObjectSetup setup;
    const RenderColours colours{{11, 0, 5, 1}, setup.tables.base, setup.tables.highlight};
    for (auto _ : state)
    {
        RenderObjectPixels(setup.bank, setup.object, colours, 0, setup.pixels.data(), 192);
        benchmark::DoNotOptimize(setup.pixels.data());
        benchmark::ClobberMemory();
    }
}

} // namespace

void RegisterObjectBenchmarks()
{
    Rows().push_back(
        TimeRow("Object 8 x 8 with overlay: one stroke event (Brush 2, 40-pixel drag), core part",
                "Object/strokeEvent", "Object/renderReference", 100e3, 2));
    Rows().push_back(TimeRow("Object 8 x 8 with overlay: flood fill of the whole picture", "Object/fill",
                             "Object/renderReference", 5e6, 0));
    benchmark::RegisterBenchmark("Object/strokeEvent", ObjectStrokeEvent);
    benchmark::RegisterBenchmark("Object/fill", ObjectFill);
    benchmark::RegisterBenchmark("Object/renderReference", ObjectRenderReference);
}

} // namespace bench
