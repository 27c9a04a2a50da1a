// Bounded reads, atomic replacing writes, and every writer on a failing disk.
#include "CoreTestSupport.h"

#include <cerrno>

#include <sys/stat.h>

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

    std::vector<std::string> refused = {dir.path().u8string(), dir.file("missing"), kNullDevice, ""};
#ifndef _WIN32
    ASSERT_EQ(mkfifo(dir.file("pipe").c_str(), 0600), 0);
    refused.push_back(dir.file("pipe"));
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
#ifndef _WIN32
    ASSERT_EQ(chmod(path.c_str(), 0640), 0);
#endif
    const Bytes data = Pattern(300, 2);
    ASSERT_TRUE(WriteWholeFile(path.c_str(), data.data(), data.size()));
    EXPECT_EQ(ReadBytes(path), data);
#ifndef _WIN32
    struct stat info;
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u); // the replaced file's rights are kept
#endif

    const std::string longest = dir.file(std::string(255, 'n')); // the temp name still fits
    ASSERT_TRUE(WriteWholeFile(longest.c_str(), data.data(), data.size()));
#ifdef _WIN32
    EXPECT_EQ(dir.entries(), (std::vector<std::string>{std::string(255, 'n'), "out.bin"}));
#else
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
    std::vector<std::string> refused = {dir.file("plain/x"), dir.file("gone/x"), dir.file("folder")};
    std::vector<std::string> kept = {"folder", "plain"};
#ifndef _WIN32
    ASSERT_EQ(mkfifo(dir.file("pipe").c_str(), 0600), 0);
    refused.push_back(dir.file("pipe")); // a pipe with no reader: no wait
    kept.insert(kept.begin() + 1, "pipe");
#endif
    for (const std::string& p : refused)
        EXPECT_FALSE(WriteWholeFile(p.c_str(), data.data(), data.size())) << p;
    EXPECT_FALSE(WriteWholeFile(nullptr, data.data(), data.size()));
    EXPECT_FALSE(WriteWholeFile(dir.file("x").c_str(), nullptr, 5));
    EXPECT_EQ(ReadBytes(dir.file("plain")), Pattern(4));
    EXPECT_EQ(dir.entries(), kept);

    // A device is written as it is, never replaced.
    EXPECT_TRUE(WriteWholeFile(kNullDevice.c_str(), data.data(), data.size()));
#ifndef _WIN32
    EXPECT_TRUE(fs::is_fifo(dir.path() / "pipe"));
    EXPECT_TRUE(fs::is_character_file(kNullDevice));
#endif
}

// A disk that fills up part-way: the failure value comes back, the older file survives
// byte for byte and no temporary file is left behind.
TEST(FileIO, EveryWriterReportsAFullDiskAndKeepsTheOlderFile)
{
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
#ifndef _WIN32 // a full disk is made with a POSIX file size limit
        EXPECT_EQ(RunWithFileSizeLimit(1000, [&] { return w.write(path.c_str()); }), w.failure) << w.name;
        EXPECT_EQ(ReadBytes(path), Pattern(67, 9)) << w.name;
        EXPECT_EQ(dir.entries(), std::vector<std::string>{"old.dat"}) << w.name;
#endif
        EXPECT_EQ(w.write(dir.file("old.dat/new.dat").c_str()), w.failure) << w.name; // below a file
        EXPECT_EQ(ReadBytes(path), Pattern(67, 9)) << w.name;
        EXPECT_EQ(w.write(path.c_str()), 1) << w.name;
        EXPECT_NE(ReadBytes(path), Pattern(67, 9)) << w.name;
        EXPECT_EQ(dir.entries(), std::vector<std::string>{"old.dat"}) << w.name;
    }
}

// Each way a read or a write can be refused comes back as its own reason, with the
// system's errno where there is one, from the call that failed.
TEST(FileIO, ReasonsForRefusedReadsAndWrites)
{
    TempFolder dir;
    WriteBytes(dir.file("plain"), Pattern(4));
    fs::create_directory(dir.path() / "folder");
    struct Read
    {
        std::string path;
        FileError error;
        int sysErrno;
        const char* text;
    };
    std::vector<Read> reads = {
        {dir.file("missing"), FileError::NotFound, ENOENT, "No such file or directory"},
        {"", FileError::NotFound, ENOENT, "No such file or directory"},
        {dir.file("folder"), FileError::IsFolder, EISDIR, "Is a directory"},
        {kEndlessDevice, FileError::IsDevice, 0, "is a device, not a file"},
        {dir.file("plain/x"), FileError::NotAFolder, ENOTDIR, "Not a directory"},
        {dir.file(std::string(300, 'n')), FileError::NameTooLong, ENAMETOOLONG, "File name too long"},
    };
#ifndef _WIN32
    ASSERT_EQ(mkfifo(dir.file("pipe").c_str(), 0600), 0);
    fs::create_symlink("loop-b", dir.path() / "loop-a");
    fs::create_symlink("loop-a", dir.path() / "loop-b");
    reads.push_back({dir.file("pipe"), FileError::IsFifo, 0, "is a named pipe, not a file"});
    reads.push_back({dir.file("loop-a"), FileError::IoError, ELOOP, "Too many levels of symbolic links"});
#endif
    for (const auto& r : reads)
    {
        Bytes out;
        FileResult why;
        EXPECT_EQ(ReadWholeFile(r.path.c_str(), 100, out, &why), ReadStatus::CannotOpen) << r.path;
        EXPECT_EQ(why.error, r.error) << r.path;
        EXPECT_EQ(why.sysErrno, r.sysErrno) << r.path;
        EXPECT_EQ(FileErrorText(why), r.text) << r.path;
    }

    // Too large, and the size that was found; a successful read reports its size too.
    Bytes out;
    FileResult why;
    EXPECT_EQ(ReadWholeFile(dir.file("plain").c_str(), 3, out, &why), ReadStatus::TooLarge);
    EXPECT_EQ(why.error, FileError::TooLarge);
    EXPECT_EQ(why.fileSize, 4u);
    EXPECT_EQ(ReadWholeFile(dir.file("plain").c_str(), 4, out, &why), ReadStatus::Ok);
    EXPECT_EQ(why.error, FileError::None);
    EXPECT_EQ(why.fileSize, 4u);
    EXPECT_EQ(FileErrorText(why), "");

    // Writes: the folder is missing, is a file, the target is a folder or a pipe nobody reads.
    const Bytes data = Pattern(10);
    struct Write
    {
        std::string path;
        FileError error;
        int sysErrno;
    };
    std::vector<Write> writes = {
        {dir.file("gone/x"), FileError::NotFound, ENOENT},
        {dir.file("plain/x"), FileError::NotAFolder, ENOTDIR},
        {dir.file("folder"), FileError::IsFolder, EISDIR},
        {"", FileError::NotFound, ENOENT},
    };
#ifndef _WIN32
    writes.push_back({dir.file("pipe"), FileError::IsFifo, ENXIO});
#endif
    for (const auto& w : writes)
    {
        EXPECT_FALSE(WriteWholeFile(w.path.c_str(), data.data(), data.size(), &why)) << w.path;
        EXPECT_EQ(why.error, w.error) << w.path;
        EXPECT_EQ(why.sysErrno, w.sysErrno) << w.path;
    }
}

// A file that changes between being opened and being read is reported as such, not as a
// file of the wrong size, and changes nothing.
TEST(FileIO, AFileChangedWhileReadIsSaidSo)
{
    TempFolder dir;
    const std::string path = dir.file("grows.kmd");
    WriteBytes(path, Pattern(3 + 64));
    SetFileStepHook(
        [](FileStep step, const char* opened, void*)
        {
            if (step == FileStep::ReadOpened) std::ofstream(fs::u8path(opened), std::ios::app) << "more";
            return 0;
        },
        nullptr);
    TestBank bank, reference;
    FileResult why;
    EXPECT_EQ(LoadProject(&bank.bank, path.c_str(), &why), 0);
    SetFileStepHook(nullptr, nullptr);
    EXPECT_EQ(why.error, FileError::ChangedWhileRead);
    EXPECT_EQ(FileErrorText(why), "the file changed while it was read");
    EXPECT_TRUE(bank == reference);
}
