// The text listing's exact bytes.
#include "CoreTestSupport.h"

using namespace kelmora;
using namespace kelmora_test;

namespace
{

std::string ReadText(const std::string& path)
{
    const Bytes bytes = ReadBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

std::string Repeat(const std::string& s, int n)
{
    std::string out;
    for (int i = 0; i < n; ++i)
        out += s;
    return out;
}

} // namespace

TEST(Listing, ExactTextInHexAndDecimal)
{
    TempFolder dir;
    Bytes block(kBlockBytes);
    ClearBank(block.data());
    ASSERT_EQ(WriteTextListing(block.data(), 0, 0, dir.file("one.txt").c_str(), 1), 1);
    EXPECT_EQ(ReadText(dir.file("one.txt")), "\n; Sprite 0\n\n" + Repeat("$00,", 63) + "$85\n");

    block[5 * 64] = 10;
    block[5 * 64 + 1] = 255;
    block[6 * 64 + 62] = 0xAB;
    ASSERT_EQ(WriteTextListing(block.data(), 5, 6, dir.file("dec.txt").c_str(), 0), 1);
    EXPECT_EQ(ReadText(dir.file("dec.txt")), "\n; Sprite 5\n\n10,255," + Repeat("0,", 61) + "133\n" +
                                                 "\n; Sprite 6\n\n" + Repeat("0,", 62) + "171,133\n");
    ASSERT_EQ(WriteTextListing(block.data(), 5, 6, dir.file("hex.txt").c_str(), 1), 1);
    EXPECT_EQ(ReadText(dir.file("hex.txt")), "\n; Sprite 5\n\n$0A,$FF," + Repeat("$00,", 61) + "$85\n" +
                                                 "\n; Sprite 6\n\n" + Repeat("$00,", 62) + "$AB,$85\n");
}

TEST(Listing, RangesAsGivenAndRefusals)
{
    TempFolder dir;
    Bytes block(kBlockBytes, 0);
    const std::string path = dir.file("l.txt");
    WriteBytes(path, Pattern(30));
    EXPECT_EQ(WriteTextListing(block.data(), 0, 256, path.c_str(), 1), -1);
    EXPECT_EQ(WriteTextListing(block.data(), 256, 3, path.c_str(), 1), -1);
    EXPECT_EQ(WriteTextListing(block.data(), -1, 3, path.c_str(), 0), -1);
    EXPECT_EQ(WriteTextListing(nullptr, 0, 3, path.c_str(), 0), -1);
    EXPECT_EQ(WriteTextListing(block.data(), 0, 3, nullptr, 0), -1);
    EXPECT_EQ(ReadBytes(path), Pattern(30)); // an existing listing stays as it was
    EXPECT_EQ(dir.entries().size(), 1u);

    ASSERT_EQ(WriteTextListing(block.data(), 7, 3, path.c_str(), 0), 1); // first > last: empty file
    EXPECT_EQ(fs::file_size(path), 0u);
    ASSERT_EQ(WriteTextListing(block.data(), 0, 255, path.c_str(), 1), 1);
    const std::string all = ReadText(path);
    EXPECT_EQ(std::count(all.begin(), all.end(), '\n'), 4 * 256);
    EXPECT_EQ(all.find('\r'), std::string::npos);
}
