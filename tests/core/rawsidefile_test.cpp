// The colour side file of raw sprite data, read on its own as the import dialog offers it.
#include "CoreTestSupport.h"

#include <sys/stat.h>

using namespace kelmora;
using namespace kelmora_test;

namespace
{

// What the raw loader takes as the shared colours (the store's other reader of the file).
bool LoaderTakesColours(const std::string& raw, const Bytes& expected)
{
    std::vector<u8> block(kBlockBytes);
    SpriteBank bank{};
    bank.sprites = block.data();
    bank.colourTransp = bank.colourMulti1 = bank.colourMulti2 = 0xEE;
    if (LoadRawSprites(&bank, raw.c_str()) != 1) return false;
    return bank.colourTransp == expected[0] && bank.colourMulti1 == expected[1] &&
           bank.colourMulti2 == expected[2];
}

} // namespace

TEST(RawSideFile, OnlyAReadableFileOfThreeBytesGivesTheColours)
{
    TempFolder dir;
    const std::string raw = dir.file("walker.raw");
    WriteBytes(raw, Pattern(128));
    EXPECT_EQ(RawSideFileName(raw.c_str()), raw + ".inf");

    u8 colours[3] = {0xAA, 0xBB, 0xCC};
    EXPECT_FALSE(ReadRawSideColours(raw.c_str(), colours)); // none there
    for (const Bytes& wrong : {Bytes{}, Bytes{1, 2}, Bytes{1, 2, 3, 4}})
    {
        WriteBytes(raw + ".inf", wrong);
        EXPECT_FALSE(ReadRawSideColours(raw.c_str(), colours)) << wrong.size();
    }
    EXPECT_EQ(colours[0], 0xAA); // a refusal leaves the colours alone
    EXPECT_EQ(colours[2], 0xCC);

    WriteBytes(raw + ".inf", {0, 2, 14});
    ASSERT_TRUE(ReadRawSideColours(raw.c_str(), colours));
    EXPECT_EQ(colours[0], 0);
    EXPECT_EQ(colours[1], 2);
    EXPECT_EQ(colours[2], 14);
    // The raw loader takes the same file the same way.
    EXPECT_TRUE(LoaderTakesColours(raw, {0, 2, 14}));

    // A folder or a pipe of that name gives no colours, and the pipe is not waited on.
    fs::remove(raw + ".inf");
    fs::create_directory(raw + ".inf");
    EXPECT_FALSE(ReadRawSideColours(raw.c_str(), colours));
#ifndef _WIN32
    fs::remove(raw + ".inf");
    ASSERT_EQ(mkfifo((raw + ".inf").c_str(), 0600), 0);
    EXPECT_FALSE(ReadRawSideColours(raw.c_str(), colours));
#endif
    EXPECT_FALSE(ReadRawSideColours(nullptr, colours));
    EXPECT_FALSE(ReadRawSideColours(raw.c_str(), nullptr));
}
