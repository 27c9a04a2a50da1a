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

} // namespace

TEST(Listing, OneClearedSpriteInHex)
{
    TempFolder dir;
    Bytes block(kBlockBytes);
    ClearBank(block.data());
    ASSERT_EQ(WriteTextListing(block.data(), 0, 0, dir.file("l.txt").c_str(), 1), 1);
    std::string expected = "\n; Sprite 0\n\n";
    for (int i = 0; i < 63; ++i)
        expected += "$00,";
    expected += "$85\n";
    EXPECT_EQ(ReadText(dir.file("l.txt")), expected);
}

TEST(Listing, DecimalAndHexValuesAndBankIndices)
{
    TempFolder dir;
    Bytes block(kBlockBytes, 0);
    u8* s5 = block.data() + 5 * 64;
    s5[0] = 10;
    s5[1] = 255;
    s5[63] = 133;
    block[6 * 64 + 62] = 0xAB;
    ASSERT_EQ(WriteTextListing(block.data(), 5, 6, dir.file("dec.txt").c_str(), 0), 1);
    ASSERT_EQ(WriteTextListing(block.data(), 5, 6, dir.file("hex.txt").c_str(), 1), 1);

    std::string dec = "\n; Sprite 5\n\n10,255,";
    for (int i = 2; i < 63; ++i)
        dec += "0,";
    dec += "133\n\n; Sprite 6\n\n";
    for (int i = 0; i < 62; ++i)
        dec += "0,";
    dec += "171,0\n";
    EXPECT_EQ(ReadText(dir.file("dec.txt")), dec);

    const std::string hex = ReadText(dir.file("hex.txt"));
    EXPECT_EQ(hex.rfind("\n; Sprite 5\n\n$0A,$FF,$00,", 0), 0u);
    EXPECT_NE(hex.find(",$00,$85\n\n; Sprite 6\n\n$00,"), std::string::npos);
    EXPECT_EQ(hex.substr(hex.size() - 9), ",$AB,$00\n");
    EXPECT_EQ(std::count(hex.begin(), hex.end(), '\n'), 8); // four lines a sprite
    EXPECT_EQ(hex.find('\r'), std::string::npos);
}

TEST(Listing, AnEmptyRangeStillWritesAnEmptyFile)
{
    TempFolder dir;
    Bytes block(kBlockBytes, 0);
    const std::string path = dir.file("l.txt");
    WriteBytes(path, Pattern(30));
    ASSERT_EQ(WriteTextListing(block.data(), 7, 3, path.c_str(), 0), 1);
    EXPECT_TRUE(fs::exists(path));
    EXPECT_EQ(fs::file_size(path), 0u);
}

TEST(Listing, BadArgumentsLeaveAnExistingListingAlone)
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
    EXPECT_EQ(ReadBytes(path), Pattern(30));
    EXPECT_EQ(dir.entries().size(), 1u);
    EXPECT_EQ(WriteTextListing(block.data(), 0, 0, dir.file("no/such/folder.txt").c_str(), 0), -1);

    // The whole bank fits in one listing.
    ASSERT_EQ(WriteTextListing(block.data(), 0, 255, path.c_str(), 1), 1);
    const std::string text = ReadText(path);
    EXPECT_NE(text.find("\n; Sprite 255\n\n"), std::string::npos);
}
