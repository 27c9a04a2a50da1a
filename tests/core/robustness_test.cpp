// What no file can do to the store: hang a reader, change a bank it was refused for,
// or leave a half-written file behind a save that was cut off.
#include "CoreTestSupport.h"

#include <chrono>
#include <cstdio>
#include <random>
#include <thread>

#ifndef _WIN32
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#endif

using namespace kelmora;
using namespace kelmora_test;

namespace
{

Bytes Of(const std::string& text)
{
    return Bytes(text.begin(), text.end());
}

// text followed by zero bytes up to size, as the snapshot's name fields are.
std::string Padded(const std::string& text, std::size_t size)
{
    return text + std::string(size - text.size(), '\0');
}

// "NAME" and sixteen colours, colour i being base + i.
std::string PaletteEntry(const std::string& name, std::uint32_t base)
{
    std::string text = "\"" + name + "\"\n";
    char colour[16];
    for (int i = 0; i < kPaletteColours; ++i)
    {
        std::snprintf(colour, sizeof colour, "#%06X%s", static_cast<unsigned>(base + i),
                      i == 15 ? "\n" : ", ");
        text += colour;
    }
    return text;
}

// The 26 bytes before the RAM: the memory module's name, version, a length that holds the
// whole RAM, and the four port bytes.
std::string MemoryModuleHead()
{
    return Padded("C64MEM", 16) + std::string("\0\0\x1a\0\x01\0", 6) + std::string(4, '\0');
}

#ifndef _WIN32
// A C64 snapshot: the file header, then the memory module whose RAM starts 26 bytes
// after its name.
Bytes SnapshotFile(const Bytes& ram)
{
    Bytes file = Of(std::string("VICE Snapshot File\x1a\x02\x00", 21) + Padded("C64", 16));
    const Bytes module = Of(MemoryModuleHead());
    file.insert(file.end(), module.begin(), module.end());
    file.insert(file.end(), ram.begin(), ram.end());
    return file;
}

// Runs fn in a child process and gives its exit code, or -1 when the child did not end
// by itself within the given seconds (it is then killed) or died of a signal.
int RunInChild(unsigned seconds, const std::function<int()>& fn)
{
    const pid_t pid = fork();
    if (pid == 0)
    {
        alarm(seconds);
        _exit(fn());
    }
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

// Every reader of the store, each against a fresh copy of the test bank; true when the
// read was refused and the bank is byte for byte as it was.
struct Reader
{
    const char* name;
    std::function<bool(const std::string&)> refusesAndKeepsTheBank;
};

std::vector<Reader> EveryReader()
{
    const auto bankReader = [](std::function<int(SpriteBank*, const char*)> read)
    {
        return [read](const std::string& path)
        {
            TestBank t, reference;
            return read(&t.bank, path.c_str()) == 0 && t == reference;
        };
    };
    std::vector<Reader> readers = {
        {"project", bankReader([](SpriteBank* b, const char* p) { return LoadProject(b, p); })},
        {"raw", bankReader([](SpriteBank* b, const char* p) { return LoadRawSprites(b, p); })},
        {"palette",
         [](const std::string& path)
         {
             NamedPalette slots[kMaxLoadedPalettes];
             slots[0].name = "kept";
             return ReadPalettes(path.c_str(), slots, kMaxLoadedPalettes) == -1 && slots[0].name == "kept";
         }},
        {"snapshot",
         [](const std::string& path)
         {
             Bytes ram(kC64RamBytes, 0x5C);
             return ReadSnapshotRam(path.c_str(), ram.data()) == SnapshotStatus::CannotOpen &&
                    ram == Bytes(kC64RamBytes, 0x5C);
         }},
    };
    for (int kind : {kFileRaw, kFilePrg, kFileAuto})
        for (int attr : {kAttrKeep, kAttrSeuck, kAttrIgnore})
            readers.push_back({"import", bankReader([kind, attr](SpriteBank* b, const char* p)
                                                    { return ImportSprites(b, p, kind, attr); })});
    return readers;
}
#endif

} // namespace

// A pipe never blocks a reader, not even as the raw data's ".inf" side file, and neither
// a pipe nor a device nor a file the user may not read changes anything.
TEST(Robustness, PipesDevicesAndUnreadableFilesAreRefusedAtOnce)
{
#ifdef _WIN32
    GTEST_SKIP() << "POSIX pipes, devices, permission bits and child processes";
#else
    TempFolder dir;
    ASSERT_EQ(mkfifo(dir.file("pipe").c_str(), 0666), 0);
    const std::vector<std::string> paths = {dir.file("pipe"), "/dev/zero", "/dev/urandom",
                                            dir.path().string()};
    const int failures = RunInChild(20,
                                    [&]
                                    {
                                        int failed = 0;
                                        for (const Reader& r : EveryReader())
                                            for (const std::string& p : paths)
                                                if (!r.refusesAndKeepsTheBank(p))
                                                {
                                                    std::fprintf(stderr, "%s read %s\n", r.name, p.c_str());
                                                    ++failed;
                                                }
                                        return failed;
                                    });
    EXPECT_EQ(failures, 0) << "a reader hung (-1) or accepted a pipe, a device or a folder";

    // Raw data whose side file is a pipe: loaded, the pipe not waited for, colours kept.
    WriteBytes(dir.file("walk.raw"), Pattern(128));
    ASSERT_EQ(mkfifo(dir.file("walk.raw.inf").c_str(), 0666), 0);
    const int sideFile = RunInChild(20,
                                    [&]
                                    {
                                        TestBank t;
                                        return LoadRawSprites(&t.bank, dir.file("walk.raw").c_str()) == 1 &&
                                                       t.bank.spriteCount == 2 && t.bank.colourTransp == 11
                                                   ? 0
                                                   : 1;
                                    });
    EXPECT_EQ(sideFile, 0);

    // Files that exist but may not be read: without any read right, and read by a user
    // other than their owner when the tests run as root (who could read them anyway).
    const bool root = getuid() == 0;
    const passwd* nobody = getpwnam("nobody");
    if (root && nobody == nullptr) GTEST_SKIP() << "no unprivileged user to read as";
    chmod(dir.path().c_str(), 0755);
    const std::vector<std::pair<std::string, Bytes>> files = {
        {"p.kmd", Pattern(67)},
        {"r.raw", Pattern(128)},
        {"i.prg", Pattern(130)},
        {"palettes.pal", Of(PaletteEntry("locked", 0))},
        {"s.vsf", SnapshotFile(Pattern(kC64RamBytes))},
    };
    for (const auto& f : files)
    {
        WriteBytes(dir.file(f.first), f.second);
        ASSERT_EQ(chmod(dir.file(f.first).c_str(), root ? 0600 : 0000), 0);
    }
    const int unreadable =
        RunInChild(20,
                   [&]
                   {
                       if (root && (setgid(nobody->pw_gid) != 0 || setuid(nobody->pw_uid) != 0)) return 100;
                       int failed = 0;
                       for (const Reader& r : EveryReader())
                           for (const auto& f : files)
                               failed += r.refusesAndKeepsTheBank(dir.file(f.first)) ? 0 : 1;
                       return failed;
                   });
    EXPECT_EQ(unreadable, 0);
#endif
}

#ifndef _WIN32
namespace
{

// Keeps changing the file at path while a test reads it. The file is always a prefix
// of content, its length going through sizes in turn. With shrink false it only grows:
// each cycle starts from a new small file put in place by renaming, which a reader that
// already opened the old one never sees. With shrink true the same file is cut short
// and grown back, which the kernel may let a reader see as zeros past the cut.
class FileChanger
{
  public:
    FileChanger(std::string path, const Bytes& content, std::vector<std::size_t> sizes, bool shrink)
        : path_(std::move(path)), content_(content), sizes_(std::move(sizes)), shrink_(shrink),
          thread_([this] { Run(); })
    {
    }
    ~FileChanger()
    {
        stop_ = true;
        thread_.join();
    }

  private:
    void Run()
    {
        const std::string fresh = path_ + ".new";
        int fd = -1;
        std::size_t current = 0;
        for (std::size_t turn = 0; !stop_; ++turn)
        {
            const std::size_t next = sizes_[turn % sizes_.size()];
            if (fd < 0 || (!shrink_ && turn % sizes_.size() == 0))
            {
                if (fd >= 0) close(fd);
                fd = open(fresh.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
                if (fd < 0 || rename(fresh.c_str(), path_.c_str()) != 0) break;
                current = 0;
            }
            if (next < current && ftruncate(fd, static_cast<off_t>(next)) != 0) break;
            if (next > current && pwrite(fd, content_.data() + current, next - current,
                                         static_cast<off_t>(current)) != static_cast<ssize_t>(next - current))
                break;
            current = next;
        }
        if (fd >= 0) close(fd);
    }

    std::string path_;
    const Bytes& content_;
    std::vector<std::size_t> sizes_;
    bool shrink_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

// The loaded bytes are the file's own, or zeros where a concurrent cut let the
// kernel show them (allowed only when the file was cut).
::testing::AssertionResult BytesOfTheFile(const std::uint8_t* loaded, const std::uint8_t* file, std::size_t n,
                                          bool cutsSeen)
{
    for (std::size_t i = 0; i < n; ++i)
        if (loaded[i] != file[i] && !(cutsSeen && loaded[i] == 0))
            return ::testing::AssertionFailure() << "byte " << i << " of " << n;
    return ::testing::AssertionSuccess();
}

} // namespace
#endif

// A file that changes while it is read, growing and (second pass) shrinking: each read is
// refused with nothing changed, or takes a length the file really had and its bytes.
TEST(Robustness, AFileThatGrowsOrShrinksWhileItIsRead)
{
#ifdef _WIN32
    GTEST_SKIP()
        << "the file is changed under the reader with POSIX calls (pwrite, ftruncate, rename over an "
           "open file)";
#else
    TempFolder dir;
    const std::string path = dir.file("changing");
    std::string palettes;
    for (int i = 0; i < 25; ++i)
        palettes += PaletteEntry("p" + std::to_string(i), static_cast<std::uint32_t>(i) << 16);
    const Bytes ram = Pattern(kC64RamBytes, 5);
    const Bytes project = Pattern(3 + kBlockBytes + 5000, 2);
    const Bytes prg = Pattern(2 + kBlockBytes + 5000, 3);
    const Bytes snapshot = SnapshotFile(ram);
    const Bytes paletteText = Of(palettes);
    bool cuts = false;

    const struct
    {
        const char* name;
        const Bytes& content;
        std::vector<std::size_t> sizes; // ascending: the growing pass takes them in this order
        std::function<void()> readAndCheck;
    } cases[] = {
        {"project",
         project,
         {3 + 640, 1000, 3 + kBlockBytes, 3 + kBlockBytes + 5000},
         [&]
         {
             TestBank t, reference;
             if (LoadProject(&t.bank, path.c_str()) == 0)
             {
                 ASSERT_TRUE(t == reference);
                 return;
             }
             ASSERT_TRUE(t.bank.spriteCount == 10 || t.bank.spriteCount == 256) << t.bank.spriteCount;
             ASSERT_TRUE(BytesOfTheFile(t.block.data(), project.data() + 3, t.bank.spriteCount * 64u, cuts));
         }},
        {"import",
         prg,
         {2 + 640, 1000, 2 + kBlockBytes, 2 + kBlockBytes + 5000},
         [&]
         {
             TestBank t, reference;
             if (ImportSprites(&t.bank, path.c_str(), kFilePrg, kAttrKeep) == 0)
             {
                 ASSERT_TRUE(t == reference);
                 return;
             }
             ASSERT_TRUE(t.bank.spriteCount >= 1 && t.bank.spriteCount <= 256);
             ASSERT_TRUE(BytesOfTheFile(t.block.data(), prg.data() + 2, t.bank.spriteCount * 64u, cuts));
         }},
        {"palette",
         paletteText,
         {10, paletteText.size() / 3, paletteText.size()},
         [&]
         {
             NamedPalette slots[kMaxLoadedPalettes];
             const int kept = ReadPalettes(path.c_str(), slots, kMaxLoadedPalettes);
             ASSERT_TRUE(kept >= -1 && kept <= kMaxLoadedPalettes);
             for (int k = 0; k < kept; ++k)
                 ASSERT_EQ(slots[k].name, "p" + std::to_string(k));
         }},
        {"snapshot",
         snapshot,
         {100, snapshot.size() - 1, snapshot.size()},
         [&]
         {
             Bytes out(kC64RamBytes, 0x5C);
             const SnapshotStatus status = ReadSnapshotRam(path.c_str(), out.data());
             if (status != SnapshotStatus::Ok)
             {
                 // A read cut short counts as a file that could not be read.
                 ASSERT_EQ(out, Bytes(kC64RamBytes, 0x5C));
                 return;
             }
             ASSERT_TRUE(BytesOfTheFile(out.data(), ram.data(), out.size(), cuts));
         }},
    };
    for (bool shrink : {false, true})
    {
        cuts = shrink;
        for (const auto& c : cases)
        {
            SCOPED_TRACE(std::string(c.name) + (shrink ? ", shrinking" : ", growing"));
            WriteBytes(path, c.content);
            FileChanger changer(path, c.content, c.sizes, shrink);
            for (int round = 0; round < 200 && !HasFatalFailure(); ++round)
                c.readAndCheck();
        }
    }
#endif
}

// The palette file at its worst: far too many palettes, names far too long, and bytes
// that were never text. Reading stays bounded and keeps only what the rules allow.
TEST(Robustness, PaletteFilesAtTheirWorst)
{
    TempFolder dir;
    const std::string path = dir.file("palettes.pal");
    NamedPalette slots[kMaxLoadedPalettes + 1];
    slots[kMaxLoadedPalettes].name = "guard";

    std::string many;
    for (int i = 0; i < 10000; ++i)
        many += PaletteEntry("p" + std::to_string(i), static_cast<std::uint32_t>(i));
    WriteBytes(path, Of(many)); // about 1.3 MB: past the part that is read
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(ReadPalettes(path.c_str(), slots, kMaxLoadedPalettes), kMaxLoadedPalettes);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_EQ(slots[19].name, "p19");
    EXPECT_EQ(slots[19].colours[15], 19u + 15u);
    EXPECT_EQ(slots[kMaxLoadedPalettes].name, "guard");

    // A 1,000-character name ends reading; the palette before it is kept, the one after is not.
    WriteBytes(path, Of(PaletteEntry("short", 0) + PaletteEntry(std::string(1000, 'n'), 0) +
                        PaletteEntry("late", 0)));
    ASSERT_EQ(ReadPalettes(path.c_str(), slots, kMaxLoadedPalettes), 1);
    EXPECT_EQ(slots[0].name, "short");
    // A name of exactly 32 characters is still a name.
    WriteBytes(path, Of(PaletteEntry(std::string(32, 'x'), 0)));
    ASSERT_EQ(ReadPalettes(path.c_str(), slots, kMaxLoadedPalettes), 1);
    EXPECT_EQ(slots[0].name, std::string(32, 'x'));

    // Binary garbage: zero bytes, high bytes, quotes and "#" at random, up to 64 KiB.
    std::mt19937 random(2024);
    for (int round = 0; round < 40; ++round)
    {
        Bytes junk(1 + random() % 65536);
        for (auto& b : junk)
            b = static_cast<std::uint8_t>(random() % 3 == 0 ? "\"#0aF ,;\r\n"[random() % 10] : random());
        WriteBytes(path, junk);
        const int kept = ReadPalettes(path.c_str(), slots, kMaxLoadedPalettes);
        ASSERT_TRUE(kept >= 0 && kept <= kMaxLoadedPalettes) << kept;
        for (int k = 0; k < kept; ++k)
            ASSERT_LE(slots[k].name.size(), 32u);
        ASSERT_EQ(slots[kMaxLoadedPalettes].name, "guard");
    }
    // A valid palette hidden in garbage without quotes or "#" is still found.
    Bytes framed(5000, 0xFF);
    const Bytes entry = Of(PaletteEntry("inside", 0x123456));
    framed.insert(framed.begin() + 2500, entry.begin(), entry.end());
    WriteBytes(path, framed);
    ASSERT_EQ(ReadPalettes(path.c_str(), slots, kMaxLoadedPalettes), 1);
    EXPECT_EQ(slots[0].name, "inside");
}

// "C64MEM" at the very end of a snapshot file, whole or cut off: refused, the RAM untouched.
TEST(Robustness, SnapshotEndingInTheMemoryModulesName)
{
    TempFolder dir;
    const std::string path = dir.file("end.vsf");
    const std::string head = std::string("VICE Snapshot File\x1a\x02\x00", 21) + Padded("C64", 16);
    for (const std::string& tail : {std::string("C64MEM"), std::string("C64ME"), std::string("C"),
                                    std::string("C64MEM") + std::string(10, '\0'),
                                    MemoryModuleHead() + std::string(kC64RamBytes - 1, '\0')})
    {
        WriteBytes(path, Of(head + tail));
        Bytes ram(kC64RamBytes, 0x5C);
        EXPECT_EQ(ReadSnapshotRam(path.c_str(), ram.data()), SnapshotStatus::Invalid) << tail.size();
        EXPECT_EQ(ram, Bytes(kC64RamBytes, 0x5C));
    }
    // One byte more and the memory is complete.
    WriteBytes(path, Of(head + MemoryModuleHead() + std::string(kC64RamBytes, '\0')));
    Bytes ram(kC64RamBytes, 0x5C);
    EXPECT_EQ(ReadSnapshotRam(path.c_str(), ram.data()), SnapshotStatus::Ok);
    EXPECT_EQ(ram, Bytes(kC64RamBytes, 0));
}

// A save cut off at any moment (the process killed outright) leaves the target as it was
// or as the finished save made it, never a mix of both and never a shorter file.
TEST(Robustness, ASaveKilledHalfwayLeavesTheOldOrTheNewFile)
{
#ifdef _WIN32
    GTEST_SKIP() << "the save is killed in a child process made with fork";
#else
    Bytes oldBlock = Pattern(kBlockBytes, 1);
    Bytes newBlock = Pattern(kBlockBytes, 2);
    SpriteBank oldBank{256, 1, 2, 3, 4, oldBlock.data(), 0, 0, 0, 0};
    SpriteBank newBank{256, 5, 6, 7, 8, newBlock.data(), 0, 0, 0, 0};
    SpriteBank oldSeuck = oldBank, newSeuck = newBank;
    oldSeuck.spriteCount = newSeuck.spriteCount = 127;
    std::vector<std::uint32_t> oldPicture(512 * 512, 0xFF102030), newPicture(512 * 512, 0xFF405060);

    const struct
    {
        const char* name;
        std::function<int(const char*)> saveOld, saveNew;
    } writers[] = {
        {"project", [&](const char* p) { return SaveProject(&oldBank, p); },
         [&](const char* p) { return SaveProject(&newBank, p); }},
        {"export", [&](const char* p) { return ExportSprites(&oldBank, p, 256, 0x8000, kExportSeuck); },
         [&](const char* p) { return ExportSprites(&newBank, p, 256, 0x8000, kExportSeuck); }},
        {"seuck", [&](const char* p) { return SaveSeuckFile(&oldSeuck, p); },
         [&](const char* p) { return SaveSeuckFile(&newSeuck, p); }},
        {"listing", [&](const char* p) { return WriteTextListing(oldBlock.data(), 0, 255, p, 1); },
         [&](const char* p) { return WriteTextListing(newBlock.data(), 0, 255, p, 0); }},
        {"bitmap", [&](const char* p) { return WriteBitmap32(p, oldPicture.data(), 512, 512, 512); },
         [&](const char* p) { return WriteBitmap32(p, newPicture.data(), 512, 512, 512); }},
    };
    std::mt19937 random(77);
    for (const auto& w : writers)
    {
        SCOPED_TRACE(w.name);
        TempFolder dir;
        const std::string path = dir.file("target");
        ASSERT_EQ(w.saveNew(path.c_str()), 1);
        const Bytes newFile = ReadBytes(path);
        const auto started = std::chrono::steady_clock::now();
        ASSERT_EQ(w.saveOld(path.c_str()), 1);
        const Bytes oldFile = ReadBytes(path);
        ASSERT_NE(oldFile, newFile);
        // Kills land anywhere from the first save's start to a few saves later.
        const auto saveTime =
            std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - started);
        const unsigned spread = static_cast<unsigned>(3 * saveTime.count() + 1);

        int sawOld = 0, sawNew = 0;
        for (int round = 0; round < 10; ++round)
        {
            ASSERT_EQ(w.saveOld(path.c_str()), 1);
            int ready[2];
            ASSERT_EQ(pipe(ready), 0);
            const pid_t pid = fork();
            ASSERT_GE(pid, 0);
            if (pid == 0)
            {
                close(ready[0]);
                if (write(ready[1], "go", 2) != 2) _exit(1);
                for (;;)
                    w.saveNew(path.c_str());
            }
            close(ready[1]);
            char buffer[2];
            ASSERT_EQ(read(ready[0], buffer, 2), 2);
            close(ready[0]);
            std::this_thread::sleep_for(std::chrono::microseconds(random() % spread));
            kill(pid, SIGKILL);
            int status = 0;
            ASSERT_EQ(waitpid(pid, &status, 0), pid);

            const Bytes now = ReadBytes(path);
            ASSERT_TRUE(now == oldFile || now == newFile)
                << "round " << round << ": " << now.size() << " bytes";
            (now == oldFile ? sawOld : sawNew)++;
        }
        // The target is never anything else; only the killed save's temporary file may remain.
        for (const std::string& name : dir.entries())
            EXPECT_TRUE(name == "target" || (name.rfind(".kelmora-", 0) == 0 && name.size() > 13 &&
                                             name.compare(name.size() - 4, 4, ".tmp") == 0))
                << name;
        RecordProperty(std::string(w.name) + "_old_new",
                       std::to_string(sawOld) + "/" + std::to_string(sawNew));
    }
#endif
}
