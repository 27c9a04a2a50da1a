// A picture in memory, as pictures are handed to and from the store: 32-bit pixels,
// top row first, with the alpha channel in the top byte.
#pragma once

#include <cstdint>
#include <vector>

namespace kelmora
{

constexpr std::uint32_t kOpaqueAlpha = 0xFF000000u;

struct RgbaImage
{
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels; // 0xAARRGGBB, width pixels a row, height rows
};

// True when the picture has a size and exactly width x height pixels.
inline bool ValidImage(const RgbaImage& image)
{
    return image.width > 0 && image.height > 0 &&
           image.pixels.size() / static_cast<std::size_t>(image.width) ==
               static_cast<std::size_t>(image.height) &&
           image.pixels.size() % static_cast<std::size_t>(image.width) == 0;
}

} // namespace kelmora
