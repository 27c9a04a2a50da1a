// Project files and raw sprite data with the ".inf" colour side file.
#include "CoreTestSupport.h"

using namespace kelmora;
using namespace kelmora_test;

namespace
{

// A file of size bytes in the project layout: three colours, then pattern bytes.
Bytes ProjectBytes(std::size_t size)
{
    Bytes data = Pattern(size, 4);
    for (std::size_t i = 0; i < size && i < 3; ++i)
        data[i] = static_cast<u8>(i + 1);
    return data;
}

} // namespace

TEST(ProjectFiles, SaveAndLoadRoundTripByteForByte)
{
    TempFolder dir;
    const std::string path = dir.file("walk.kmd");
    TestBank saved;
    saved.bank.spriteCount = 10;
    ASSERT_EQ(SaveProject(&saved.bank, path.c_str()), 1);
    const Bytes file = ReadBytes(path);
    ASSERT_EQ(file.size(), 3u + 640u);
    EXPECT_EQ(file[0], 11);
    EXPECT_EQ(file[1], 2);
    EXPECT_EQ(file[2], 14); // colourMulti2: colourSprite is not stored
    EXPECT_TRUE(std::equal(file.begin() + 3, file.end(), saved.block.begin()));

    TestBank loaded;
    loaded.bank.colourTransp = loaded.bank.colourMulti1 = loaded.bank.colourMulti2 = 0;
    loaded.bank.colourSprite = 3;
    loaded.bank.spriteCount = 200;
    ASSERT_EQ(LoadProject(&loaded.bank, path.c_str()), 1);
    EXPECT_EQ(loaded.bank.spriteCount, 10);
    EXPECT_EQ(loaded.bank.colourTransp, 11);
    EXPECT_EQ(loaded.bank.colourMulti1, 2);
    EXPECT_EQ(loaded.bank.colourMulti2, 14);
    EXPECT_EQ(loaded.bank.colourSprite, 3); // not restored from the file
    EXPECT_TRUE(std::equal(loaded.block.begin(), loaded.block.begin() + 640, saved.block.begin()));
    for (int i = 10; i < 256; ++i) // every slot beyond the loaded ones is a cleared sprite
    {
        ASSERT_EQ(IsBlank(loaded.bank.sprites, i), 1);
        ASSERT_EQ(GetAttribute(loaded.bank.sprites, i), 133);
    }

    // Saving the loaded bank again reproduces the file.
    ASSERT_EQ(SaveProject(&loaded.bank, dir.file("again.kmd").c_str()), 1);
    EXPECT_EQ(ReadBytes(dir.file("again.kmd")), file);
}

TEST(ProjectFiles, ProjectSizeLimits)
{
    TempFolder dir;
    struct Case
    {
        std::size_t size;
        int sprites; // 0: refused
    };
    const Case cases[] = {{0, 0},   {2, 0},     {3, 0},       {66, 0},   {67, 1},   {68, 0},
                          {131, 2}, {16387, 256}, {16451, 0}, {16388, 0}, {100000, 0}};
    for (const Case& c : cases)
    {
        const std::string path = dir.file("p" + std::to_string(c.size));
        const Bytes data = ProjectBytes(c.size);
        WriteBytes(path, data);
        TestBank t;
        TestBank reference;
        EXPECT_EQ(LoadProject(&t.bank, path.c_str()), c.sprites > 0 ? 1 : 0) << c.size;
        if (c.sprites == 0)
        {
            EXPECT_TRUE(SameBank(t, reference)) << c.size;
            continue;
        }
        EXPECT_EQ(t.bank.spriteCount, c.sprites);
        EXPECT_TRUE(std::equal(data.begin() + 3, data.end(), t.block.begin())) << c.size;
    }
}

TEST(ProjectFiles, AnEmptyBankSavesThreeBytesThatDoNotLoad)
{
    TempFolder dir;
    const std::string path = dir.file("empty.kmd");
    TestBank t;
    t.bank.spriteCount = 0;
    ASSERT_EQ(SaveProject(&t.bank, path.c_str()), 1);
    EXPECT_EQ(ReadBytes(path), (Bytes{11, 2, 14}));
    TestBank other;
    TestBank reference;
    EXPECT_EQ(LoadProject(&other.bank, path.c_str()), 0);
    EXPECT_TRUE(SameBank(other, reference));
}

TEST(ProjectFiles, RefusedLoadsAndSavesChangeNothing)
{
    TempFolder dir;
    fs::create_directory(dir.path() / "folder.kmd");
    WriteBytes(dir.file("huge.kmd"), ProjectBytes(67));
    fs::resize_file(dir.file("huge.kmd"), std::uint64_t(2) << 30);
    TestBank t;
    TestBank reference;
    for (const std::string& path : {dir.file("folder.kmd"), dir.file("missing.kmd"), dir.file("huge.kmd"),
                                    std::string("/dev/zero")})
    {
        EXPECT_EQ(LoadProject(&t.bank, path.c_str()), 0) << path;
        EXPECT_EQ(LoadRawSprites(&t.bank, path.c_str()), 0) << path;
    }
    EXPECT_EQ(LoadProject(&t.bank, nullptr), 0);
    EXPECT_EQ(LoadProject(nullptr, dir.file("huge.kmd").c_str()), 0);
    EXPECT_TRUE(SameBank(t, reference));

    for (int count : {-1, 257})
    {
        t.bank.spriteCount = count;
        EXPECT_EQ(SaveProject(&t.bank, dir.file("bad.kmd").c_str()), 0);
    }
    t.bank.spriteCount = 1;
    EXPECT_EQ(SaveProject(nullptr, dir.file("bad.kmd").c_str()), 0);
    EXPECT_EQ(SaveProject(&t.bank, nullptr), 0);
    t.bank.sprites = nullptr;
    EXPECT_EQ(SaveProject(&t.bank, dir.file("bad.kmd").c_str()), 0);
    EXPECT_FALSE(fs::exists(dir.path() / "bad.kmd"));
}

TEST(ProjectFiles, RawSizeLimits)
{
    TempFolder dir;
    struct Case
    {
        std::size_t size;
        int sprites;
    };
    const Case cases[] = {{0, 0}, {63, 0}, {64, 1}, {100, 0}, {67, 0}, {16384, 256}, {16448, 0}};
    for (const Case& c : cases)
    {
        const std::string path = dir.file("r" + std::to_string(c.size));
        const Bytes data = Pattern(c.size, 6);
        WriteBytes(path, data);
        TestBank t;
        TestBank reference;
        EXPECT_EQ(LoadRawSprites(&t.bank, path.c_str()), c.sprites > 0 ? 1 : 0) << c.size;
        if (c.sprites == 0)
        {
            EXPECT_TRUE(SameBank(t, reference)) << c.size;
            continue;
        }
        EXPECT_EQ(t.bank.spriteCount, c.sprites);
        EXPECT_TRUE(std::equal(data.begin(), data.end(), t.block.begin()));
        EXPECT_EQ(t.bank.colourTransp, 11); // no side file: colours stay
        if (c.sprites < 256)
        {
            EXPECT_EQ(GetAttribute(t.bank.sprites, c.sprites), 133);
        }
    }
}

TEST(ProjectFiles, TheSideFileSetsColoursOnlyWhenItIsThreeBytes)
{
    TempFolder dir;
    const std::string path = dir.file("walk.raw");
    WriteBytes(path, Pattern(128));

    WriteBytes(path + ".inf", {1, 2, 3, 4});
    TestBank t;
    EXPECT_EQ(LoadRawSprites(&t.bank, path.c_str()), 1);
    EXPECT_EQ(t.bank.spriteCount, 2);
    EXPECT_EQ(t.bank.colourTransp, 11);
    EXPECT_EQ(t.bank.colourMulti1, 2);
    EXPECT_EQ(t.bank.colourMulti2, 14);

    WriteBytes(path + ".inf", {7, 8, 10});
    EXPECT_EQ(LoadRawSprites(&t.bank, path.c_str()), 1);
    EXPECT_EQ(t.bank.colourTransp, 7);
    EXPECT_EQ(t.bank.colourMulti1, 8);
    EXPECT_EQ(t.bank.colourSprite, 9); // the side file holds only the shared colours
    EXPECT_EQ(t.bank.colourMulti2, 10);

    // A project file is never raw data, and a refused data file ignores its side file.
    SpriteBank saved = t.bank;
    saved.spriteCount = 2;
    ASSERT_EQ(SaveProject(&saved, dir.file("p.kmd").c_str()), 1);
    WriteBytes(dir.file("p.kmd.inf"), {0, 0, 0});
    TestBank u;
    TestBank reference;
    EXPECT_EQ(LoadRawSprites(&u.bank, dir.file("p.kmd").c_str()), 0);
    EXPECT_TRUE(SameBank(u, reference));
}

TEST(ProjectFiles, TheSideFileNameHasNoLengthLimit)
{
    TempFolder dir;
    fs::path folder = dir.path();
    for (int i = 0; i < 4; ++i)
        folder /= std::string(100, char('a' + i));
    fs::create_directories(folder);
    const std::string path = (folder / (std::string(200, 'w') + ".raw")).string();
    ASSERT_GT(path.size() + 4, 600u);
    WriteBytes(path, Pattern(64));
    WriteBytes(path + ".inf", {4, 5, 6});
    TestBank t;
    EXPECT_EQ(LoadRawSprites(&t.bank, path.c_str()), 1);
    EXPECT_EQ(t.bank.colourTransp, 4);
    EXPECT_EQ(t.bank.colourMulti2, 6);
}
