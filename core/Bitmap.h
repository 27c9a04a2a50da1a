// Uncompressed 32-bit Windows bitmap (BMP) output.
//
// The file is a 14-byte BITMAPFILEHEADER, a 40-byte BITMAPINFOHEADER (BI_RGB,
// 32 bits a pixel, positive height) and the rows from the bottom one up, each pixel
// as the bytes blue, green, red, 0.
#pragma once

#include "core/FileResult.h"

#include <cstdint>
#include <vector>

namespace kelmora
{

constexpr int kBitmapHeaderBytes = 14 + 40;

// Encodes a width x height picture. pixels holds 0xAARRGGBB values (the alpha byte
// is not written), row y starting at pixels + y * rowStride (rowStride counted in
// pixels, at least width). Returns an empty vector for a null picture, a size below
// 1 x 1, a stride below the width or a file that would not fit the 32-bit size fields.
std::vector<std::uint8_t> EncodeBitmap32(const std::uint32_t* pixels, int width, int height, int rowStride);

// Writes the encoded picture to path, replacing a regular file atomically.
// Returns 1 when written, -1 when refused or the file could not be written (an
// older file is then left as it was).
int WriteBitmap32(const char* path, const std::uint32_t* pixels, int width, int height, int rowStride);
// The same, with the reason for a refusal or failure in *why (when not null).
int WriteBitmap32(const char* path, const std::uint32_t* pixels, int width, int height, int rowStride,
                  FileResult* why);

} // namespace kelmora
