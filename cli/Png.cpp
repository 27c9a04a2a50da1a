// A small PNG writer: 8-bit RGB, no filtering, deflate in stored blocks.
//
// Stored blocks keep the writer short and exact; sprite sheets are small enough
// that their size does not matter.
#include "cli/Png.h"

#include <array>
#include <cstddef>

namespace kelmora::cli
{

namespace
{

constexpr std::size_t kMaxStoredBlock = 65535;
// Keeps every length inside a PNG chunk's 31-bit limit with room to spare.
constexpr std::size_t kMaxImageBytes = std::size_t{1} << 30;

const std::array<std::uint32_t, 256>& CrcTable()
{
    static const std::array<std::uint32_t, 256> table = []
    {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n)
        {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    return table;
}

void PutBe32(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    out.push_back(static_cast<std::uint8_t>(value >> 24));
    out.push_back(static_cast<std::uint8_t>(value >> 16));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
    out.push_back(static_cast<std::uint8_t>(value));
}

// Length, type, data and the CRC over type and data.
void PutChunk(std::vector<std::uint8_t>& out, const char type[4], const std::vector<std::uint8_t>& data)
{
    PutBe32(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t typeAt = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    PutBe32(out, Crc32(out.data() + typeAt, 4 + data.size()));
}

} // namespace

std::uint32_t Crc32(const std::uint8_t* data, std::size_t size, std::uint32_t crc)
{
    const auto& table = CrcTable();
    crc = ~crc;
    for (std::size_t i = 0; i < size; ++i)
        crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

std::uint32_t Adler32(const std::uint8_t* data, std::size_t size)
{
    std::uint32_t a = 1, b = 0;
    for (std::size_t i = 0; i < size; ++i)
    {
        a = (a + data[i]) % 65521;
        b = (b + a) % 65521;
    }
    return (b << 16) | a;
}

std::vector<std::uint8_t> EncodePng(const std::uint32_t* pixels, int width, int height, int rowStride)
{
    if (pixels == nullptr || width <= 0 || height <= 0 || rowStride < width) return {};
    const std::size_t rowBytes = 1 + 3 * static_cast<std::size_t>(width);
    if (rowBytes * static_cast<std::size_t>(height) > kMaxImageBytes) return {};

    // The raw scan lines: filter type 0, then red, green, blue of each pixel.
    std::vector<std::uint8_t> raw;
    raw.reserve(rowBytes * static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y)
    {
        const std::uint32_t* row = pixels + static_cast<std::ptrdiff_t>(y) * rowStride;
        raw.push_back(0);
        for (int x = 0; x < width; ++x)
        {
            raw.push_back(static_cast<std::uint8_t>(row[x] >> 16));
            raw.push_back(static_cast<std::uint8_t>(row[x] >> 8));
            raw.push_back(static_cast<std::uint8_t>(row[x]));
        }
    }

    // zlib stream: header (deflate, 32 KiB window, no dictionary), stored blocks, Adler-32.
    std::vector<std::uint8_t> z = {0x78, 0x01};
    z.reserve(raw.size() + raw.size() / kMaxStoredBlock * 5 + 16);
    std::size_t at = 0;
    do
    {
        const std::size_t n = raw.size() - at < kMaxStoredBlock ? raw.size() - at : kMaxStoredBlock;
        const bool last = at + n == raw.size();
        z.push_back(last ? 1 : 0); // BFINAL, BTYPE 00
        z.push_back(static_cast<std::uint8_t>(n));
        z.push_back(static_cast<std::uint8_t>(n >> 8));
        z.push_back(static_cast<std::uint8_t>(~n));
        z.push_back(static_cast<std::uint8_t>(~n >> 8));
        z.insert(z.end(), raw.begin() + static_cast<std::ptrdiff_t>(at),
                 raw.begin() + static_cast<std::ptrdiff_t>(at + n));
        at += n;
    } while (at < raw.size());
    PutBe32(z, Adler32(raw.data(), raw.size()));

    std::vector<std::uint8_t> header;
    PutBe32(header, static_cast<std::uint32_t>(width));
    PutBe32(header, static_cast<std::uint32_t>(height));
    header.push_back(8); // bits per channel
    header.push_back(2); // colour type: RGB
    header.push_back(0); // compression: deflate
    header.push_back(0); // filter method 0
    header.push_back(0); // no interlace

    std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", z);
    PutChunk(png, "IEND", {});
    return png;
}

} // namespace kelmora::cli
