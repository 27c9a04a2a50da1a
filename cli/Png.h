// A small PNG writer: 8-bit RGB, no filtering, deflate in stored blocks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kelmora::cli
{

// Encodes width x height pixels of 0x00RRGGBB, rows rowStride pixels apart, as a
// complete PNG file. Empty when the size is zero or too large for one image.
std::vector<std::uint8_t> EncodePng(const std::uint32_t* pixels, int width, int height, int rowStride);

// The checksums the file needs, exposed for the tests.
std::uint32_t Crc32(const std::uint8_t* data, std::size_t size, std::uint32_t crc = 0);
std::uint32_t Adler32(const std::uint8_t* data, std::size_t size);

} // namespace kelmora::cli
