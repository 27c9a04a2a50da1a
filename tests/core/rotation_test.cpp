// Sprite rotation: the pixel mapping, pair merging, re-encoding and the whole frame pipeline.
#include "core/Rotation.h"

#include "core/Palette.h"
#include "core/Render.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

using namespace kelmora;

namespace
{

constexpr std::uint32_t kBackground = 0xFFFFFF;

// Every pixel a colour of its own that names its position: 0x10YYXX.
RotImage UniqueImage()
{
    RotImage image;
    for (int y = 0; y < kSpriteHeight; ++y)
        for (int x = 0; x < kSpriteWidth; ++x)
            image.px[y][x] = 0x100000u | static_cast<std::uint32_t>(y << 8) | static_cast<std::uint32_t>(x);
    return image;
}

struct Origin
{
    int x, y; // -1, -1 for background
    bool operator==(const Origin& o) const { return x == o.x && y == o.y; }
};

Origin From(const RotImage& turned, int x, int y)
{
    const std::uint32_t c = turned.px[y][x];
    if (c == kBackground) return {-1, -1};
    return {static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF)};
}

std::ostream& operator<<(std::ostream& out, const Origin& o)
{
    return out << "S(" << o.x << ", " << o.y << ")";
}

int BackgroundCount(const RotImage& image)
{
    int n = 0;
    for (const auto& row : image.px)
        for (std::uint32_t c : row)
            n += (c == kBackground);
    return n;
}

// A bank block with the built-in palette and four distinct colour fields.
struct Bank
{
    std::vector<u8> block = std::vector<u8>(kBlockBytes, 0);
    PaletteTables tables{};
    u8 fields[4] = {11, 2, 0, 7}; // background, multi 1, (sprite), multi 2
    RotatorState state;

    Bank()
    {
        BuildPaletteTables(kBuiltInPalette, tables);
        ResetRotatorState(state, tables.base[fields[0]]);
    }
    u8* Sprite(int i) { return block.data() + i * kSpriteBytes; }
    void Frame(int current, int count, int n, int p)
    {
        RenderRotatedFrame(block.data(), count, fields, tables.base, current, n, p, state);
    }
    void Randomise(int i, u8 attribute, unsigned seed)
    {
        std::mt19937 random(seed);
        for (int b = 0; b < kPixelBytes; ++b)
            Sprite(i)[b] = static_cast<u8>(random());
        Sprite(i)[kAttributeByte] = attribute;
    }
};

bool SameImage(const RotImage& a, const RotImage& b)
{
    return std::memcmp(a.px, b.px, sizeof a.px) == 0;
}

bool SameState(const RotatorState& a, const RotatorState& b)
{
    return SameImage(a.source, b.source) && SameImage(a.rotated, b.rotated) &&
           SameImage(a.partnerSource, b.partnerSource) && SameImage(a.partnerRotated, b.partnerRotated) &&
           SameImage(a.composite, b.composite) && a.hasPartner == b.hasPartner &&
           std::memcmp(a.frameSprite, b.frameSprite, kSpriteBytes) == 0 &&
           std::memcmp(a.partnerSprite, b.partnerSprite, kSpriteBytes) == 0;
}

} // namespace

TEST(RotateImage, NoTurnAndFullTurnKeepEveryPixel)
{
    const RotImage source = UniqueImage();
    for (int n : kRotationAngleCounts)
    {
        for (int p : {0, n})
        {
            const RotImage turned = RotateImage(source, n, p, kBackground);
            for (int y = 0; y < kSpriteHeight; ++y)
                for (int x = 0; x < kSpriteWidth; ++x)
                    ASSERT_EQ(From(turned, x, y), (Origin{x, y})) << "N " << n << " P " << p;
        }
    }
    // An angle count that gives no step (below 2) does not turn and does not fail.
    const RotImage still = RotateImage(source, 1, 5, kBackground);
    EXPECT_EQ(From(still, 3, 4), (Origin{3, 4}));
}

TEST(RotateImage, HalfTurnAboutTheCentreCorner)
{
    const RotImage turned = RotateImage(UniqueImage(), 32, 16, kBackground);
    EXPECT_EQ(From(turned, 0, 0), (Origin{23, 19}));
    EXPECT_EQ(From(turned, 12, 10), (Origin{11, 9}));
    EXPECT_EQ(From(turned, 11, 9), (Origin{12, 10}));
    // Positions just above row 0 truncate toward zero, onto row 0.
    EXPECT_EQ(From(turned, 0, 19), (Origin{23, 0}));
    EXPECT_EQ(From(turned, 0, 20), (Origin{23, 0}));
    for (int y = 0; y < kSpriteHeight; ++y)
        for (int x = 0; x < kSpriteWidth; ++x)
            ASSERT_NE(From(turned, x, y).y, 20) << "source row 20 used at " << x << ", " << y;
}

TEST(RotateImage, QuarterTurnClockwise)
{
    const RotImage turned = RotateImage(UniqueImage(), 32, 8, kBackground);
    EXPECT_EQ(From(turned, 12, 10), (Origin{12, 9}));
    EXPECT_EQ(From(turned, 12, 0), (Origin{2, 9}));
    EXPECT_EQ(From(turned, 12, 20), (Origin{22, 9}));
    EXPECT_EQ(BackgroundCount(turned), 42);
    // The same quarter turn from other angle counts.
    const RotImage four = RotateImage(UniqueImage(), 4, 1, kBackground);
    EXPECT_EQ(From(four, 12, 0), (Origin{2, 9}));
    EXPECT_EQ(BackgroundCount(four), 42);
}

TEST(EncodeSprite, HiresBits)
{
    PaletteTables t{};
    BuildPaletteTables(kBuiltInPalette, t);
    const u8 attribute = 0x10 | 4; // hires, overlay flag, purple
    RotImage image;
    FillImage(image, t.base[11]);
    image.px[0][0] = t.base[4];
    image.px[5][5] = t.base[2]; // multicolour 1 colour: nothing in a hires sprite
    image.px[6][6] = 0x123456;  // a colour of no colour number
    u8 sprite[kSpriteBytes];
    EncodeSprite(image, attribute, t.base, 2, 7, sprite);
    EXPECT_EQ(sprite[0], 0x80);
    for (int i = 1; i < kPixelBytes; ++i)
        ASSERT_EQ(sprite[i], 0) << i;
    EXPECT_EQ(sprite[63], attribute);

    image.px[0][0] = t.base[11];
    image.px[20][23] = t.base[4];
    EncodeSprite(image, attribute, t.base, 2, 7, sprite);
    EXPECT_EQ(sprite[0], 0);
    EXPECT_EQ(sprite[62], 0x01);
}

TEST(EncodeSprite, MulticolourPairsAndCoincidingColours)
{
    PaletteTables t{};
    BuildPaletteTables(kBuiltInPalette, t);
    RotImage image;
    FillImage(image, t.base[11]); // background
    image.px[0][2] = t.base[7];   // multicolour 2
    image.px[0][3] = t.base[7];
    u8 sprite[kSpriteBytes];
    EncodeSprite(image, 0x80 | 4, t.base, 2, 7, sprite);
    EXPECT_EQ(sprite[0], 0x30);
    for (int i = 1; i < kPixelBytes; ++i)
        ASSERT_EQ(sprite[i], 0) << i;
    EXPECT_EQ(sprite[63], 0x84);

    // Only the left pixel of a pair is read.
    image.px[0][2] = t.base[11];
    image.px[1][23] = t.base[4]; // right pixel in the sprite colour: ignored
    image.px[1][22] = t.base[2]; // left pixel in multicolour 1: 01
    EncodeSprite(image, 0x80 | 4, t.base, 2, 7, sprite);
    EXPECT_EQ(sprite[0], 0);
    EXPECT_EQ(sprite[5], 0x01);

    // Sprite colour equal to multicolour 1: that colour encodes as 11.
    FillImage(image, t.base[11]);
    image.px[0][0] = t.base[2];
    image.px[0][1] = t.base[2];
    EncodeSprite(image, 0x80 | 2, t.base, 2, 7, sprite);
    EXPECT_EQ(sprite[0], 0xC0);
}

TEST(RenderRotatedFrame, NoTurnReencodesSpritesWithDistinctColours)
{
    Bank bank;
    bank.Randomise(3, 0x80 | 0x10 | 5, 1); // multicolour green, overlay next
    bank.Randomise(4, 0x40 | 13, 2);       // hires light green (bit 6 carries no meaning)
    for (int p : {0, 32})
    {
        bank.Frame(3, 10, 32, p);
        ASSERT_TRUE(bank.state.hasPartner);
        EXPECT_EQ(std::memcmp(bank.state.frameSprite, bank.Sprite(3), kSpriteBytes), 0) << p;
        EXPECT_EQ(std::memcmp(bank.state.partnerSprite, bank.Sprite(4), kSpriteBytes), 0) << p;
    }

    // The composite is the frame drawn opaque with the partner drawn over it.
    std::vector<std::uint32_t> expected(kSpriteWidth * kSpriteHeight, 0);
    RenderColours colours{{bank.fields[0], bank.fields[1], bank.fields[2], bank.fields[3]},
                          bank.tables.base,
                          bank.tables.highlight};
    RenderSpritePixels(bank.block.data(), 3, 10, colours, 0, expected.data(), kSpriteWidth);
    RenderSpritePixels(bank.block.data(), 4, 10, colours, kRenderOverlay, expected.data(), kSpriteWidth);
    EXPECT_EQ(std::memcmp(expected.data(), &bank.state.composite.px[0][0], expected.size() * 4), 0);

    // A quarter turn of a multicolour sprite leaves even pairs in the turned picture.
    bank.Frame(3, 10, 32, 8);
    for (const auto& row : bank.state.rotated.px)
        for (int i = 0; i < 12; ++i)
            ASSERT_EQ(row[2 * i], row[2 * i + 1]);
    EXPECT_EQ(bank.state.frameSprite[63], 0x80 | 0x10 | 5);
    EXPECT_EQ(bank.state.partnerSprite[63], 0x40 | 13);
}

TEST(RenderRotatedFrame, SpriteColourEqualToBackgroundSetsEveryPixel)
{
    Bank bank;
    bank.Randomise(0, 11, 3); // hires, colour 11 = the background
    bank.Frame(0, 1, 32, 0);
    for (int i = 0; i < kPixelBytes; ++i)
        ASSERT_EQ(bank.state.frameSprite[i], 0xFF) << i;
}

TEST(RenderRotatedFrame, PartnerOnlyWithTheOverlayFlagAndBelowSlot255)
{
    Bank bank;
    const std::uint32_t mark = 0xABCDEF;
    FillImage(bank.state.partnerSource, mark);
    FillImage(bank.state.partnerRotated, mark);
    std::memset(bank.state.partnerSprite, 0x5A, kSpriteBytes);
    bank.Randomise(7, 0x80 | 5, 4); // no overlay flag
    bank.Randomise(8, 0x00 | 1, 5);
    bank.Randomise(255, 0x10 | 1, 6); // overlay flag on the last slot

    for (int current : {7, 255})
    {
        bank.Frame(current, 256, 32, 3);
        EXPECT_FALSE(bank.state.hasPartner) << current;
        EXPECT_EQ(bank.state.partnerSource.px[10][10], mark);
        EXPECT_EQ(bank.state.partnerRotated.px[0][23], mark);
        for (u8 b : bank.state.partnerSprite)
            ASSERT_EQ(b, 0x5A);
    }
    EXPECT_EQ(bank.state.frameSprite[63], 0x10 | 1);

    // A partner beyond the sprites in use is a picture of background only and is written
    // blank with its own attribute byte, also when its colours equal the background (hires
    // colour 11, or multicolour with both shared colours set to the background).
    bank.Sprite(7)[kAttributeByte] = 0x80 | 0x10 | 5;
    for (const u8 partnerAttribute : {u8(0x01), u8(0x0B), u8(0x80 | 0x0B)})
    {
        bank.Sprite(8)[kAttributeByte] = partnerAttribute;
        bank.fields[1] = bank.fields[3] = partnerAttribute == 0x01 ? 2 : 11;
        bank.Frame(7, 8, 32, 3);
        EXPECT_TRUE(bank.state.hasPartner);
        for (const auto& row : bank.state.partnerSource.px)
            for (std::uint32_t c : row)
                ASSERT_EQ(c, bank.tables.base[11]);
        for (int i = 0; i < kPixelBytes; ++i)
            ASSERT_EQ(bank.state.partnerSprite[i], 0) << i << " of attribute " << int(partnerAttribute);
        EXPECT_EQ(bank.state.partnerSprite[63], partnerAttribute);
    }
    bank.Sprite(8)[kAttributeByte] = 0x01;
    bank.fields[1] = 2;
    bank.fields[3] = 7;

    // Refused arguments change nothing.
    const RotatorState before = bank.state;
    RenderRotatedFrame(nullptr, 8, bank.fields, bank.tables.base, 7, 32, 3, bank.state);
    RenderRotatedFrame(bank.block.data(), 8, bank.fields, bank.tables.base, 256, 32, 3, bank.state);
    RenderRotatedFrame(bank.block.data(), 8, bank.fields, nullptr, 7, 32, 3, bank.state);
    EXPECT_TRUE(SameState(before, bank.state));
}
