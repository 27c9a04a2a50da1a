// Reading C64 memory out of VICE snapshots and copying video banks into a sprites block.
#include "core/Snapshot.h"

#include "core/Types.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

using namespace kelmora;

namespace
{

using Bytes = std::vector<std::uint8_t>;

void Append(Bytes& out, const std::string& text)
{
    out.insert(out.end(), text.begin(), text.end());
}

// A 16-byte module name padded with zeros, version 1.0, a length, then the body.
void AppendModule(Bytes& out, const std::string& name, const Bytes& body)
{
    std::string field = name;
    field.resize(16, '\0');
    Append(out, field);
    out.push_back(1);
    out.push_back(0);
    const std::uint32_t length = static_cast<std::uint32_t>(body.size() + 22);
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::uint8_t>(length >> (8 * i)));
    out.insert(out.end(), body.begin(), body.end());
}

Bytes Header(const std::string& machine)
{
    Bytes out;
    Append(out, "VICE Snapshot File\x1a");
    out.push_back(1);
    out.push_back(1);
    std::string field = machine;
    field.resize(16, '\0');
    Append(out, field);
    AppendModule(out, "MAINCPU", Bytes(30, 0x11));
    return out;
}

// RAM whose every byte tells its address apart from its neighbours'.
Bytes PatternRam()
{
    Bytes ram(kC64RamBytes);
    for (std::size_t a = 0; a < ram.size(); ++a)
        ram[a] = static_cast<std::uint8_t>((a * 7 + (a >> 8)) & 0xFF);
    return ram;
}

// A C64 snapshot: header, CPU module, memory module (4 port bytes and the RAM), a trailer module.
Bytes Snapshot(const Bytes& ram)
{
    Bytes out = Header("C64");
    Bytes body = {0x35, 0x27, 0x00, 0x00};
    body.insert(body.end(), ram.begin(), ram.end());
    AppendModule(out, "C64MEM", body);
    AppendModule(out, "CIA1", Bytes(20, 0x22));
    return out;
}

std::size_t RamStart(const Bytes& file)
{
    const std::uint8_t name[] = {'C', '6', '4', 'M', 'E', 'M'};
    return static_cast<std::size_t>(FindPattern(file.data(), file.size(), 6, name)) + 26;
}

std::filesystem::path FreshDir(const char* name)
{
    std::filesystem::path dir =
        std::filesystem::temp_directory_path() /
        (std::string("kelmora_snapshot_") + name + "_" + std::to_string(std::random_device{}()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

void WriteFile(const std::filesystem::path& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

} // namespace

TEST(FindPattern, FirstOccurrenceWildcardsAndBounds)
{
    const std::uint8_t data[] = {1, 2, 3, 1, 2, 3, 9};
    const std::uint8_t p123[] = {1, 2, 3};
    const std::uint8_t wild[] = {2, 0xFF, 1};
    const std::uint8_t tail[] = {3, 9};
    const std::uint8_t absent[] = {3, 3};
    EXPECT_EQ(FindPattern(data, 7, 3, p123), 0);
    EXPECT_EQ(FindPattern(data + 1, 6, 3, p123), 2);
    EXPECT_EQ(FindPattern(data, 7, 3, wild), 1);
    EXPECT_EQ(FindPattern(data, 7, 2, tail), 5);  // at the very end
    EXPECT_EQ(FindPattern(data, 6, 2, tail), -1); // one byte short of it
    EXPECT_EQ(FindPattern(data, 7, 2, absent), -1);
    EXPECT_EQ(FindPattern(data, 2, 3, p123), -1); // length below pattern length
    EXPECT_EQ(FindPattern(nullptr, 7, 3, p123), -1);
    EXPECT_EQ(FindPattern(data, 7, 3, nullptr), -1);
    // 0xFF is always a wildcard: a literal 0xFF byte in the pattern matches anything.
    const std::uint8_t ff[] = {0xFF, 0xFF};
    EXPECT_EQ(FindPattern(data, 7, 2, ff), 0);
}

TEST(ExtractC64Ram, TakesTheRamAfterTheFirstMemoryModule)
{
    const Bytes ram = PatternRam();
    Bytes file = Snapshot(ram);
    Bytes out(kC64RamBytes, 0);
    ASSERT_TRUE(ExtractC64Ram(file.data(), file.size(), out.data()));
    EXPECT_EQ(out, ram);
    EXPECT_EQ(RamStart(file), 37u + 52u + 26u);

    // A second memory module later in the file is ignored.
    Bytes other(kC64RamBytes, 0xAB);
    Bytes twice = file;
    AppendModule(twice, "C64MEM", other);
    ASSERT_TRUE(ExtractC64Ram(twice.data(), twice.size(), out.data()));
    EXPECT_EQ(out, ram);

    // Exactly 65,536 bytes after the RAM's start are enough.
    Bytes exact(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(RamStart(file) + kC64RamBytes));
    ASSERT_TRUE(ExtractC64Ram(exact.data(), exact.size(), out.data()));
    EXPECT_EQ(out, ram);
}

TEST(ExtractC64Ram, RefusesWhatIsNotACompleteC64Snapshot)
{
    const Bytes ram = PatternRam();
    const Bytes file = Snapshot(ram);
    const Bytes untouched(kC64RamBytes, 0x5C);
    Bytes out = untouched;

    // One byte of RAM missing.
    Bytes cut(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(RamStart(file) + kC64RamBytes - 1));
    EXPECT_FALSE(ExtractC64Ram(cut.data(), cut.size(), out.data()));

    // The memory module's name as the last bytes of the file, or cut inside its header.
    Bytes atEnd = Header("C64");
    Append(atEnd, "C64MEM");
    EXPECT_FALSE(ExtractC64Ram(atEnd.data(), atEnd.size(), out.data()));
    Bytes inHeader = atEnd;
    inHeader.resize(inHeader.size() + 19, 0);
    EXPECT_FALSE(ExtractC64Ram(inHeader.data(), inHeader.size(), out.data()));

    // "C64MEM" without the snapshot text.
    Bytes noMagic = file;
    noMagic[0] = 'v';
    EXPECT_FALSE(ExtractC64Ram(noMagic.data(), noMagic.size(), out.data()));

    // Another machine: a snapshot without a module of that name.
    Bytes c128 = Header("C128");
    Bytes body(4, 0);
    body.insert(body.end(), 131072, 0x33);
    AppendModule(c128, "C128MEM", body);
    EXPECT_FALSE(ExtractC64Ram(c128.data(), c128.size(), out.data()));

    EXPECT_FALSE(ExtractC64Ram(nullptr, 100, out.data()));
    EXPECT_FALSE(ExtractC64Ram(file.data(), file.size(), nullptr));
    EXPECT_FALSE(ExtractC64Ram(file.data(), 0, out.data()));
    EXPECT_EQ(out, untouched);
}

TEST(Snapshot, SpritesLandInTheirVideoBankSlots)
{
    Bytes ram(kC64RamBytes, 0);
    for (int i = 0; i < 64; ++i)
    {
        ram[0x2000 + i] = static_cast<std::uint8_t>(0x40 + i);
        ram[0xC800 + i] = static_cast<std::uint8_t>(0x80 + i);
    }
    const std::filesystem::path dir = FreshDir("banks");
    const std::filesystem::path path = dir / std::filesystem::u8path("r\xC3\xA4tsel.vsf");
    WriteFile(path, Snapshot(ram));

    Bytes read(kC64RamBytes, 0xEE);
    ASSERT_EQ(ReadSnapshotRam(path.u8string().c_str(), read.data()), SnapshotStatus::Ok);
    EXPECT_EQ(read, ram);

    Bytes block(kBlockBytes, 0x77);
    CopyVideoBank(read.data(), 0, block.data());
    for (int i = 0; i < 64; ++i)
        ASSERT_EQ(block[128 * 64 + i], 0x40 + i);
    EXPECT_EQ(block[128 * 64 + 63], 0x40 + 63); // the attribute byte is whatever memory holds
    EXPECT_EQ(block[127 * 64 + 63], 0);
    CopyVideoBank(read.data(), 3, block.data());
    for (int i = 0; i < 64; ++i)
        ASSERT_EQ(block[32 * 64 + i], 0x80 + i);

    // Other banks and null pointers change nothing.
    const Bytes before = block;
    CopyVideoBank(read.data(), 4, block.data());
    CopyVideoBank(read.data(), -1, block.data());
    CopyVideoBank(nullptr, 0, block.data());
    CopyVideoBank(read.data(), 0, nullptr);
    EXPECT_EQ(block, before);

    std::filesystem::remove_all(dir);
}

TEST(Snapshot, FilesThatCannotBeReadOrAreInvalid)
{
    const std::filesystem::path dir = FreshDir("files");
    const Bytes untouched(kC64RamBytes, 0x5C);
    Bytes ram = untouched;

    EXPECT_EQ(ReadSnapshotRam((dir / "missing.vsf").u8string().c_str(), ram.data()),
              SnapshotStatus::CannotOpen);
    EXPECT_EQ(ReadSnapshotRam(dir.u8string().c_str(), ram.data()), SnapshotStatus::CannotOpen);
    EXPECT_EQ(ReadSnapshotRam(nullptr, ram.data()), SnapshotStatus::CannotOpen);

    const std::filesystem::path empty = dir / "empty.vsf";
    WriteFile(empty, {});
    EXPECT_EQ(ReadSnapshotRam(empty.u8string().c_str(), ram.data()), SnapshotStatus::Invalid);

    const Bytes file = Snapshot(PatternRam());
    const std::filesystem::path cut = dir / "cut.vsf";
    WriteFile(cut, Bytes(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(RamStart(file) + 1000)));
    EXPECT_EQ(ReadSnapshotRam(cut.u8string().c_str(), ram.data()), SnapshotStatus::Invalid);
    EXPECT_EQ(ram, untouched);

    // Past 64 MiB nothing is read: a snapshot at the start of a longer file is found, memory
    // beyond the limit is not. Sparse files keep this cheap on disk.
    const std::filesystem::path longFile = dir / "long.vsf";
    WriteFile(longFile, file);
    std::filesystem::resize_file(longFile, kMaxSnapshotBytes + 4096);
    ASSERT_EQ(ReadSnapshotRam(longFile.u8string().c_str(), ram.data()), SnapshotStatus::Ok);
    EXPECT_EQ(ram, PatternRam());

    const std::filesystem::path lateFile = dir / "late.vsf";
    WriteFile(lateFile, Header("C64"));
    std::filesystem::resize_file(lateFile, kMaxSnapshotBytes - 10);
    {
        std::ofstream out(lateFile, std::ios::binary | std::ios::app);
        const Bytes tail = Snapshot(Bytes(kC64RamBytes, 0x99));
        out.write(reinterpret_cast<const char*>(tail.data()) + 37,
                  static_cast<std::streamsize>(tail.size() - 37));
    }
    ram = untouched;
    EXPECT_EQ(ReadSnapshotRam(lateFile.u8string().c_str(), ram.data()), SnapshotStatus::Invalid);
    EXPECT_EQ(ram, untouched);

    std::filesystem::remove_all(dir);
}

#ifdef KELMORA_REALDATA_DIR
namespace
{

std::filesystem::path RealSnapshot(const char* name)
{
    return std::filesystem::path(KELMORA_REALDATA_DIR) / "vsf" / name;
}

Bytes ReadAll(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

} // namespace

TEST(Snapshot, RealEmulatorSnapshots)
{
    if (!std::filesystem::exists(RealSnapshot("c64-rambo2-norom.vsf"))) GTEST_SKIP() << "no real snapshots";

    const struct
    {
        const char* file;
        std::size_t memoryModule;
    } c64[] = {{"c64-rambo2-norom.vsf", 106},
               {"c64_frogger.vsf", 183},
               {"c64_the_hobbit.vsf", 183},
               {"vchar64_seuck_game.vsf", 127},
               {"vchar64_super-mario-vice3.6.vsf", 151}};
    Bytes ram(kC64RamBytes);
    for (const auto& snapshot : c64)
    {
        const Bytes file = ReadAll(RealSnapshot(snapshot.file));
        ASSERT_FALSE(file.empty()) << snapshot.file;
        EXPECT_EQ(RamStart(file), snapshot.memoryModule + 26) << snapshot.file;
        ASSERT_EQ(ReadSnapshotRam(RealSnapshot(snapshot.file).u8string().c_str(), ram.data()),
                  SnapshotStatus::Ok)
            << snapshot.file;
        EXPECT_EQ(std::memcmp(ram.data(), file.data() + snapshot.memoryModule + 26, kC64RamBytes), 0);
    }

    // Rambo: the screen at $4000 in bank 1, its eight sprite pointers at $43F8.
    ASSERT_EQ(ReadSnapshotRam(RealSnapshot("c64-rambo2-norom.vsf").u8string().c_str(), ram.data()),
              SnapshotStatus::Ok);
    const std::uint8_t pointers[8] = {0x47, 0x11, 0x14, 0x1B, 0x1C, 0x22, 0x22, 0x22};
    EXPECT_EQ(std::memcmp(ram.data() + 0x43F8, pointers, 8), 0);
    Bytes block(kBlockBytes, 0);
    CopyVideoBank(ram.data(), 1, block.data());
    EXPECT_EQ(std::memcmp(block.data() + 0x3F8, pointers, 8), 0);
    const auto blank = [&](int slot)
    {
        for (int i = 0; i < 63; ++i)
            if (block[slot * 64 + i] != 0) return false;
        return true;
    };
    for (int slot : {0x47, 0x11, 0x14, 0x1B, 0x1C})
        EXPECT_FALSE(blank(slot)) << "sprite data at slot " << slot;
    EXPECT_TRUE(blank(0x22));

    // Frogger: pointers at $47F8.
    ASSERT_EQ(ReadSnapshotRam(RealSnapshot("c64_frogger.vsf").u8string().c_str(), ram.data()),
              SnapshotStatus::Ok);
    const std::uint8_t frogger[8] = {0x60, 0x60, 0x68, 0x6A, 0x55, 0x55, 0x55, 0x55};
    EXPECT_EQ(std::memcmp(ram.data() + 0x47F8, frogger, 8), 0);

    // A C128 snapshot holds no C64 memory module.
    const Bytes before = ram;
    EXPECT_EQ(ReadSnapshotRam(RealSnapshot("c128-rhps-norom.vsf").u8string().c_str(), ram.data()),
              SnapshotStatus::Invalid);
    EXPECT_EQ(ram, before);
}
#endif
