// Raw and PRG import and export, the two attribute layouts and the SEUCK sprite file.
#include "CoreTestSupport.h"

using namespace kelmora;
using namespace kelmora_test;

TEST(Exchange, ImportSizeLimitsInEachMode)
{
    TempFolder dir;
    const struct
    {
        std::size_t size;
        int kind, result, count;
        std::size_t offset; // where sprite 0 starts in the file
    } cases[] = {{0, kFileAuto, 1, 0, 0},      {10, kFileAuto, 1, 0, 0},     {63, kFileRaw, 0, 0, 0},
                 {64, kFileRaw, 1, 1, 0},      {100, kFileRaw, 1, 1, 0},     {65, kFilePrg, 0, 0, 0},
                 {66, kFilePrg, 1, 1, 2},      {66, kFileAuto, 1, 1, 2},     {66, kFileRaw, 1, 1, 0},
                 {128, kFileAuto, 1, 2, 0},    {130, kFileAuto, 1, 2, 2},    {8130, kFileAuto, 1, 127, 2},
                 {16448, kFileRaw, 1, 256, 0}, {20000, kFileRaw, 1, 256, 0}, {16450, kFileAuto, 1, 256, 2}};
    for (const auto& c : cases)
    {
        const std::string path = dir.file(std::to_string(c.size));
        const Bytes data = Pattern(c.size, 12);
        WriteBytes(path, data);
        TestBank t, reference;
        EXPECT_EQ(ImportSprites(&t.bank, path.c_str(), c.kind, kAttrKeep), c.result)
            << c.size << "/" << c.kind;
        if (c.result == 0)
        {
            EXPECT_TRUE(t == reference) << c.size;
            continue;
        }
        EXPECT_EQ(t.bank.spriteCount, c.count) << c.size << "/" << c.kind;
        EXPECT_TRUE(std::equal(t.block.begin(), t.block.begin() + c.count * 64, data.begin() + c.offset));
        for (int i = c.count; i < 256; ++i) // the rest of the bank is cleared
            ASSERT_TRUE(GetAttribute(t.bank.sprites, i) == 133 && IsBlank(t.bank.sprites, i) == 1) << c.size;
        EXPECT_EQ(t.bank.colourTransp, 11); // shared colours are not touched
    }

    // Only the head of a 2 GiB file is read.
    WriteBytes(dir.file("huge"), Pattern(16386, 2));
    fs::resize_file(dir.file("huge"), (std::uint64_t(2) << 30) + 2);
    TestBank t;
    EXPECT_EQ(ImportSprites(&t.bank, dir.file("huge").c_str(), kFileAuto, kAttrKeep), 1);
    EXPECT_EQ(t.bank.spriteCount, 256);
    EXPECT_EQ(t.block[0], Pattern(3, 2)[2]);
}

TEST(Exchange, AttributeLayouts)
{
    EXPECT_EQ(NativeToSeuck(0x9E), 0x1E);
    EXPECT_EQ(SeuckToNative(0x1E), 0x8E);
    EXPECT_EQ(NativeToSeuck(0x7F), 0x0F); // overlay and bits 6-5 dropped
    EXPECT_EQ(SeuckToNative(0xEF), 0x0F); // the file's bits 7-5 dropped

    TempFolder dir;
    Bytes data(3 * 64, 0);
    data[63] = 0x1E;
    data[127] = 0x05;
    data[191] = 0xF3;
    WriteBytes(dir.file("three.raw"), data);
    const struct
    {
        int attr;
        int expected[4];
    } cases[] = {{kAttrKeep, {0x1E, 0x05, 0xF3, 133}},
                 {kAttrSeuck, {0x8E, 0x05, 0x83, 133}},
                 {kAttrIgnore, {140, 140, 140, 133}}};
    for (const auto& c : cases)
    {
        TestBank t;
        ASSERT_EQ(ImportSprites(&t.bank, dir.file("three.raw").c_str(), kFileRaw, c.attr), 1);
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(GetAttribute(t.bank.sprites, i), c.expected[i]) << c.attr << "/" << i;
    }

    TestBank t, reference;
    fs::create_directory(dir.path() / "folder");
    for (const std::string& path : {dir.file("folder"), dir.file("missing"), kEndlessDevice})
        EXPECT_EQ(ImportSprites(&t.bank, path.c_str(), kFileAuto, kAttrKeep), 0);
    for (const auto& kindAttr : {std::pair{3, 0}, std::pair{-1, 0}, std::pair{0, 3}})
        EXPECT_EQ(ImportSprites(&t.bank, dir.file("three.raw").c_str(), kindAttr.first, kindAttr.second), 0);
    EXPECT_EQ(ImportSprites(&t.bank, nullptr, 0, 0) +
                  ImportSprites(nullptr, dir.file("three.raw").c_str(), 0, 0),
              0);
    EXPECT_TRUE(t == reference);
}

TEST(Exchange, ExportAndImportRoundTrip)
{
    TempFolder dir;
    TestBank t;
    t.block[63] = 0x9E;
    ASSERT_EQ(ExportSprites(&t.bank, dir.file("a.prg").c_str(), 3, 0x8000, kExportSeuck), 1);
    const Bytes prg = ReadBytes(dir.file("a.prg"));
    ASSERT_EQ(prg.size(), 2u + 192u);
    EXPECT_EQ(prg[0] + prg[1] * 256, 0x8000);
    EXPECT_TRUE(std::equal(prg.begin() + 2, prg.begin() + 65, t.block.begin()));
    EXPECT_EQ(prg[65], 0x1E);

    ASSERT_EQ(ExportSprites(&t.bank, dir.file("a.raw").c_str(), 256, -1, kExportNative), 1);
    EXPECT_EQ(ReadBytes(dir.file("a.raw")), t.block);
    TestBank back;
    ASSERT_EQ(ImportSprites(&back.bank, dir.file("a.raw").c_str(), kFileAuto, kAttrKeep), 1);
    EXPECT_EQ(back.block, t.block);

    for (int count : {0, 257})
        EXPECT_EQ(ExportSprites(&t.bank, dir.file("bad").c_str(), count, -1, kExportNative), -1);
    for (int address : {-2, 0x10000})
        EXPECT_EQ(ExportSprites(&t.bank, dir.file("bad").c_str(), 1, address, kExportNative), -1);
    EXPECT_EQ(ExportSprites(&t.bank, dir.file("bad").c_str(), 1, -1, 2), -1);
    EXPECT_EQ(ExportSprites(nullptr, dir.file("bad").c_str(), 1, -1, 0) +
                  ExportSprites(&t.bank, nullptr, 1, -1, 0),
              -2);
    EXPECT_FALSE(fs::exists(dir.path() / "bad"));
}

TEST(Exchange, SeuckFileRoundTrip)
{
    TempFolder dir;
    const std::string path = dir.file("game.a");
    TestBank t;
    t.bank.spriteCount = 3;
    t.block[63] = 0x9E;
    ASSERT_EQ(SaveSeuckFile(&t.bank, path.c_str()), 1);
    const Bytes file = ReadBytes(path);
    ASSERT_EQ(file.size(), 8130u);
    EXPECT_EQ(file[0] + file[1] * 256, 0x42);
    EXPECT_EQ(file[65], 0x1E);
    EXPECT_TRUE(std::equal(file.begin() + 2, file.begin() + 65, t.block.begin()));
    EXPECT_TRUE(std::all_of(file.begin() + 2 + 3 * 64, file.end(), [](u8 b) { return b == 0; }));

    TestBank back; // as "Load Sprite File..." reads it
    ASSERT_EQ(ImportSprites(&back.bank, path.c_str(), kFileAuto, kAttrSeuck), 1);
    EXPECT_EQ(back.bank.spriteCount, 127);
    EXPECT_EQ(GetAttribute(back.bank.sprites, 0), 0x8E);
    for (int i = 3; i < 127; ++i) // blank hires sprites of colour 0
        ASSERT_TRUE(IsBlank(back.bank.sprites, i) == 1 && GetAttribute(back.bank.sprites, i) == 0);

    for (int count : {0, 128})
    {
        t.bank.spriteCount = count;
        EXPECT_EQ(SaveSeuckFile(&t.bank, dir.file("bad.a").c_str()), -1);
    }
    EXPECT_EQ(SaveSeuckFile(nullptr, dir.file("bad.a").c_str()), -1);
    EXPECT_FALSE(fs::exists(dir.path() / "bad.a"));
}

TEST(Exchange, RealFilesFromOtherTools)
{
    const std::string ugly = RealSprite("uglyuglyugly_sprites3.bin");
    const std::string uridium = RealSprite("c64demo_uridium.spr");
    const std::string anthology = RealSprite("anthology_sprites.prg");
    if (!fs::exists(ugly) || !fs::exists(uridium) || !fs::exists(anthology))
        GTEST_SKIP() << "real sprite files not present";

    TestBank raw, autoDetected;
    ASSERT_EQ(LoadRawSprites(&raw.bank, ugly.c_str()), 1);
    EXPECT_EQ(raw.bank.spriteCount, 10);
    const Bytes uglyBytes = ReadBytes(ugly);
    EXPECT_TRUE(std::equal(uglyBytes.begin(), uglyBytes.end(), raw.block.begin()));
    // Its first bytes AA AA are sprite data, not a load address.
    ASSERT_EQ(ImportSprites(&autoDetected.bank, ugly.c_str(), kFileAuto, kAttrKeep), 1);
    EXPECT_TRUE(autoDetected == raw);

    TestBank u;
    ASSERT_EQ(ImportSprites(&u.bank, uridium.c_str(), kFileAuto, kAttrKeep), 1);
    EXPECT_EQ(u.bank.spriteCount, 46);
    const Bytes uridiumBytes = ReadBytes(uridium);
    EXPECT_TRUE(std::equal(uridiumBytes.begin() + 2, uridiumBytes.end(), u.block.begin()));

    TestBank p;
    ASSERT_EQ(ImportSprites(&p.bank, anthology.c_str(), kFilePrg, kAttrKeep), 1);
    EXPECT_EQ(p.bank.spriteCount, 15);
    EXPECT_EQ(GetAttribute(p.bank.sprites, 0), 0x0C);
    ASSERT_EQ(ImportSprites(&p.bank, anthology.c_str(), kFileAuto, kAttrKeep), 1); // 1,025 bytes: raw
    EXPECT_EQ(p.bank.spriteCount, 16);
}
