// Onion skin: which frames lie around the current one, and how they are blended under
// its transparent pixels.
#include "core/OnionSkin.h"

#include "core/Pixels.h"

#include <gtest/gtest.h>

#include <vector>

using namespace kelmora;

namespace
{

// Colour numbers: 0 black (the background), 1 white, 2 pure red, 3 pure blue.
constexpr std::uint32_t kColours[16] = {0x000000, 0xFFFFFF, 0xFF0000, 0x0000FF};
constexpr std::uint32_t kOpaqueBlack = 0xFF000000u;

struct OnionFixture
{
    std::vector<u8> block = std::vector<u8>(kBlockBytes, 0);
    // The sprite as the editor drew it: the background (black) where nothing is set.
    std::vector<std::uint32_t> pixels =
        std::vector<std::uint32_t>(kSpriteWidth * kSpriteHeight, kOpaqueBlack);
    RenderColours colours{{0, 0, 1, 0}, kColours, kColours};

    // A hires sprite of colour number colour with the pixels at xs of row 0 set.
    void Sprite(int index, int colour, std::initializer_list<int> xs, bool overlay = false)
    {
        block[index * kSpriteBytes + kAttributeByte] = static_cast<u8>(colour | (overlay ? kAttrOverlay : 0));
        for (int x : xs)
            SetPixel(block.data(), index, x, 0, 2);
    }
    void Draw(int index, bool overlayShown, const OnionSkinOptions& options, int count = 32)
    {
        DrawOnionSkin(block.data(), index, count, overlayShown, colours, options, pixels.data(),
                      kSpriteWidth);
    }
    std::uint32_t At(int x) const { return pixels[static_cast<std::size_t>(x)]; }
};

} // namespace

TEST(OnionSkin, NeighboursStepOverOverlayPairsAndStayInUse)
{
    std::vector<u8> block(kBlockBytes, 0);
    block[2 * kSpriteBytes + kAttributeByte] = kAttrOverlay; // 2 + 3 are one frame
    block[6 * kSpriteBytes + kAttributeByte] = kAttrOverlay; // 6 + 7 are one frame

    OnionSkinOptions three;
    three.frames = 3;
    three.ahead = true;
    OnionNeighbours around = OnionFrames(block.data(), 5, 10, three);
    EXPECT_EQ(around.before, (std::vector<int>{4, 2, 1}));
    EXPECT_EQ(around.after, (std::vector<int>{6, 8, 9}));

    // The first and last frames in use have nothing beyond them.
    around = OnionFrames(block.data(), 1, 9, three);
    EXPECT_EQ(around.before, (std::vector<int>{0}));
    around = OnionFrames(block.data(), 6, 9, three);
    EXPECT_EQ(around.after, (std::vector<int>{8}));

    // One frame back, none ahead unless asked; counts outside 1..3 are kept inside.
    OnionSkinOptions one;
    around = OnionFrames(block.data(), 4, 10, one);
    EXPECT_EQ(around.before, (std::vector<int>{2}));
    EXPECT_TRUE(around.after.empty());
    one.frames = 9;
    EXPECT_EQ(OnionFrames(block.data(), 9, 10, one).before.size(), 3u);
    one.frames = 0;
    EXPECT_EQ(OnionFrames(block.data(), 9, 10, one).before.size(), 1u);

    EXPECT_TRUE(OnionFrames(nullptr, 4, 10, three).before.empty());
    EXPECT_TRUE(OnionFrames(block.data(), 10, 10, three).before.empty()); // not in use
}

TEST(OnionSkin, NeighboursShowFaintlyOnlyWhereTheSpriteIsTransparent)
{
    OnionFixture f;
    f.Sprite(3, 1, {0, 9}); // the frame two back: white at x 0 and 9
    f.Sprite(4, 2, {1, 2}); // the frame before: red at x 1 and 2
    f.Sprite(5, 1, {2});    // the current sprite: white at x 2
    f.Sprite(6, 3, {3});    // the frame after: blue at x 3
    const std::uint32_t current = 0xFFFFFFFFu;
    f.pixels[2] = current;

    OnionSkinOptions options;
    options.frames = 2;
    options.opacity = 60;
    f.Draw(5, false, options);
    EXPECT_EQ(f.At(1), 0xFF990000u); // red at 60 %: 153
    EXPECT_EQ(f.At(2), current);     // the sprite's own pixel is never covered
    EXPECT_EQ(f.At(0), 0xFF4D4D4Du); // two back at half the opacity, 30 %: 77
    EXPECT_EQ(f.At(9), 0xFF4D4D4Du);
    EXPECT_EQ(f.At(3), kOpaqueBlack); // nothing ahead unless asked
    EXPECT_EQ(f.At(4), kOpaqueBlack);

    // Ahead as well; the nearer frame lies over the farther one.
    std::fill(f.pixels.begin(), f.pixels.end(), kOpaqueBlack);
    f.Sprite(4, 2, {0, 1, 2});
    options.frames = 2;
    options.ahead = true;
    options.opacity = 15;
    f.Draw(5, false, options);
    EXPECT_EQ(f.At(3), 0xFF000026u);                 // blue at 15 %: 38
    EXPECT_EQ(f.At(0), 0xFF360F0Fu);                 // white at 7 % (18), then red at 15 % over it
    EXPECT_EQ(f.At(1), 0xFF260000u);                 // red alone at 15 %
    EXPECT_EQ(f.pixels[kSpriteWidth], kOpaqueBlack); // rows with nothing set stay
}

TEST(OnionSkin, OverlayPartnersCountOnBothSides)
{
    OnionFixture f;
    f.Sprite(0, 1, {0, 1}, true); // the frame before: sprite 0 with 1 over it
    f.Sprite(1, 2, {1});
    f.Sprite(2, 1, {}, true); // the current frame: sprite 2 with 3 over it
    f.Sprite(3, 3, {0});

    OnionSkinOptions options;
    options.opacity = 60;
    // With the partner shown, its pixel at x 0 is not transparent; the frame before shows
    // its partner's red over its own white at x 1.
    f.Draw(2, true, options);
    EXPECT_EQ(f.At(0), kOpaqueBlack);
    EXPECT_EQ(f.At(1), 0xFF990000u);
    // Without the partner shown, x 0 is transparent.
    std::fill(f.pixels.begin(), f.pixels.end(), kOpaqueBlack);
    f.Draw(2, false, options);
    EXPECT_EQ(f.At(0), 0xFF999999u);
    // Nothing before the first sprite; a null surface or colour table draws nothing.
    std::fill(f.pixels.begin(), f.pixels.end(), kOpaqueBlack);
    f.Draw(0, true, options);
    EXPECT_EQ(f.pixels, std::vector<std::uint32_t>(f.pixels.size(), kOpaqueBlack));
    DrawOnionSkin(f.block.data(), 2, 32, false, f.colours, options, nullptr, kSpriteWidth);
}
