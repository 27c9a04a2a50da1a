// The 32-bit Windows bitmap writer behind Save Bitmap Image and the command-line tool.
#include "CoreTestSupport.h"

using namespace kelmora;
using namespace kelmora_test;

namespace
{

std::uint32_t U32(const Bytes& b, std::size_t at)
{
    return static_cast<std::uint32_t>(b[at]) | (static_cast<std::uint32_t>(b[at + 1]) << 8) |
           (static_cast<std::uint32_t>(b[at + 2]) << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

std::uint32_t U16(const Bytes& b, std::size_t at)
{
    return static_cast<std::uint32_t>(b[at]) | (static_cast<std::uint32_t>(b[at + 1]) << 8);
}

} // namespace

TEST(Bitmap, HeaderAndBottomUpPixels)
{
    // 3 x 2 picture stored with a stride of 5 pixels; the padding pixels must not appear.
    const std::uint32_t pixels[] = {
        0xFF102030, 0xFF405060, 0xFF708090, 0xDEADBEEF, 0xDEADBEEF, //
        0x00A1B2C3, 0xFFD4E5F6, 0x12000000, 0xDEADBEEF, 0xDEADBEEF,
    };
    TempFolder dir;
    const std::string path = dir.file("p.bmp");
    ASSERT_EQ(WriteBitmap32(path.c_str(), pixels, 3, 2, 5), 1);
    const Bytes b = ReadBytes(path);
    ASSERT_EQ(b.size(), 54u + 3 * 2 * 4);
    EXPECT_EQ(b[0], 'B');
    EXPECT_EQ(b[1], 'M');
    EXPECT_EQ(U32(b, 2), b.size()); // bfSize
    EXPECT_EQ(U32(b, 6), 0u);       // reserved
    EXPECT_EQ(U32(b, 10), 54u);     // bfOffBits
    EXPECT_EQ(U32(b, 14), 40u);     // biSize
    EXPECT_EQ(U32(b, 18), 3u);      // biWidth
    EXPECT_EQ(U32(b, 22), 2u);      // biHeight, positive: bottom-up
    EXPECT_EQ(U16(b, 26), 1u);      // biPlanes
    EXPECT_EQ(U16(b, 28), 32u);     // biBitCount
    EXPECT_EQ(U32(b, 30), 0u);      // BI_RGB
    EXPECT_EQ(U32(b, 34), 24u);     // biSizeImage
    EXPECT_EQ(U32(b, 46), 0u);      // biClrUsed
    // The bottom row (y = 1) comes first, each pixel as blue, green, red, 0.
    const Bytes expected = {0xC3, 0xB2, 0xA1, 0, 0xF6, 0xE5, 0xD4, 0, 0x00, 0x00, 0x00, 0,
                            0x30, 0x20, 0x10, 0, 0x60, 0x50, 0x40, 0, 0x90, 0x80, 0x70, 0};
    EXPECT_EQ(Bytes(b.begin() + 54, b.end()), expected);
    EXPECT_EQ(EncodeBitmap32(pixels, 3, 2, 5), b);
}

TEST(Bitmap, RefusalsWriteNothing)
{
    TempFolder dir;
    const std::uint32_t pixel = 0xFFFFFFFF;
    const std::string path = dir.file("r.bmp");
    EXPECT_EQ(WriteBitmap32(path.c_str(), nullptr, 1, 1, 1), -1);
    EXPECT_EQ(WriteBitmap32(path.c_str(), &pixel, 0, 1, 1), -1);
    EXPECT_EQ(WriteBitmap32(path.c_str(), &pixel, 1, -1, 1), -1);
    EXPECT_EQ(WriteBitmap32(path.c_str(), &pixel, 2, 1, 1), -1);                   // stride below the width
    EXPECT_EQ(WriteBitmap32(path.c_str(), &pixel, 0x10000, 0x10000, 0x10000), -1); // over 4 GiB
    EXPECT_EQ(WriteBitmap32(nullptr, &pixel, 1, 1, 1), -1);
    EXPECT_EQ(WriteBitmap32("", &pixel, 1, 1, 1), -1);
    EXPECT_TRUE(dir.entries().empty());
    // A folder in the way of a file.
    const std::string blocker = dir.file("plain");
    WriteBytes(blocker, {1, 2, 3});
    EXPECT_EQ(WriteBitmap32((blocker + "/x.bmp").c_str(), &pixel, 1, 1, 1), -1);
}

TEST(Bitmap, FailedWriteKeepsTheOlderFile)
{
    TempFolder dir;
    const std::string path = dir.file("keep.bmp");
    const Bytes old = Pattern(40);
    WriteBytes(path, old);
    std::vector<std::uint32_t> picture(68 * 62, 0xFF336699);
#ifndef _WIN32 // a full disk is made with a POSIX file size limit
    // A disk that fills after 100 bytes: the 16,918-byte picture cannot be written.
    const int result =
        RunWithFileSizeLimit(100, [&] { return WriteBitmap32(path.c_str(), picture.data(), 68, 62, 68); });
    EXPECT_EQ(result, -1);
    EXPECT_EQ(ReadBytes(path), old);
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"keep.bmp"}); // no temporary file left
#endif
    // With room enough the same call replaces it.
    ASSERT_EQ(WriteBitmap32(path.c_str(), picture.data(), 68, 62, 68), 1);
    EXPECT_EQ(ReadBytes(path).size(), 54u + 68 * 62 * 4);
}
