// Project files and raw sprite data with the ".inf" colour side file.
#include "CoreTestSupport.h"

#include <sys/stat.h>

using namespace kelmora;
using namespace kelmora_test;

TEST(ProjectFiles, SaveAndLoadRoundTripByteForByte)
{
    TempFolder dir;
    const std::string path = dir.file("walk.kmd");
    TestBank saved;
    saved.bank.spriteCount = 10;
    ASSERT_EQ(SaveProject(&saved.bank, path.c_str()), 1);
    Bytes expected = {11, 2, 14}; // colourSprite is not stored
    expected.insert(expected.end(), saved.block.begin(), saved.block.begin() + 640);
    EXPECT_EQ(ReadBytes(path), expected);

    TestBank loaded;
    loaded.bank.colourTransp = loaded.bank.colourMulti1 = loaded.bank.colourMulti2 = 0;
    loaded.bank.colourSprite = 3;
    ASSERT_EQ(LoadProject(&loaded.bank, path.c_str()), 1);
    EXPECT_EQ(loaded.bank.spriteCount, 10);
    const SpriteBank& l = loaded.bank;
    EXPECT_EQ(Bytes({l.colourTransp, l.colourMulti1, l.colourMulti2}), Bytes({11, 2, 14}));
    EXPECT_EQ(loaded.bank.colourSprite, 3);
    for (int i = 10; i < 256; ++i) // every slot beyond the loaded ones is cleared
        ASSERT_TRUE(IsBlank(loaded.bank.sprites, i) == 1 && GetAttribute(loaded.bank.sprites, i) == 133);
    ASSERT_EQ(SaveProject(&loaded.bank, dir.file("again.kmd").c_str()), 1);
    EXPECT_EQ(ReadBytes(dir.file("again.kmd")), expected);

    // An empty bank saves three bytes that do not load.
    saved.bank.spriteCount = 0;
    ASSERT_EQ(SaveProject(&saved.bank, path.c_str()), 1);
    EXPECT_EQ(ReadBytes(path), (Bytes{11, 2, 14}));
    TestBank t, reference;
    EXPECT_EQ(LoadProject(&t.bank, path.c_str()), 0);
    EXPECT_TRUE(t == reference);
}

TEST(ProjectFiles, SizeLimitsOfProjectAndRawFiles)
{
    TempFolder dir;
    const struct
    {
        bool project;
        std::size_t size;
        int sprites; // 0: refused, bank untouched
    } cases[] = {{true, 0, 0},       {true, 3, 0},        {true, 66, 0},    {true, 67, 1},  {true, 68, 0},
                 {true, 16387, 256}, {true, 16451, 0},    {false, 0, 0},    {false, 64, 1}, {false, 100, 0},
                 {false, 67, 0},     {false, 16384, 256}, {false, 16448, 0}};
    for (const auto& c : cases)
    {
        const std::string path = dir.file(std::to_string(c.size) + (c.project ? ".kmd" : ".raw"));
        const Bytes data = Pattern(c.size, 4);
        WriteBytes(path, data);
        TestBank t, reference;
        const int result =
            c.project ? LoadProject(&t.bank, path.c_str()) : LoadRawSprites(&t.bank, path.c_str());
        EXPECT_EQ(result, c.sprites > 0 ? 1 : 0) << c.size;
        if (c.sprites == 0)
        {
            EXPECT_TRUE(t == reference) << c.size;
            continue;
        }
        const std::size_t skip = c.project ? 3 : 0;
        EXPECT_EQ(t.bank.spriteCount, c.sprites);
        EXPECT_TRUE(std::equal(data.begin() + skip, data.end(), t.block.begin())) << c.size;
        EXPECT_EQ(t.bank.colourTransp, c.project ? data[0] : 11);
    }
}

TEST(ProjectFiles, RefusedLoadsAndSavesChangeNothing)
{
    TempFolder dir;
    fs::create_directory(dir.path() / "folder.kmd");
    WriteBytes(dir.file("huge.kmd"), Pattern(67));
    fs::resize_file(dir.file("huge.kmd"), std::uint64_t(2) << 30); // sparse: never read whole
    TestBank t, reference;
    for (const std::string& path :
         {dir.file("folder.kmd"), dir.file("missing.kmd"), dir.file("huge.kmd"), kEndlessDevice})
    {
        EXPECT_EQ(LoadProject(&t.bank, path.c_str()), 0) << path;
        EXPECT_EQ(LoadRawSprites(&t.bank, path.c_str()), 0) << path;
    }
    EXPECT_EQ(LoadProject(&t.bank, nullptr) + LoadProject(nullptr, dir.file("huge.kmd").c_str()), 0);
    EXPECT_TRUE(t == reference);

    for (int count : {-1, 257})
    {
        t.bank.spriteCount = count;
        EXPECT_EQ(SaveProject(&t.bank, dir.file("bad.kmd").c_str()), 0);
    }
    t.bank.spriteCount = 1;
    EXPECT_EQ(SaveProject(nullptr, dir.file("bad.kmd").c_str()) + SaveProject(&t.bank, nullptr), 0);
    EXPECT_FALSE(fs::exists(dir.path() / "bad.kmd"));
}

TEST(ProjectFiles, TheSideFileSetsTheSharedColoursOnlyWhenItIsThreeBytes)
{
    TempFolder dir;
    fs::path folder = dir.path(); // no length limit on the side file's name
    for (char c : {'a', 'b', 'c', 'd'})
        folder /= std::string(100, c);
    fs::create_directories(folder);
    const std::string path = (folder / (std::string(200, 'w') + ".raw")).string();
    WriteBytes(path, Pattern(128));

    WriteBytes(path + ".inf", {1, 2, 3, 4});
    TestBank t;
    EXPECT_EQ(LoadRawSprites(&t.bank, path.c_str()), 1);
    EXPECT_EQ(t.bank.spriteCount, 2);
    EXPECT_EQ(t.bank.colourTransp, 11);
    WriteBytes(path + ".inf", {7, 8, 10});
    EXPECT_EQ(LoadRawSprites(&t.bank, path.c_str()), 1);
    EXPECT_EQ(t.bank.colourTransp, 7);
    EXPECT_EQ(t.bank.colourMulti1, 8);
    EXPECT_EQ(t.bank.colourSprite, 9);
    EXPECT_EQ(t.bank.colourMulti2, 10);

    // A project file is no raw data: refused, its side file ignored.
    ASSERT_EQ(SaveProject(&t.bank, dir.file("p.kmd").c_str()), 1);
    WriteBytes(dir.file("p.kmd.inf"), {0, 0, 0});
    TestBank u, reference;
    EXPECT_EQ(LoadRawSprites(&u.bank, dir.file("p.kmd").c_str()), 0);
    EXPECT_TRUE(u == reference);
}

// Why a sprite file was refused, and what a successful read found, without a second look.
TEST(ProjectFiles, ReasonsAndTheSideFilesColours)
{
    TempFolder dir;
    const struct
    {
        const char* name;
        std::size_t size;
        std::function<int(SpriteBank*, const char*, FileResult*)> read;
        FileError error;
    } refusals[] = {
        {"p.kmd", 100, [](SpriteBank* b, const char* p, FileResult* w) { return LoadProject(b, p, w); },
         FileError::WrongSize},
        {"big.kmd", 3 + kBlockBytes + 64,
         [](SpriteBank* b, const char* p, FileResult* w) { return LoadProject(b, p, w); },
         FileError::WrongSize},
        {"e.kmd", 0, [](SpriteBank* b, const char* p, FileResult* w) { return LoadProject(b, p, w); },
         FileError::Empty},
        {"r.raw", 130, [](SpriteBank* b, const char* p, FileResult* w) { return LoadRawSprites(b, p, w); },
         FileError::WrongSize},
        {"s.prg", 65,
         [](SpriteBank* b, const char* p, FileResult* w)
         { return ImportSprites(b, p, kFilePrg, kAttrKeep, w); },
         FileError::WrongSize},
        {"t.raw", 63,
         [](SpriteBank* b, const char* p, FileResult* w)
         { return ImportSprites(b, p, kFileRaw, kAttrKeep, w); },
         FileError::WrongSize},
    };
    for (const auto& r : refusals)
    {
        WriteBytes(dir.file(r.name), Pattern(r.size));
        TestBank bank, reference;
        FileResult why;
        EXPECT_EQ(r.read(&bank.bank, dir.file(r.name).c_str(), &why), 0) << r.name;
        EXPECT_EQ(why.error, r.error) << r.name;
        EXPECT_EQ(why.fileSize, r.size) << r.name;
        EXPECT_TRUE(bank == reference) << r.name;
    }

    // Auto-detection: the size it judged by comes back with the success.
    WriteBytes(dir.file("a.bin"), Pattern(2 + 128));
    TestBank bank;
    FileResult why;
    ASSERT_EQ(ImportSprites(&bank.bank, dir.file("a.bin").c_str(), kFileAuto, kAttrKeep, &why), 1);
    EXPECT_EQ(why.fileSize, 130u);
    EXPECT_EQ(bank.bank.spriteCount, 2);

    // Only a regular side file of exactly three bytes gives the colours; nothing else there
    // blocks or refuses the load.
    WriteBytes(dir.file("w.raw"), Pattern(128));
    const std::string side = dir.file("w.raw.inf");
    const struct
    {
        const char* what;
        std::function<void()> make;
        bool colours;
    } sides[] = {
        {"three bytes",
         [&] {
             WriteBytes(side, Bytes{1, 2, 3});
         },
         true},
        {"two bytes",
         [&] {
             WriteBytes(side, Bytes{1, 2});
         },
         false},
        {"four bytes",
         [&] {
             WriteBytes(side, Bytes{1, 2, 3, 4});
         },
         false},
        {"a folder", [&] { fs::create_directory(side); }, false},
#ifndef _WIN32
        {"a pipe", [&] { mkfifo(side.c_str(), 0600); }, false},
#endif
        {"nothing", [] {}, false},
    };
    for (const auto& s : sides)
    {
        fs::remove_all(side);
        s.make();
        TestBank raw;
        bool colours = !s.colours;
        ASSERT_EQ(LoadRawSprites(&raw.bank, dir.file("w.raw").c_str(), &why, &colours), 1) << s.what;
        EXPECT_EQ(colours, s.colours) << s.what;
        EXPECT_EQ(raw.bank.colourTransp, s.colours ? 1 : 11) << s.what;
    }
}
