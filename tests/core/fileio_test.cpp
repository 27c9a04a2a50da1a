// Bounded reads and atomic replacing writes, and how every writer meets a failing disk.
#include "CoreTestSupport.h"

#include <sys/stat.h>

using namespace kelmora;
using namespace kelmora_test;

TEST(FileIO, ReadWholeFileHonoursItsLimitExactly)
{
    TempFolder dir;
    const Bytes data = Pattern(100);
    WriteBytes(dir.file("a.bin"), data);
    Bytes out;
    EXPECT_EQ(ReadWholeFile(dir.file("a.bin").c_str(), 100, out), ReadStatus::Ok);
    EXPECT_EQ(out, data);
    Bytes kept = {1, 2, 3};
    EXPECT_EQ(ReadWholeFile(dir.file("a.bin").c_str(), 99, kept), ReadStatus::TooLarge);
    EXPECT_EQ(kept, (Bytes{1, 2, 3})); // a failed read leaves the output alone

    WriteBytes(dir.file("empty"), {});
    EXPECT_EQ(ReadWholeFile(dir.file("empty").c_str(), 0, out), ReadStatus::Ok);
    EXPECT_TRUE(out.empty());
}

TEST(FileIO, OnlyRegularFilesAreRead)
{
    TempFolder dir;
    ASSERT_EQ(mkfifo(dir.file("pipe").c_str(), 0600), 0);
    Bytes out;
    std::uint64_t size = 0;
    for (const std::string& path : {dir.path().string(), dir.file("missing"), dir.file("pipe"),
                                    std::string("/dev/null"), std::string("")})
    {
        EXPECT_EQ(ReadWholeFile(path.c_str(), 1000, out), ReadStatus::CannotOpen) << path;
        EXPECT_EQ(ReadFileHead(path.c_str(), 1000, out, size), ReadStatus::CannotOpen) << path;
    }
    EXPECT_EQ(ReadWholeFile(nullptr, 1000, out), ReadStatus::CannotOpen);
}

TEST(FileIO, AHugeSparseFileIsNeverReadWhole)
{
    TempFolder dir;
    const std::string path = dir.file("huge.bin");
    WriteBytes(path, Pattern(10));
    fs::resize_file(path, std::uint64_t(2) << 30); // 2 GiB, sparse
    Bytes out;
    EXPECT_EQ(ReadWholeFile(path.c_str(), 16387, out), ReadStatus::TooLarge);
    std::uint64_t size = 0;
    EXPECT_EQ(ReadFileHead(path.c_str(), 50, out, size), ReadStatus::Ok);
    EXPECT_EQ(size, std::uint64_t(2) << 30);
    ASSERT_EQ(out.size(), 50u);
    EXPECT_TRUE(std::equal(out.begin(), out.begin() + 10, Pattern(10).begin()));
    EXPECT_EQ(out[49], 0);

    EXPECT_EQ(ReadFileHead(path.c_str(), 0, out, size), ReadStatus::Ok);
    EXPECT_TRUE(out.empty());
}

TEST(FileIO, Utf8NamesWorkForReadingAndWriting)
{
    TempFolder dir;
    const std::string path = dir.file("sprit\xC3\xA9s \xE2\x98\x85.kmd");
    const Bytes data = Pattern(67);
    ASSERT_TRUE(WriteWholeFile(path.c_str(), data.data(), data.size()));
    Bytes out;
    EXPECT_EQ(ReadWholeFile(path.c_str(), 1000, out), ReadStatus::Ok);
    EXPECT_EQ(out, data);
    EXPECT_EQ(dir.entries().size(), 1u);
}

TEST(FileIO, WriteReplacesAFileAndLeavesNothingElseBehind)
{
    TempFolder dir;
    const std::string path = dir.file("out.bin");
    WriteBytes(path, Pattern(5000, 1));
    ASSERT_EQ(chmod(path.c_str(), 0640), 0);
    const Bytes data = Pattern(300, 2);
    ASSERT_TRUE(WriteWholeFile(path.c_str(), data.data(), data.size()));
    EXPECT_EQ(ReadBytes(path), data);
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"out.bin"});
    struct stat info;
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u); // the replaced file's rights are kept

    ASSERT_TRUE(WriteWholeFile(path.c_str(), nullptr, 0));
    EXPECT_EQ(fs::file_size(path), 0u);

    // A name as long as the file system allows still gets its temporary file.
    const std::string longest = dir.file(std::string(255, 'n'));
    WriteBytes(longest, Pattern(3));
    ASSERT_TRUE(WriteWholeFile(longest.c_str(), data.data(), data.size()));
    EXPECT_EQ(ReadBytes(longest), data);
    EXPECT_EQ(dir.entries().size(), 2u);
}

TEST(FileIO, WritingThroughASymbolicLinkReplacesItsTarget)
{
    TempFolder dir;
    WriteBytes(dir.file("real.bin"), Pattern(10));
    fs::create_symlink("real.bin", dir.path() / "link.bin");
    const Bytes data = Pattern(20, 5);
    ASSERT_TRUE(WriteWholeFile(dir.file("link.bin").c_str(), data.data(), data.size()));
    EXPECT_TRUE(fs::is_symlink(dir.path() / "link.bin"));
    EXPECT_EQ(ReadBytes(dir.file("real.bin")), data);
    EXPECT_EQ(dir.entries().size(), 2u);
}

TEST(FileIO, WritesThatCannotSucceedFailCleanly)
{
    TempFolder dir;
    const Bytes data = Pattern(10);
    WriteBytes(dir.file("plain"), Pattern(4));
    EXPECT_FALSE(WriteWholeFile(dir.file("plain/inside.bin").c_str(), data.data(), data.size()));
    EXPECT_FALSE(WriteWholeFile(dir.file("gone/inside.bin").c_str(), data.data(), data.size()));
    fs::create_directory(dir.path() / "folder");
    EXPECT_FALSE(WriteWholeFile(dir.file("folder").c_str(), data.data(), data.size()));
    EXPECT_TRUE(fs::is_directory(dir.path() / "folder"));
    EXPECT_FALSE(WriteWholeFile(nullptr, data.data(), data.size()));
    EXPECT_FALSE(WriteWholeFile("", data.data(), data.size()));
    EXPECT_FALSE(WriteWholeFile(dir.file("x").c_str(), nullptr, 5));
    EXPECT_EQ(ReadBytes(dir.file("plain")), Pattern(4));
    std::vector<std::string> entries = dir.entries();
    std::sort(entries.begin(), entries.end());
    EXPECT_EQ(entries, (std::vector<std::string>{"folder", "plain"}));
}

TEST(FileIO, ADeviceOrPipeIsWrittenInPlaceNeverReplaced)
{
    const Bytes data = Pattern(10);
    EXPECT_TRUE(WriteWholeFile("/dev/null", data.data(), data.size()));
    EXPECT_TRUE(fs::is_character_file("/dev/null"));

    TempFolder dir;
    ASSERT_EQ(mkfifo(dir.file("pipe").c_str(), 0600), 0);
    // Nobody reads the pipe: the write fails at once instead of waiting.
    EXPECT_FALSE(WriteWholeFile(dir.file("pipe").c_str(), data.data(), data.size()));
    EXPECT_TRUE(fs::is_fifo(dir.path() / "pipe"));
    EXPECT_EQ(dir.entries().size(), 1u);
}

// Every writer on a disk that fills up part-way: the failure value comes back, the
// older file survives byte for byte, and no temporary file is left in the folder.
TEST(FileIO, EveryWriterReportsAFullDiskAndKeepsTheOlderFile)
{
    Bytes block = Pattern(kBlockBytes);
    SpriteBank bank{};
    bank.spriteCount = 100;
    bank.sprites = block.data();
    struct Writer
    {
        const char* name;
        int failure;
        std::function<int(const char*)> write;
    };
    const Writer writers[] = {
        {"project", 0, [&](const char* p) { return SaveProject(&bank, p); }},
        {"export", -1, [&](const char* p) { return ExportSprites(&bank, p, 100, 0x8000, kExportNative); }},
        {"seuck", -1,
         [&](const char* p)
         {
             SpriteBank small = bank;
             small.spriteCount = 3;
             return SaveSeuckFile(&small, p);
         }},
        {"listing", -1, [&](const char* p) { return WriteTextListing(block.data(), 0, 40, p, 1); }},
    };
    for (const Writer& w : writers)
    {
        TempFolder dir;
        const std::string path = dir.file("old.dat");
        const Bytes older = Pattern(67, 9);
        WriteBytes(path, older);
        EXPECT_EQ(RunWithFileSizeLimit(1000, [&] { return w.write(path.c_str()); }), w.failure) << w.name;
        EXPECT_EQ(ReadBytes(path), older) << w.name;
        EXPECT_EQ(dir.entries(), std::vector<std::string>{"old.dat"}) << w.name;

        // A path below a regular file cannot be created at all.
        EXPECT_EQ(w.write(dir.file("old.dat/new.dat").c_str()), w.failure) << w.name;
        EXPECT_EQ(ReadBytes(path), older) << w.name;

        // With room enough the same call succeeds.
        EXPECT_EQ(RunWithFileSizeLimit(1 << 20, [&] { return w.write(path.c_str()); }), 1) << w.name;
        EXPECT_NE(ReadBytes(path), older) << w.name;
        EXPECT_EQ(dir.entries(), std::vector<std::string>{"old.dat"}) << w.name;
    }
}
