// Exporting an animation: a 256-frame sequence at scale 4 written as an animated GIF,
// next to the same frames written as one PNG strip.
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

#include "bench/BenchSupport.h"
#include "cli/Pictures.h"
#include "core/SpriteBankStore.h"

using namespace kelmora;
namespace fs = std::filesystem;

namespace bench
{

namespace
{

constexpr int kScale = 4;

// The sample bank and a sequence showing each of its 256 slots for four ticks.
struct Animation
{
    std::vector<u8> block = std::vector<u8>(kBlockBytes);
    SpriteBank bank{};
    Sequence sequence;

    Animation()
    {
        FillSampleBank(block.data());
        bank.spriteCount = kSlotCount;
        bank.colourTransp = 11;
        bank.colourMulti1 = 0;
        bank.colourSprite = 5;
        bank.colourMulti2 = 1;
        bank.sprites = block.data();
        sequence.name = "all";
        for (int slot = 0; slot < kSlotCount; ++slot)
            sequence.frames.push_back({slot, 4, ""});
    }
};

std::string TempFile(const char* name)
{
    return (fs::temp_directory_path() /
            (std::string("kelmora-bench-") + std::to_string(getpid()) + "-" + name))
        .string();
}

// The strip as a PNG file. The PNG encoder is the one place to change when pictures are
// written another way.
bool WriteStrip(const Animation& a, const std::string& path)
{
    const FramePicture strip = RenderFrameStrip(a.bank, SequencePass(a.sequence), kScale);
    RgbaImage picture;
    picture.width = strip.width;
    picture.height = strip.height;
    picture.pixels = PictureToRgb(strip, kBuiltInPalette);
    for (std::uint32_t& pixel : picture.pixels)
        pixel |= kOpaqueAlpha;
    std::vector<std::uint8_t> png;
    return cli::EncodePng(picture, png) && WriteWholeFile(path.c_str(), png.data(), png.size());
}

bool WriteGif(const Animation& a, const std::string& path)
{
    const std::vector<std::uint8_t> gif = EncodeSequenceGif(a.bank, a.sequence, kScale, kBuiltInPalette);
    return !gif.empty() && WriteWholeFile(path.c_str(), gif.data(), gif.size());
}

void Export(benchmark::State& state, bool gif)
{
    if (gif && !GifSupported())
    {
        state.SkipWithError("built without GIF support");
        return;
    }
    const Animation animation;
    const std::string path = TempFile(gif ? "walk.gif" : "walk.png");
    bool ok = true;
    for (auto _ : state)
        ok = (gif ? WriteGif(animation, path) : WriteStrip(animation, path)) && ok;
    std::error_code ignored;
    fs::remove(path, ignored);
    if (!ok) state.SkipWithError("the file could not be written");
}

} // namespace

void RegisterGifBenchmarks()
{
    Rows().push_back(TimeRow("GIF export of a 256-frame sequence at scale 4, file written", "Export/gif",
                             "Export/pngStrip", 300e6, 0, 1, true));
    benchmark::RegisterBenchmark("Export/gif", Export, true)->Unit(benchmark::kMillisecond)->UseRealTime();
    benchmark::RegisterBenchmark("Export/pngStrip", Export, false)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
}

} // namespace bench
