// Raw and PRG import and export, the two attribute layouts and the SEUCK sprite file.
#include "CoreTestSupport.h"

using namespace kelmora;
using namespace kelmora_test;

namespace
{

struct Loaded
{
    int result;
    int count;
};

Loaded Import(TestBank& t, const std::string& path, int kind, int attr)
{
    const int result = ImportSprites(&t.bank, path.c_str(), kind, attr);
    return {result, t.bank.spriteCount};
}

} // namespace

TEST(Exchange, AttributeLayoutConversions)
{
    EXPECT_EQ(NativeToSeuck(0x9E), 0x1E);
    EXPECT_EQ(SeuckToNative(0x1E), 0x8E);
    EXPECT_EQ(NativeToSeuck(0x05), 0x05);
    EXPECT_EQ(NativeToSeuck(0x7F), 0x0F); // overlay and bits 6-5 are dropped
    EXPECT_EQ(SeuckToNative(0xEF), 0x0F); // the file's bits 7-5 are dropped
    EXPECT_EQ(SeuckToNative(0x10), 0x80);
}

TEST(Exchange, ImportSizeLimitsInEachMode)
{
    TempFolder dir;
    struct Case
    {
        std::size_t size;
        int kind;
        int result;
        int count;
        std::size_t offset; // where sprite 0 starts in the file
    };
    const Case cases[] = {
        {0, kFileAuto, 1, 0, 0},       {10, kFileAuto, 1, 0, 0},      {63, kFileRaw, 0, 0, 0},
        {64, kFileRaw, 1, 1, 0},       {100, kFileRaw, 1, 1, 0},      {65, kFilePrg, 0, 0, 0},
        {66, kFilePrg, 1, 1, 2},       {66, kFileAuto, 1, 1, 2},      {66, kFileRaw, 1, 1, 0},
        {128, kFileAuto, 1, 2, 0},     {130, kFileAuto, 1, 2, 2},     {8130, kFileAuto, 1, 127, 2},
        {16448, kFileRaw, 1, 256, 0},  {20000, kFileRaw, 1, 256, 0},  {16450, kFilePrg, 1, 256, 2},
        {16450, kFileAuto, 1, 256, 2}, {16449, kFileAuto, 1, 256, 0}, {2, kFileAuto, 1, 0, 2},
    };
    for (const Case& c : cases)
    {
        const std::string path = dir.file("f" + std::to_string(c.size));
        const Bytes data = Pattern(c.size, 12);
        WriteBytes(path, data);
        TestBank t;
        TestBank reference;
        const Loaded got = Import(t, path, c.kind, kAttrKeep);
        EXPECT_EQ(got.result, c.result) << c.size << " kind " << c.kind;
        if (c.result == 0)
        {
            EXPECT_TRUE(SameBank(t, reference)) << c.size;
            continue;
        }
        EXPECT_EQ(got.count, c.count) << c.size << " kind " << c.kind;
        const std::size_t bytes = static_cast<std::size_t>(c.count) * 64;
        EXPECT_TRUE(std::equal(t.block.begin(), t.block.begin() + bytes, data.begin() + c.offset)) << c.size;
        for (int i = c.count; i < 256; ++i) // the rest of the bank is cleared
        {
            ASSERT_EQ(GetAttribute(t.bank.sprites, i), 133) << c.size;
            ASSERT_EQ(IsBlank(t.bank.sprites, i), 1) << c.size;
        }
        EXPECT_EQ(t.bank.colourTransp, 11); // the shared colours are not touched
    }
}

TEST(Exchange, AutoDetectReadsOnlyTheHeadOfAHugeFile)
{
    TempFolder dir;
    const std::string path = dir.file("huge.prg");
    const Bytes head = Pattern(16386, 2);
    WriteBytes(path, head);
    fs::resize_file(path, (std::uint64_t(2) << 30) + 2); // 2 GiB of sprites after an address
    TestBank t;
    EXPECT_EQ(ImportSprites(&t.bank, path.c_str(), kFileAuto, kAttrKeep), 1);
    EXPECT_EQ(t.bank.spriteCount, 256);
    EXPECT_TRUE(std::equal(t.block.begin(), t.block.end(), head.begin() + 2));
}

TEST(Exchange, AttributeTreatmentOnImport)
{
    TempFolder dir;
    Bytes data(3 * 64, 0);
    data[63] = 0x1E;
    data[127] = 0x05;
    data[191] = 0xF3;
    WriteBytes(dir.file("three.raw"), data);
    TestBank t;
    ASSERT_EQ(ImportSprites(&t.bank, dir.file("three.raw").c_str(), kFileRaw, kAttrSeuck), 1);
    EXPECT_EQ(GetAttribute(t.bank.sprites, 0), 0x8E);
    EXPECT_EQ(GetAttribute(t.bank.sprites, 1), 0x05);
    EXPECT_EQ(GetAttribute(t.bank.sprites, 2), 0x83);
    ASSERT_EQ(ImportSprites(&t.bank, dir.file("three.raw").c_str(), kFileRaw, kAttrIgnore), 1);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(GetAttribute(t.bank.sprites, i), 140);
    EXPECT_EQ(GetAttribute(t.bank.sprites, 3), 133);
    ASSERT_EQ(ImportSprites(&t.bank, dir.file("three.raw").c_str(), kFileRaw, kAttrKeep), 1);
    EXPECT_EQ(GetAttribute(t.bank.sprites, 2), 0xF3);
}

TEST(Exchange, RefusedImportsLeaveTheBankAlone)
{
    TempFolder dir;
    WriteBytes(dir.file("ok.raw"), Pattern(128));
    fs::create_directory(dir.path() / "folder");
    TestBank t;
    TestBank reference;
    EXPECT_EQ(ImportSprites(&t.bank, dir.file("folder").c_str(), kFileAuto, kAttrKeep), 0);
    EXPECT_EQ(ImportSprites(&t.bank, dir.file("missing").c_str(), kFileAuto, kAttrKeep), 0);
    EXPECT_EQ(ImportSprites(&t.bank, "/dev/zero", kFileAuto, kAttrKeep), 0);
    EXPECT_EQ(ImportSprites(&t.bank, dir.file("ok.raw").c_str(), 3, kAttrKeep), 0);
    EXPECT_EQ(ImportSprites(&t.bank, dir.file("ok.raw").c_str(), -1, kAttrKeep), 0);
    EXPECT_EQ(ImportSprites(&t.bank, dir.file("ok.raw").c_str(), kFileRaw, 3), 0);
    EXPECT_EQ(ImportSprites(&t.bank, nullptr, kFileRaw, kAttrKeep), 0);
    EXPECT_EQ(ImportSprites(nullptr, dir.file("ok.raw").c_str(), kFileRaw, kAttrKeep), 0);
    EXPECT_TRUE(SameBank(t, reference));
}

TEST(Exchange, ExportWritesRawOrPrgInEitherLayout)
{
    TempFolder dir;
    TestBank t;
    t.block[63] = 0x9E;
    ASSERT_EQ(ExportSprites(&t.bank, dir.file("a.prg").c_str(), 3, 0x8000, kExportSeuck), 1);
    const Bytes prg = ReadBytes(dir.file("a.prg"));
    ASSERT_EQ(prg.size(), 2u + 192u);
    EXPECT_EQ(prg[0], 0x00);
    EXPECT_EQ(prg[1], 0x80);
    EXPECT_TRUE(std::equal(prg.begin() + 2, prg.begin() + 65, t.block.begin()));
    EXPECT_EQ(prg[65], 0x1E);
    EXPECT_EQ(prg[129], NativeToSeuck(t.block[127]));

    ASSERT_EQ(ExportSprites(&t.bank, dir.file("a.raw").c_str(), 256, -1, kExportNative), 1);
    EXPECT_EQ(ReadBytes(dir.file("a.raw")), t.block);

    // Exported and imported again, the sprites come back unchanged.
    TestBank back;
    ASSERT_EQ(ImportSprites(&back.bank, dir.file("a.raw").c_str(), kFileAuto, kAttrKeep), 1);
    EXPECT_EQ(back.block, t.block);
    ASSERT_EQ(ExportSprites(&t.bank, dir.file("b.prg").c_str(), 5, 0x1234, kExportNative), 1);
    ASSERT_EQ(ImportSprites(&back.bank, dir.file("b.prg").c_str(), kFilePrg, kAttrKeep), 1);
    EXPECT_EQ(back.bank.spriteCount, 5);
    EXPECT_TRUE(std::equal(back.block.begin(), back.block.begin() + 320, t.block.begin()));

    for (int count : {0, 257, -1})
        EXPECT_EQ(ExportSprites(&t.bank, dir.file("bad").c_str(), count, -1, kExportNative), -1);
    EXPECT_EQ(ExportSprites(&t.bank, dir.file("bad").c_str(), 1, 0x10000, kExportNative), -1);
    EXPECT_EQ(ExportSprites(&t.bank, dir.file("bad").c_str(), 1, -2, kExportNative), -1);
    EXPECT_EQ(ExportSprites(&t.bank, dir.file("bad").c_str(), 1, -1, 2), -1);
    EXPECT_EQ(ExportSprites(nullptr, dir.file("bad").c_str(), 1, -1, kExportNative), -1);
    EXPECT_EQ(ExportSprites(&t.bank, nullptr, 1, -1, kExportNative), -1);
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
    EXPECT_EQ(file[0], 0x42);
    EXPECT_EQ(file[1], 0x00);
    EXPECT_EQ(file[65], 0x1E);
    EXPECT_TRUE(std::equal(file.begin() + 2, file.begin() + 65, t.block.begin()));
    EXPECT_TRUE(std::all_of(file.begin() + 2 + 3 * 64, file.end(), [](u8 b) { return b == 0; }));

    // "Load Sprite File...": auto-detect with the SEUCK layout.
    TestBank back;
    ASSERT_EQ(ImportSprites(&back.bank, path.c_str(), kFileAuto, kAttrSeuck), 1);
    EXPECT_EQ(back.bank.spriteCount, 127);
    EXPECT_EQ(GetAttribute(back.bank.sprites, 0), 0x8E);
    EXPECT_TRUE(std::equal(back.block.begin(), back.block.begin() + 63, t.block.begin()));
    for (int i = 3; i < 127; ++i)
    {
        ASSERT_EQ(IsBlank(back.bank.sprites, i), 1);
        ASSERT_EQ(GetAttribute(back.bank.sprites, i), 0); // hires, colour 0
    }
    EXPECT_EQ(GetAttribute(back.bank.sprites, 127), 133);

    for (int count : {0, 128, -5})
    {
        t.bank.spriteCount = count;
        EXPECT_EQ(SaveSeuckFile(&t.bank, dir.file("bad.a").c_str()), -1);
    }
    t.bank.spriteCount = 127;
    EXPECT_EQ(SaveSeuckFile(&t.bank, dir.file("full.a").c_str()), 1);
    EXPECT_EQ(fs::file_size(dir.path() / "full.a"), 8130u);
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

    const Bytes uglyBytes = ReadBytes(ugly);
    ASSERT_EQ(uglyBytes.size(), 640u);
    TestBank t;
    ASSERT_EQ(LoadRawSprites(&t.bank, ugly.c_str()), 1);
    EXPECT_EQ(t.bank.spriteCount, 10);
    EXPECT_TRUE(std::equal(uglyBytes.begin(), uglyBytes.end(), t.block.begin()));
    EXPECT_EQ(IsMulticolour(t.bank.sprites, 9), 1);
    // Its first bytes AA AA are sprite data, not a load address.
    TestBank a;
    ASSERT_EQ(ImportSprites(&a.bank, ugly.c_str(), kFileAuto, kAttrKeep), 1);
    EXPECT_EQ(a.bank.spriteCount, 10);
    EXPECT_EQ(a.block[0], 0xAA);
    EXPECT_EQ(a.block[1], 0xAA);
    EXPECT_EQ(GetAttribute(a.bank.sprites, 0), 0x81);

    const Bytes uridiumBytes = ReadBytes(uridium);
    ASSERT_EQ(uridiumBytes.size(), 2946u);
    TestBank u;
    ASSERT_EQ(ImportSprites(&u.bank, uridium.c_str(), kFileAuto, kAttrKeep), 1);
    EXPECT_EQ(u.bank.spriteCount, 46);
    EXPECT_TRUE(std::equal(uridiumBytes.begin() + 2, uridiumBytes.end(), u.block.begin()));

    TestBank p;
    ASSERT_EQ(ImportSprites(&p.bank, anthology.c_str(), kFilePrg, kAttrKeep), 1);
    EXPECT_EQ(p.bank.spriteCount, 15);
    EXPECT_EQ(GetAttribute(p.bank.sprites, 0), 0x0C);
    EXPECT_EQ(GetAttribute(p.bank.sprites, 14), 0x00);
    // Its size is not 2 more than whole sprites, so auto-detect takes it as raw data.
    ASSERT_EQ(ImportSprites(&p.bank, anthology.c_str(), kFileAuto, kAttrKeep), 1);
    EXPECT_EQ(p.bank.spriteCount, 16);
}
