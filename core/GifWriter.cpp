// Animated GIF pictures of sprite animations.
#include "core/GifWriter.h"

#include "core/FramePictures.h"

#ifdef KELMORA_HAVE_GIF
#include <gif_lib.h>

#include <array>
#include <memory>
#endif

namespace kelmora
{

#ifdef KELMORA_HAVE_GIF

namespace
{

// giflib's output function: appends to the vector in UserData. A short count makes
// giflib fail the call.
int AppendBytes(GifFileType* gif, const GifByteType* data, int length)
{
    try
    {
        auto* out = static_cast<std::vector<std::uint8_t>*>(gif->UserData);
        out->insert(out->end(), data, data + length);
        return length;
    }
    catch (...)
    {
        return 0;
    }
}

struct GifCloser
{
    void operator()(GifFileType* gif) const
    {
        int error = 0;
        EGifCloseFile(gif, &error);
    }
};

struct MapFreer
{
    void operator()(ColorMapObject* map) const { GifFreeMapObject(map); }
};

bool PutLoopExtension(GifFileType* gif)
{
    static const GifByteType kName[] = {'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0'};
    static const GifByteType kForEver[] = {1, 0, 0}; // sub-block 1: loop count 0
    return EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE) == GIF_OK &&
           EGifPutExtensionBlock(gif, sizeof kName, kName) == GIF_OK &&
           EGifPutExtensionBlock(gif, sizeof kForEver, kForEver) == GIF_OK &&
           EGifPutExtensionTrailer(gif) == GIF_OK;
}

bool PutFrame(GifFileType* gif, FramePicture& picture, int delay)
{
    GraphicsControlBlock control{};
    control.DisposalMode = DISPOSE_DO_NOT;
    control.UserInputFlag = false;
    control.DelayTime = delay * kGifUnitsPerTick;
    control.TransparentColor = NO_TRANSPARENT_COLOR;
    GifByteType extension[4];
    const std::size_t length = EGifGCBToExtension(&control, extension);
    if (EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length), extension) != GIF_OK ||
        EGifPutImageDesc(gif, 0, 0, picture.width, picture.height, false, nullptr) != GIF_OK)
        return false;
    for (int y = 0; y < picture.height; ++y)
        if (EGifPutLine(gif, picture.colours.data() + static_cast<std::size_t>(y) * picture.width,
                        picture.width) != GIF_OK)
            return false;
    return true;
}

} // namespace

bool GifSupported()
{
    return true;
}

std::vector<std::uint8_t> EncodeFramesGif(const SpriteBank& bank, const std::vector<ShownFrame>& frames,
                                          const std::vector<SpriteObject>& objects, int scale,
                                          const std::uint32_t palette[kPaletteColours], bool loopForever)
{
    std::vector<std::uint8_t> out;
    if (palette == nullptr || frames.empty() || frames.size() > static_cast<std::size_t>(kMaxStripFrames))
        return out;
    const FrameSize canvas = FrameCanvasSize(frames, objects);
    if (canvas.width == 0) return out;
    // Each slot is drawn once, however often it is shown; an object is drawn whenever it
    // is shown (its picture may be large). Every frame is checked before any is written.
    std::array<FramePicture, kSlotCount> drawn;
    for (const ShownFrame& frame : frames)
    {
        if (frame.delay < kMinFrameDelay || frame.delay > kMaxFrameDelay) return out;
        FramePicture picture = RenderShownFrame(bank, frame, objects, canvas, scale);
        if (picture.colours.empty()) return out;
        if (frame.object.empty()) drawn[static_cast<std::size_t>(frame.slot)] = std::move(picture);
    }

    GifColorType colours[kPaletteColours];
    for (int i = 0; i < kPaletteColours; ++i)
    {
        colours[i].Red = static_cast<GifByteType>(palette[i] >> 16);
        colours[i].Green = static_cast<GifByteType>(palette[i] >> 8);
        colours[i].Blue = static_cast<GifByteType>(palette[i]);
    }
    const std::unique_ptr<ColorMapObject, MapFreer> map(GifMakeMapObject(kPaletteColours, colours));
    int error = 0;
    std::unique_ptr<GifFileType, GifCloser> gif(EGifOpen(&out, AppendBytes, &error));
    if (!map || !gif) return {};
    EGifSetGifVersion(gif.get(), true);
    bool ok =
        EGifPutScreenDesc(gif.get(), canvas.width * scale, canvas.height * scale, 4, 0, map.get()) == GIF_OK;
    if (ok && loopForever) ok = PutLoopExtension(gif.get());
    for (std::size_t k = 0; ok && k < frames.size(); ++k)
    {
        const ShownFrame& frame = frames[k];
        if (frame.object.empty())
            ok = PutFrame(gif.get(), drawn[static_cast<std::size_t>(frame.slot)], frame.delay);
        else
        {
            FramePicture picture = RenderShownFrame(bank, frame, objects, canvas, scale);
            ok = PutFrame(gif.get(), picture, frame.delay);
        }
    }
    // Closing writes the trailer; giflib does not check that write, so look for it.
    ok = EGifCloseFile(gif.release(), &error) == GIF_OK && ok;
    if (!ok || out.empty() || out.back() != ';') return {};
    return out;
}

#else // no giflib in this build

bool GifSupported()
{
    return false;
}

std::vector<std::uint8_t> EncodeFramesGif(const SpriteBank&, const std::vector<ShownFrame>&,
                                          const std::vector<SpriteObject>&, int,
                                          const std::uint32_t[kPaletteColours], bool)
{
    return {};
}

#endif

std::vector<std::uint8_t> EncodeFramesGif(const SpriteBank& bank, const std::vector<ShownFrame>& frames,
                                          int scale, const std::uint32_t palette[kPaletteColours],
                                          bool loopForever)
{
    return EncodeFramesGif(bank, frames, {}, scale, palette, loopForever);
}

std::vector<std::uint8_t> EncodeSequenceGif(const SpriteBank& bank, const Sequence& sequence, int scale,
                                            const std::uint32_t palette[kPaletteColours])
{
    return EncodeSequenceGif(bank, sequence, {}, scale, palette);
}

std::vector<std::uint8_t> EncodeSequenceGif(const SpriteBank& bank, const Sequence& sequence,
                                            const std::vector<SpriteObject>& objects, int scale,
                                            const std::uint32_t palette[kPaletteColours])
{
    return EncodeFramesGif(bank, SequencePass(sequence), objects, scale, palette,
                           sequence.mode != PlayMode::Once);
}

} // namespace kelmora
