// Onion skin: neighbouring frames blended under the transparent pixels of a sprite.
#include "core/OnionSkin.h"

#include <algorithm>

#include "core/Sprite.h"

namespace kelmora
{

namespace
{

constexpr int kPixels = kSpriteWidth * kSpriteHeight;

bool Overlay(const u8* block, int index)
{
    return IsOverlay(block, index) == 1;
}

// Draws sprite index (and its partner when overlay) with opaque colours into a cleared
// 24 x 21 buffer: pixels left at 0 are the ones no sprite sets.
void RenderSetPixels(const u8* block, int index, int spriteCount, bool overlay, const RenderColours& colours,
                     std::uint32_t* out)
{
    std::fill(out, out + kPixels, 0u);
    RenderSpritePixels(block, index, spriteCount, colours, kRenderOverlay, out, kSpriteWidth);
    if (overlay && index + 1 < kSlotCount)
        RenderSpritePixels(block, index + 1, spriteCount, colours, kRenderOverlay, out, kSpriteWidth);
}

// Moves each colour channel of below percent of the way towards above.
std::uint32_t Blend(std::uint32_t below, std::uint32_t above, int percent)
{
    std::uint32_t result = below & 0xFF000000u;
    for (int shift = 0; shift <= 16; shift += 8)
    {
        const int from = static_cast<int>((below >> shift) & 0xFFu);
        const int to = static_cast<int>((above >> shift) & 0xFFu);
        const int mixed = from + ((to - from) * percent + (to >= from ? 50 : -50)) / 100;
        result |= static_cast<std::uint32_t>(mixed) << shift;
    }
    return result;
}

} // namespace

OnionSkinOptions ClampOnionSkin(const OnionSkinOptions& options)
{
    OnionSkinOptions kept = options;
    kept.frames = std::clamp(options.frames, 1, kMaxOnionFrames);
    kept.opacity = std::clamp(options.opacity, kMinOnionOpacity, kMaxOnionOpacity);
    return kept;
}

OnionNeighbours OnionFrames(const u8* block, int index, int spriteCount, const OnionSkinOptions& options)
{
    OnionNeighbours found;
    const int count = std::clamp(spriteCount, 1, kSlotCount);
    if (block == nullptr || index < 0 || index >= count) return found;
    const int frames = ClampOnionSkin(options).frames;

    int before = index;
    while (static_cast<int>(found.before.size()) < frames)
    {
        // The frame before starts one sprite back, or two when that one is the second of a pair.
        int previous = before - 1;
        if (previous >= 1 && Overlay(block, previous - 1)) --previous;
        if (previous < 0) break;
        found.before.push_back(previous);
        before = previous;
    }
    int after = index;
    while (options.ahead && static_cast<int>(found.after.size()) < frames)
    {
        const int next = after + (Overlay(block, after) ? 2 : 1);
        if (next >= count) break;
        found.after.push_back(next);
        after = next;
    }
    return found;
}

void DrawOnionSkin(const u8* block, int index, int spriteCount, bool overlayShown,
                   const RenderColours& colours, const OnionSkinOptions& options, std::uint32_t* pixels,
                   int rowStride)
{
    if (pixels == nullptr || colours.base == nullptr) return;
    const OnionNeighbours neighbours = OnionFrames(block, index, spriteCount, options);
    if (neighbours.before.empty() && neighbours.after.empty()) return;
    const OnionSkinOptions kept = ClampOnionSkin(options);

    // Opaque colours, so that a drawn pixel is never 0 whatever its colour.
    std::uint32_t opaque[16];
    for (int i = 0; i < 16; ++i)
        opaque[i] = colours.base[i] | 0xFF000000u;
    const RenderColours drawing{
        {colours.fields[0], colours.fields[1], colours.fields[2], colours.fields[3]}, opaque, opaque};

    std::uint32_t shown[kPixels];
    RenderSetPixels(block, index, spriteCount, overlayShown, drawing, shown);

    std::uint32_t frame[kPixels];
    const auto draw = [&](int slot, int percent)
    {
        RenderSetPixels(block, slot, spriteCount, Overlay(block, slot), drawing, frame);
        for (int y = 0; y < kSpriteHeight; ++y)
        {
            std::uint32_t* row = pixels + static_cast<std::ptrdiff_t>(y) * rowStride;
            const std::uint32_t* mine = shown + y * kSpriteWidth;
            const std::uint32_t* theirs = frame + y * kSpriteWidth;
            for (int x = 0; x < kSpriteWidth; ++x)
                if (mine[x] == 0 && theirs[x] != 0) row[x] = Blend(row[x], theirs[x], percent);
        }
    };
    // Farther frames first, so the nearer ones lie on top; each step back is fainter.
    for (int distance = kept.frames; distance >= 1; --distance)
    {
        const int percent = kept.opacity * (kept.frames + 1 - distance) / kept.frames;
        const std::size_t k = static_cast<std::size_t>(distance - 1);
        if (k < neighbours.before.size()) draw(neighbours.before[k], percent);
        if (k < neighbours.after.size()) draw(neighbours.after[k], percent);
    }
}

} // namespace kelmora
