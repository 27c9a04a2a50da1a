// Drawing one sprite 1:1: hires bits, multicolour pairs, the overlay and highlight flags.
#include "core/Render.h"

#include "core/Palette.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using namespace kelmora;

namespace
{

constexpr std::uint32_t kUntouched = 0xDEADBE;

struct RenderFixture
{
    std::vector<u8> block = std::vector<u8>(kBlockBytes, 0);
    PaletteTables tables{};
    RenderColours colours{};
    // A 24 x 21 picture inside a wider surface, to check the row stride.
    static constexpr int kStride = 30;
    std::vector<std::uint32_t> surface = std::vector<std::uint32_t>(kStride * 22, kUntouched);

    RenderFixture()
    {
        BuildPaletteTables(kBuiltInPalette, tables);
        colours.fields[0] = 11; // background
        colours.fields[1] = 0;  // multicolour 1
        colours.fields[2] = 5;  // replaced by each sprite's own colour
        colours.fields[3] = 1;  // multicolour 2
        colours.base = tables.base;
        colours.highlight = tables.highlight;
    }
    u8* Sprite(int index) { return block.data() + index * kSpriteBytes; }
    std::uint32_t At(int x, int y) const { return surface[y * kStride + x]; }
    void Draw(int index, int count, int flags)
    {
        RenderSpritePixels(block.data(), index, count, colours, flags, surface.data(), kStride);
    }
    bool RestUntouched() const
    {
        for (int y = 0; y < 22; ++y)
            for (int x = 0; x < kStride; ++x)
                if ((x >= 24 || y >= 21) && At(x, y) != kUntouched) return false;
        return true;
    }
};

} // namespace

TEST(Render, HiresBitsShowTheSpritesOwnColour)
{
    RenderFixture f;
    u8* s = f.Sprite(3);
    s[kAttributeByte] = 0x10 | 7; // hires, overlay flag (ignored here), colour 7
    s[0] = 0x80;                  // (0, 0)
    s[4] = 0x01;                  // (15, 1)
    s[62] = 0x01;                 // (23, 20)
    f.Draw(3, 4, 0);
    EXPECT_EQ(f.At(0, 0), 0xB8C76Fu);
    EXPECT_EQ(f.At(1, 0), 0x444444u); // background, colour field 0
    EXPECT_EQ(f.At(15, 1), 0xB8C76Fu);
    EXPECT_EQ(f.At(14, 1), 0x444444u);
    EXPECT_EQ(f.At(23, 20), 0xB8C76Fu);
    EXPECT_EQ(f.At(22, 20), 0x444444u);
    EXPECT_TRUE(f.RestUntouched());
}

TEST(Render, MulticolourPairsUseTheFourColourFields)
{
    RenderFixture f;
    u8* s = f.Sprite(0);
    s[kAttributeByte] = 0x80 | 2; // multicolour, colour 2 (red)
    s[0] = 0x1B;                  // pixels 0..3: values 0, 1, 2, 3
    s[62] = 0xC0;                 // pixel (8, 20): value 3
    f.Draw(0, 1, 0);
    const std::uint32_t expected[4] = {0x444444, 0x000000, 0x68372B, 0xFFFFFF};
    for (int p = 0; p < 4; ++p)
    {
        EXPECT_EQ(f.At(2 * p, 0), expected[p]) << p;
        EXPECT_EQ(f.At(2 * p + 1, 0), expected[p]) << p;
    }
    EXPECT_EQ(f.At(16, 20), 0xFFFFFFu);
    EXPECT_EQ(f.At(17, 20), 0xFFFFFFu);
    EXPECT_EQ(f.At(18, 20), 0x444444u);
    // The caller's colour field 2 is not taken and not changed.
    EXPECT_EQ(f.colours.fields[2], 5);
    EXPECT_TRUE(f.RestUntouched());
}

TEST(Render, OverlayKeepsTransparentPixelsAndHighlightLightens)
{
    RenderFixture f;
    u8* under = f.Sprite(0);
    u8* over = f.Sprite(1);
    under[kAttributeByte] = 0x10 | 6; // hires, blue, overlay next
    std::memset(under, 0xFF, kPixelBytes);
    over[kAttributeByte] = 0x80 | 2; // multicolour red
    over[0] = 0x20;                  // pixel 1 of row 0: value 2

    f.Draw(0, 2, 0);
    f.Draw(1, 2, kRenderOverlay);
    EXPECT_EQ(f.At(0, 0), 0x352879u); // under shows through
    EXPECT_EQ(f.At(2, 0), 0x68372Bu);
    EXPECT_EQ(f.At(3, 0), 0x68372Bu);
    EXPECT_EQ(f.At(4, 0), 0x352879u);

    f.Draw(0, 2, kRenderHighlight);
    EXPECT_EQ(f.At(0, 0), 0x675AABu);
    std::memset(under, 0, kPixelBytes);
    f.Draw(0, 2, kRenderHighlight);
    EXPECT_EQ(f.At(5, 5), 0x767676u); // transparent pixels take the highlighted background
    f.Draw(1, 2, kRenderHighlight | kRenderOverlay);
    EXPECT_EQ(f.At(2, 0), 0x9A695Du);
    EXPECT_EQ(f.At(0, 0), 0x767676u);
    EXPECT_TRUE(f.RestUntouched());
}

TEST(Render, IndexOutsideTheSpritesInUseDrawsNothing)
{
    RenderFixture f;
    for (int i = 0; i < kSlotCount; ++i)
        f.Sprite(i)[0] = 0xFF;
    f.Draw(5, 5, 0);     // at spriteCount
    f.Draw(-1, 5, 0);    // below 0
    f.Draw(256, 300, 0); // beyond the block, whatever the count says
    f.Draw(0, 0, 0);
    RenderSpritePixels(nullptr, 0, 1, f.colours, 0, f.surface.data(), RenderFixture::kStride);
    RenderColours noTable = f.colours;
    noTable.highlight = nullptr;
    RenderSpritePixels(f.block.data(), 0, 1, noTable, kRenderHighlight, f.surface.data(),
                       RenderFixture::kStride);
    for (std::uint32_t pixel : f.surface)
        ASSERT_EQ(pixel, kUntouched);

    // Colour fields beyond 15 use their low four bits instead of reading past the table.
    f.colours.fields[0] = 0xF0 | 11;
    f.Draw(4, 5, 0);
    EXPECT_EQ(f.At(23, 0), 0x444444u);
}
