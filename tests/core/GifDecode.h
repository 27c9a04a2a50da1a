// Reading a GIF back with giflib's own decoder, for the suites that check what the
// GIF writer and `kelmora-cli gif` wrote. Only in builds with giflib.
#pragma once

#ifdef KELMORA_HAVE_GIF

#include <gif_lib.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace gif_test
{

struct DecodedFrame
{
    int left = 0, top = 0, width = 0, height = 0;
    int delay = -1;                    // hundredths of a second; -1 without a graphics control block
    int transparent = -2;              // the transparent index, -1 none
    std::vector<std::uint8_t> indices; // width x height
};

struct DecodedGif
{
    std::string problem; // empty when decoded
    int width = 0, height = 0;
    std::vector<std::uint32_t> palette; // the global colour table, 0x00RRGGBB
    int loopCount = -1;                 // from the NETSCAPE2.0 extension; -1 without one
    std::vector<DecodedFrame> frames;
};

inline DecodedGif DecodeGif(const std::vector<std::uint8_t>& bytes)
{
    struct Input
    {
        const std::vector<std::uint8_t>* bytes;
        std::size_t at;
    } input{&bytes, 0};
    const InputFunc read = [](GifFileType* gif, GifByteType* out, int wanted) -> int
    {
        auto* in = static_cast<Input*>(gif->UserData);
        const std::size_t left = in->bytes->size() - in->at;
        const std::size_t n =
            left < static_cast<std::size_t>(wanted) ? left : static_cast<std::size_t>(wanted);
        std::memcpy(out, in->bytes->data() + in->at, n);
        in->at += n;
        return static_cast<int>(n);
    };
    DecodedGif decoded;
    int error = 0;
    GifFileType* gif = DGifOpen(&input, read, &error);
    if (gif == nullptr) return decoded.problem = "not a GIF", decoded;
    if (DGifSlurp(gif) != GIF_OK)
    {
        decoded.problem = std::string("giflib: ") + GifErrorString(gif->Error);
        DGifCloseFile(gif, &error);
        return decoded;
    }
    decoded.width = gif->SWidth;
    decoded.height = gif->SHeight;
    if (gif->SColorMap != nullptr)
        for (int i = 0; i < gif->SColorMap->ColorCount; ++i)
        {
            const GifColorType c = gif->SColorMap->Colors[i];
            decoded.palette.push_back(std::uint32_t(c.Red) << 16 | std::uint32_t(c.Green) << 8 | c.Blue);
        }
    const auto scan = [&decoded](const ExtensionBlock* blocks, int count)
    {
        for (int k = 0; k + 1 < count; ++k)
            if (blocks[k].Function == APPLICATION_EXT_FUNC_CODE && blocks[k].ByteCount == 11 &&
                std::memcmp(blocks[k].Bytes, "NETSCAPE2.0", 11) == 0 && blocks[k + 1].ByteCount == 3 &&
                blocks[k + 1].Bytes[0] == 1)
                decoded.loopCount = blocks[k + 1].Bytes[1] | blocks[k + 1].Bytes[2] << 8;
    };
    scan(gif->ExtensionBlocks, gif->ExtensionBlockCount);
    for (int i = 0; i < gif->ImageCount; ++i)
    {
        const SavedImage& image = gif->SavedImages[i];
        scan(image.ExtensionBlocks, image.ExtensionBlockCount);
        DecodedFrame frame;
        frame.left = image.ImageDesc.Left;
        frame.top = image.ImageDesc.Top;
        frame.width = image.ImageDesc.Width;
        frame.height = image.ImageDesc.Height;
        GraphicsControlBlock control;
        if (DGifSavedExtensionToGCB(gif, i, &control) == GIF_OK)
        {
            frame.delay = control.DelayTime;
            frame.transparent = control.TransparentColor;
        }
        frame.indices.assign(image.RasterBits, image.RasterBits + frame.width * frame.height);
        decoded.frames.push_back(frame);
    }
    DGifCloseFile(gif, &error);
    return decoded;
}

} // namespace gif_test

#endif
