// Uncompressed 32-bit Windows bitmap (BMP) output.
#include "core/Bitmap.h"

#include "core/FileIO.h"

namespace kelmora
{

namespace
{

void PutU16(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    PutU16(out, value & 0xFFFF);
    PutU16(out, value >> 16);
}

constexpr std::uint32_t kInfoHeaderBytes = 40;
constexpr std::uint32_t kBiRgb = 0;

} // namespace

std::vector<std::uint8_t> EncodeBitmap32(const std::uint32_t* pixels, int width, int height, int rowStride)
{
    std::vector<std::uint8_t> out;
    if (pixels == nullptr || width < 1 || height < 1 || rowStride < width) return out;
    const std::uint64_t imageBytes =
        static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) * 4u;
    const std::uint64_t fileBytes = imageBytes + kBitmapHeaderBytes;
    if (fileBytes > 0xFFFFFFFFull) return out;
    out.reserve(static_cast<std::size_t>(fileBytes));

    // BITMAPFILEHEADER
    out.push_back('B');
    out.push_back('M');
    PutU32(out, static_cast<std::uint32_t>(fileBytes)); // bfSize
    PutU16(out, 0);                                     // bfReserved1
    PutU16(out, 0);                                     // bfReserved2
    PutU32(out, kBitmapHeaderBytes);                    // bfOffBits

    // BITMAPINFOHEADER
    PutU32(out, kInfoHeaderBytes);                       // biSize
    PutU32(out, static_cast<std::uint32_t>(width));      // biWidth
    PutU32(out, static_cast<std::uint32_t>(height));     // biHeight: positive, rows bottom-up
    PutU16(out, 1);                                      // biPlanes
    PutU16(out, 32);                                     // biBitCount
    PutU32(out, kBiRgb);                                 // biCompression
    PutU32(out, static_cast<std::uint32_t>(imageBytes)); // biSizeImage
    PutU32(out, 0);                                      // biXPelsPerMeter
    PutU32(out, 0);                                      // biYPelsPerMeter
    PutU32(out, 0);                                      // biClrUsed
    PutU32(out, 0);                                      // biClrImportant

    // Rows of 32-bit pixels never need padding.
    for (int y = height - 1; y >= 0; --y)
    {
        const std::uint32_t* row = pixels + static_cast<std::size_t>(y) * static_cast<std::size_t>(rowStride);
        for (int x = 0; x < width; ++x)
        {
            const std::uint32_t p = row[x];
            out.push_back(static_cast<std::uint8_t>(p & 0xFF));         // blue
            out.push_back(static_cast<std::uint8_t>((p >> 8) & 0xFF));  // green
            out.push_back(static_cast<std::uint8_t>((p >> 16) & 0xFF)); // red
            out.push_back(0);
        }
    }
    return out;
}

int WriteBitmap32(const char* path, const std::uint32_t* pixels, int width, int height, int rowStride)
{
    return WriteBitmap32(path, pixels, width, height, rowStride, nullptr);
}

int WriteBitmap32(const char* path, const std::uint32_t* pixels, int width, int height, int rowStride,
                  FileResult* why)
{
    if (path == nullptr)
    {
        SetFileResult(why, FileError::Invalid);
        return -1;
    }
    const std::vector<std::uint8_t> data = EncodeBitmap32(pixels, width, height, rowStride);
    if (data.empty())
    {
        SetFileResult(why, FileError::Invalid);
        return -1;
    }
    return WriteWholeFile(path, data.data(), data.size(), why) ? 1 : -1;
}

} // namespace kelmora
