// Bounded reads, atomic replacing writes, and every writer on a failing disk.
#include "CoreTestSupport.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

using namespace kelmora;
using namespace kelmora_test;

TEST(FileIO, ReadsAreBoundedAndOnlyOfRegularFiles)
{
    TempFolder dir;
    const std::string path = dir.file("sprit\xC3\xA9s \xE2\x98\x85.bin"); // UTF-8 name
    WriteBytes(path, Pattern(100));
    Bytes out;
    EXPECT_EQ(ReadWholeFile(path.c_str(), 100, out), ReadStatus::Ok);
    EXPECT_EQ(out, Pattern(100));
    Bytes kept = {1, 2, 3};
    EXPECT_EQ(ReadWholeFile(path.c_str(), 99, kept), ReadStatus::TooLarge);
    EXPECT_EQ(kept, (Bytes{1, 2, 3}));

    fs::resize_file(fs::u8path(path), std::uint64_t(2) << 30); // 2 GiB, sparse
    EXPECT_EQ(ReadWholeFile(path.c_str(), 16387, out), ReadStatus::TooLarge);
    std::uint64_t size = 0;
    EXPECT_EQ(ReadFileHead(path.c_str(), 150, out, size), ReadStatus::Ok);
    EXPECT_EQ(size, std::uint64_t(2) << 30);
    ASSERT_EQ(out.size(), 150u);
    EXPECT_TRUE(std::equal(out.begin(), out.begin() + 100, Pattern(100).begin()));

    std::vector<std::string> refused = {dir.path().u8string(), dir.file("missing"), std::string("")};
#ifndef _WIN32 // pipes and devices in the file system
    ASSERT_EQ(mkfifo(dir.file("pipe").c_str(), 0600), 0);
    refused.push_back(dir.file("pipe"));
    refused.push_back("/dev/null");
#endif
    for (const std::string& p : refused)
    {
        EXPECT_EQ(ReadWholeFile(p.c_str(), 1000, out), ReadStatus::CannotOpen) << p;
        EXPECT_EQ(ReadFileHead(p.c_str(), 1000, out, size), ReadStatus::CannotOpen) << p;
    }
    EXPECT_EQ(ReadWholeFile(nullptr, 1000, out), ReadStatus::CannotOpen);
}

TEST(FileIO, WritesReplaceAtomicallyAndLeaveNothingElse)
{
    TempFolder dir;
    const std::string path = dir.file("out.bin");
    WriteBytes(path, Pattern(5000, 1));
    const Bytes data = Pattern(300, 2);
#ifdef _WIN32
    ASSERT_TRUE(WriteWholeFile(path.c_str(), data.data(), data.size()));
    EXPECT_EQ(ReadBytes(path), data);
    GTEST_SKIP() << "POSIX access rights and symbolic links";
#else
    ASSERT_EQ(chmod(path.c_str(), 0640), 0);
    ASSERT_TRUE(WriteWholeFile(path.c_str(), data.data(), data.size()));
    EXPECT_EQ(ReadBytes(path), data);
    struct stat info;
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u); // the replaced file's rights are kept

    const std::string longest = dir.file(std::string(255, 'n')); // the temp name still fits
    ASSERT_TRUE(WriteWholeFile(longest.c_str(), data.data(), data.size()));
    fs::create_symlink("out.bin", dir.path() / "link");
    ASSERT_TRUE(WriteWholeFile(dir.file("link").c_str(), nullptr, 0));
    EXPECT_TRUE(fs::is_symlink(dir.path() / "link")); // the link's target was replaced
    EXPECT_EQ(fs::file_size(path), 0u);
    EXPECT_EQ(dir.entries(), (std::vector<std::string>{"link", std::string(255, 'n'), "out.bin"}));
#endif
}

TEST(FileIO, WritesThatCannotSucceedFailCleanly)
{
    TempFolder dir;
    const Bytes data = Pattern(10);
    WriteBytes(dir.file("plain"), Pattern(4));
    fs::create_directory(dir.path() / "folder");
    for (const std::string& p : {dir.file("plain/x"), dir.file("gone/x"), dir.file("folder")})
        EXPECT_FALSE(WriteWholeFile(p.c_str(), data.data(), data.size())) << p;
    EXPECT_FALSE(WriteWholeFile(nullptr, data.data(), data.size()));
    EXPECT_FALSE(WriteWholeFile(dir.file("x").c_str(), nullptr, 5));
    EXPECT_EQ(ReadBytes(dir.file("plain")), Pattern(4));
    EXPECT_EQ(dir.entries(), (std::vector<std::string>{"folder", "plain"}));

#ifndef _WIN32 // pipes and devices in the file system
    ASSERT_EQ(mkfifo(dir.file("pipe").c_str(), 0600), 0);
    EXPECT_FALSE(WriteWholeFile(dir.file("pipe").c_str(), data.data(), data.size())); // no reader: no wait
    EXPECT_TRUE(fs::is_fifo(dir.path() / "pipe"));
    EXPECT_EQ(dir.entries(), (std::vector<std::string>{"folder", "pipe", "plain"}));

    EXPECT_TRUE(WriteWholeFile("/dev/null", data.data(), data.size())); // a device is written in place
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
#endif
}

// A disk that fills up part-way: the failure value comes back, the older file survives
// byte for byte and no temporary file is left behind.
TEST(FileIO, EveryWriterReportsAFullDiskAndKeepsTheOlderFile)
{
#ifdef _WIN32
    GTEST_SKIP() << "a full disk is made with a POSIX file size limit";
#else
    Bytes block = Pattern(kBlockBytes);
    SpriteBank bank{100, 0, 0, 0, 0, block.data(), 0, 0, 0, 0};
    SpriteBank seuck = bank;
    seuck.spriteCount = 3;
    const struct
    {
        const char* name;
        int failure;
        std::function<int(const char*)> write;
    } writers[] = {
        {"project", 0, [&](const char* p) { return SaveProject(&bank, p); }},
        {"export", -1, [&](const char* p) { return ExportSprites(&bank, p, 100, 0x8000, kExportNative); }},
        {"seuck", -1, [&](const char* p) { return SaveSeuckFile(&seuck, p); }},
        {"listing", -1, [&](const char* p) { return WriteTextListing(block.data(), 0, 40, p, 1); }},
    };
    for (const auto& w : writers)
    {
        TempFolder dir;
        const std::string path = dir.file("old.dat");
        WriteBytes(path, Pattern(67, 9));
        EXPECT_EQ(RunWithFileSizeLimit(1000, [&] { return w.write(path.c_str()); }), w.failure) << w.name;
        EXPECT_EQ(ReadBytes(path), Pattern(67, 9)) << w.name;
        EXPECT_EQ(dir.entries(), std::vector<std::string>{"old.dat"}) << w.name;
        EXPECT_EQ(w.write(dir.file("old.dat/new.dat").c_str()), w.failure) << w.name; // below a file
        EXPECT_EQ(RunWithFileSizeLimit(1 << 20, [&] { return w.write(path.c_str()); }), 1) << w.name;
        EXPECT_NE(ReadBytes(path), Pattern(67, 9)) << w.name;
        EXPECT_EQ(dir.entries(), std::vector<std::string>{"old.dat"}) << w.name;
    }
#endif
}
