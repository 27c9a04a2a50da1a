// Animation frames as pictures (against a model built from single pixels), strips, and
// animated GIFs read back with giflib's decoder: pictures, palette, delays, looping.
// The order of a sequence's frames in a GIF is proven through kelmora-cli gif.
#include "CoreTestSupport.h"
#include "GifDecode.h"

using namespace kelmora;
using namespace kelmora_test;

namespace
{

// Slot 0: multicolour, colour 7, overlay flag; slot 1: its hires partner in white.
// Shared colours: background 6, multi-colour 1 2, multi-colour 2 9.
struct PairBank
{
    Bytes block = Bytes(kBlockBytes);
    SpriteBank bank{};
    PairBank()
    {
        ClearBank(block.data());
        u8* b = block.data();
        b[63] = kAttrMulticolour | kAttrOverlay | 7;
        b[64 + 63] = 1;
        for (int y = 0; y < kSpriteHeight; ++y)
            for (int x = 0; x < 12; ++x)
                SetPixel(b, 0, x, y, (x * 7 + y * 3) % 4);
        for (int y = 0; y < kSpriteHeight; ++y)
            for (int x = 0; x < kSpriteWidth; ++x)
                if ((x + 2 * y) % 5 == 0) SetPixel(b, 1, x, y, 2);
        bank.spriteCount = 2;
        bank.colourTransp = 6;
        bank.colourMulti1 = 2;
        bank.colourSprite = 5;
        bank.colourMulti2 = 9;
        bank.sprites = b;
    }
};

// What the browser shows at hires pixel (x, y) of the pair: the overlay's set pixels
// in its colour, elsewhere the multicolour pixel under it.
int PairColour(const PairBank& p, int x, int y, bool withOverlay)
{
    if (withOverlay && GetPixel(p.block.data(), 1, x, y) == 2) return 1;
    const int colours[4] = {6, 2, 7, 9};
    return colours[GetPixel(p.block.data(), 0, x / 2, y)];
}

// Eight sprites of mixed modes, colours and overlay flags.
struct MixedBank
{
    Bytes block = Pattern(kBlockBytes, 5);
    SpriteBank bank{8, 11, 0, 5, 1, nullptr, 0, 0, 0, 2};
    MixedBank() { bank.sprites = block.data(); }
};

} // namespace

TEST(FramePictures, FrameIsTheBrowsersPictureInColourNumbersScaled)
{
    PairBank p;
    for (int scale : {1, 3, 8})
    {
        const FramePicture picture = RenderFramePicture(p.bank, 0, scale);
        ASSERT_EQ(picture.width, 24 * scale);
        ASSERT_EQ(picture.height, 21 * scale);
        int wrong = 0;
        for (int y = 0; y < picture.height; ++y)
            for (int x = 0; x < picture.width; ++x)
                wrong += picture.colours[static_cast<std::size_t>(y * picture.width + x)] !=
                         PairColour(p, x / scale, y / scale, true);
        EXPECT_EQ(wrong, 0) << "scale " << scale;
    }

    // The partner alone is a hires sprite; without its partner in use the underlay shows alone.
    const FramePicture partner = RenderFramePicture(p.bank, 1, 1);
    EXPECT_EQ(partner.colours[0], 1); // (0, 0) is set in the partner
    EXPECT_EQ(partner.colours[1], 6); // (1, 0) is not: background
    p.bank.spriteCount = 1;
    const FramePicture alone = RenderFramePicture(p.bank, 0, 1);
    for (int x = 0; x < 24; ++x)
        EXPECT_EQ(alone.colours[static_cast<std::size_t>(x)], PairColour(p, x, 0, false)) << x;
    // A slot past the sprites in use shows the background.
    const FramePicture unused = RenderFramePicture(p.bank, 5, 2);
    EXPECT_EQ(std::count(unused.colours.begin(), unused.colours.end(), 6), 48 * 42);

    EXPECT_TRUE(RenderFramePicture(p.bank, 0, 0).colours.empty());
    EXPECT_TRUE(RenderFramePicture(p.bank, 0, 9).colours.empty());
    EXPECT_TRUE(RenderFramePicture(p.bank, 256, 1).colours.empty());
    p.bank.sprites = nullptr;
    EXPECT_TRUE(RenderFramePicture(p.bank, 0, 1).colours.empty());
}

TEST(FramePictures, StripHoldsTheFramesSideBySide)
{
    MixedBank m;
    const std::vector<ShownFrame> frames = {{3, 4}, {0, 4}, {3, 1}, {7, 9}};
    const FramePicture strip = RenderFrameStrip(m.bank, frames, 2);
    ASSERT_EQ(strip.width, 4 * 48);
    ASSERT_EQ(strip.height, 42);
    for (std::size_t k = 0; k < frames.size(); ++k)
    {
        const FramePicture frame = RenderFramePicture(m.bank, frames[k].slot, 2);
        for (int y = 0; y < 42; ++y)
            ASSERT_TRUE(std::equal(frame.colours.begin() + y * 48, frame.colours.begin() + (y + 1) * 48,
                                   strip.colours.begin() + y * strip.width + static_cast<long>(k) * 48))
                << "frame " << k << " row " << y;
    }
    const std::vector<std::uint32_t> rgb = PictureToRgb(strip, kBuiltInPalette);
    ASSERT_EQ(rgb.size(), strip.colours.size());
    for (std::size_t i = 0; i < rgb.size(); i += 97)
        ASSERT_EQ(rgb[i], kBuiltInPalette[strip.colours[i]]);

    EXPECT_TRUE(RenderFrameStrip(m.bank, {}, 2).colours.empty());
    EXPECT_TRUE(RenderFrameStrip(m.bank, {{0, 4}, {300, 4}}, 2).colours.empty());
    EXPECT_TRUE(
        RenderFrameStrip(m.bank, std::vector<ShownFrame>(kMaxStripFrames + 1, {0, 1}), 1).colours.empty());
}

#ifdef KELMORA_HAVE_GIF

TEST(GifWriter, FramesPaletteDelaysAndLoopingReadBack)
{
    ASSERT_TRUE(GifSupported());
    MixedBank m;
    const std::vector<ShownFrame> frames = {{0, 1}, {3, 255}, {5, 4}, {3, 2}};
    for (bool loop : {true, false})
    {
        const gif_test::DecodedGif gif =
            gif_test::DecodeGif(EncodeFramesGif(m.bank, frames, 2, kBuiltInPalette, loop));
        ASSERT_EQ(gif.problem, "");
        EXPECT_EQ(gif.width, 48);
        EXPECT_EQ(gif.height, 42);
        EXPECT_EQ(gif.palette, std::vector<std::uint32_t>(kBuiltInPalette, kBuiltInPalette + 16));
        EXPECT_EQ(gif.loopCount, loop ? 0 : -1); // 0: for ever; none: once
        ASSERT_EQ(gif.frames.size(), frames.size());
        for (std::size_t k = 0; k < frames.size(); ++k)
        {
            const gif_test::DecodedFrame& frame = gif.frames[k];
            EXPECT_EQ(frame.left, 0);
            EXPECT_EQ(frame.top, 0);
            EXPECT_EQ(frame.width, 48);
            EXPECT_EQ(frame.height, 42);
            EXPECT_EQ(frame.delay, 2 * frames[k].delay) << k; // a tick is 2/100 s
            EXPECT_EQ(frame.transparent, -1);
            EXPECT_EQ(frame.indices, RenderFramePicture(m.bank, frames[k].slot, 2).colours) << k;
        }
    }

    // Whatever cannot be written gives no file at all.
    EXPECT_TRUE(EncodeFramesGif(m.bank, {}, 2, kBuiltInPalette, true).empty());
    EXPECT_TRUE(EncodeFramesGif(m.bank, {{0, 0}}, 2, kBuiltInPalette, true).empty());
    EXPECT_TRUE(EncodeFramesGif(m.bank, {{0, 256}}, 2, kBuiltInPalette, true).empty());
    EXPECT_TRUE(EncodeFramesGif(m.bank, {{0, 4}, {256, 4}}, 2, kBuiltInPalette, true).empty());
    EXPECT_TRUE(EncodeFramesGif(m.bank, {{0, 4}}, 9, kBuiltInPalette, true).empty());
    EXPECT_TRUE(EncodeFramesGif(m.bank, {{0, 4}}, 2, nullptr, true).empty());
}

#else

TEST(GifWriter, BuiltWithoutGifSupportWritesNothing)
{
    MixedBank m;
    EXPECT_FALSE(GifSupported());
    EXPECT_TRUE(EncodeFramesGif(m.bank, {{0, 4}}, 2, kBuiltInPalette, true).empty());
}

#endif

// Frames that name objects: each object frame is the object's picture (against a model
// of the composed picture), slot frames are drawn as before, and every frame takes the
// size of the largest with the background around a smaller one.
TEST(FramePictures, ObjectFramesAreTheObjectsPicturesOnOneCanvas)
{
    MixedBank m;
    SpriteObject wide = *MakeObject("wide", 2, 3, 1);
    wide.overlayCells = {5, 6, 7};
    const SpriteObject tall = *MakeObject("tall", 0, 1, 2);
    const std::vector<SpriteObject> objects{wide, tall};

    const FramePicture picture = RenderObjectPicture(m.bank, wide, 2);
    ASSERT_EQ(picture.width, 144);
    ASSERT_EQ(picture.height, 42);
    int wrong = 0;
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x)
            wrong += picture.colours[static_cast<std::size_t>(y * picture.width + x)] !=
                     ObjectPixelColour(m.bank, wide, x / 2, y / 2);
    EXPECT_EQ(wrong, 0);

    const std::vector<ShownFrame> frames = {{0, 4, "tall"}, {3, 4}, {0, 2, "wide"}};
    const FrameSize canvas = FrameCanvasSize(frames, objects);
    EXPECT_EQ(canvas.width, 72);
    EXPECT_EQ(canvas.height, 42);
    const FramePicture strip = RenderFrameStrip(m.bank, frames, objects, 1);
    ASSERT_EQ(strip.width, 3 * 72);
    ASSERT_EQ(strip.height, 42);
    const auto at = [&](int frame, int x, int y)
    { return static_cast<int>(strip.colours[static_cast<std::size_t>(y * strip.width + frame * 72 + x)]); };
    const FramePicture slot3 = RenderFramePicture(m.bank, 3, 1);
    for (int y = 0; y < 42; ++y)
        for (int x = 0; x < 72; ++x)
        {
            const int background = m.bank.colourTransp;
            ASSERT_EQ(at(0, x, y), x < 24 ? ObjectPixelColour(m.bank, tall, x, y) : background)
                << x << "," << y;
            ASSERT_EQ(at(1, x, y),
                      x < 24 && y < 21 ? slot3.colours[static_cast<std::size_t>(y * 24 + x)] : background);
            ASSERT_EQ(at(2, x, y), y < 21 ? ObjectPixelColour(m.bank, wide, x, y) : background);
        }

    // A frame naming an object that is missing or not sound cannot be drawn.
    SpriteObject broken = tall;
    broken.cells.push_back(9);
    EXPECT_EQ(FrameCanvasSize({{0, 4, "none"}}, objects).width, 0);
    EXPECT_TRUE(RenderFrameStrip(m.bank, {{0, 4, "tall"}}, {broken}, 1).colours.empty());
    EXPECT_TRUE(RenderFrameStrip(m.bank, {{0, 4, "tall"}}, 1).colours.empty());
    EXPECT_TRUE(RenderObjectPicture(m.bank, broken, 1).colours.empty());
    // The largest strip allowed stays below 2^28 pixels: 512 frames of 8 x 8 cells at
    // scale 8 would not.
    const SpriteObject huge = *MakeObject("huge", 0, 8, 8);
    EXPECT_TRUE(
        RenderFrameStrip(m.bank, std::vector<ShownFrame>(200, {0, 1, "huge"}), {huge}, 8).colours.empty());
}

#ifdef KELMORA_HAVE_GIF

TEST(GifWriter, ObjectFramesAreWrittenOnTheLargestFramesCanvas)
{
    MixedBank m;
    const SpriteObject pair = *MakeObject("pair", 4, 2, 1);
    const std::vector<ShownFrame> frames = {{1, 3}, {0, 5, "pair"}};
    const gif_test::DecodedGif gif =
        gif_test::DecodeGif(EncodeFramesGif(m.bank, frames, {pair}, 1, kBuiltInPalette, true));
    ASSERT_EQ(gif.problem, "");
    EXPECT_EQ(gif.width, 48);
    EXPECT_EQ(gif.height, 21);
    ASSERT_EQ(gif.frames.size(), 2u);
    for (std::size_t k = 0; k < frames.size(); ++k)
    {
        EXPECT_EQ(gif.frames[k].delay, 2 * frames[k].delay);
        EXPECT_EQ(gif.frames[k].indices, RenderShownFrame(m.bank, frames[k], {pair}, {48, 21}, 1).colours);
    }
    EXPECT_EQ(gif.frames[1].indices, RenderObjectPicture(m.bank, pair, 1).colours);

    Sequence stomp;
    stomp.name = "stomp";
    stomp.frames = {{0, 4, "", "pair"}, {2, 4, "", ""}};
    EXPECT_EQ(gif_test::DecodeGif(EncodeSequenceGif(m.bank, stomp, {pair}, 1, kBuiltInPalette)).frames.size(),
              2u);
    EXPECT_TRUE(EncodeSequenceGif(m.bank, stomp, 1, kBuiltInPalette).empty()); // no objects to look up
}

#endif
