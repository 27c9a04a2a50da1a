// Reading C64 memory out of VICE snapshots and copying video banks into a sprites block.
#include "core/Snapshot.h"

#include "core/Types.h"

#include <gtest/gtest.h>

#include <algorithm>
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
    Bytes body(4 + ram.size());
    body[0] = 0x35;
    body[1] = 0x27;
    std::copy(ram.begin(), ram.end(), body.begin() + 4);
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

namespace
{

// A module with a length field that may lie: the body as given, the length as asked.
void AppendModuleClaiming(Bytes& out, const std::string& name, std::uint32_t length, const Bytes& body)
{
    AppendModule(out, name, body);
    for (int i = 0; i < 4; ++i)
        out[out.size() - body.size() - 4 + static_cast<std::size_t>(i)] =
            static_cast<std::uint8_t>(length >> (8 * i));
}

Bytes MemoryBody(std::uint8_t fill)
{
    Bytes body = {0x35, 0x27, 0x00, 0x00};
    body.insert(body.end(), kC64RamBytes, fill);
    return body;
}

SnapshotFacts Facts(const Bytes& file, Bytes* ram = nullptr)
{
    SnapshotFacts facts;
    Bytes scratch(kC64RamBytes, 0x5C);
    const bool ok = ParseSnapshot(file.data(), file.size(), scratch.data(), &facts);
    EXPECT_EQ(ok, facts.problem == SnapshotProblem::None);
    if (!ok)
    {
        EXPECT_EQ(scratch, Bytes(kC64RamBytes, 0x5C)); // a refusal leaves the RAM alone
    }
    if (ram != nullptr) *ram = scratch;
    return facts;
}

} // namespace

// The header decides first: the magic text at offset 0 and a C64 machine name.
TEST(ParseSnapshot, HeaderMagicAndMachine)
{
    const Bytes file = Snapshot(PatternRam());
    Bytes shifted(2 + file.size(), 'x');
    std::copy(file.begin(), file.end(), shifted.begin() + 2);
    EXPECT_EQ(Facts(shifted).problem, SnapshotProblem::NotASnapshot); // the magic, but not at 0
    EXPECT_EQ(Facts(Bytes(file.begin(), file.begin() + 30)).problem, SnapshotProblem::HeaderCut);

    for (const char* accepted : {"C64", "C64SC"})
    {
        Bytes other = Header(accepted);
        AppendModule(other, "C64MEM", MemoryBody(0x42));
        Bytes ram;
        const SnapshotFacts facts = Facts(other, &ram);
        EXPECT_EQ(facts.problem, SnapshotProblem::None) << accepted;
        EXPECT_EQ(facts.machine, accepted);
        EXPECT_EQ(ram, Bytes(kC64RamBytes, 0x42));
    }
    const struct
    {
        const char* machine;
        const char* text;
    } refused[] = {
        {"C128", "this is a snapshot of a C128"},        {"VIC20", "this is a snapshot of a VIC20"},
        {"C64DTV", "this is a snapshot of a C64DTV"},    {"C64 ", "this is a snapshot of a C64 "},
        {"\x1b[2J", "this is a snapshot of a \\x1B[2J"}, // no control character reaches a terminal
        {"", "the snapshot names no machine"},
    };
    for (const auto& r : refused)
    {
        // A machine of its own, even with a C64 memory module after the header.
        Bytes other = Header(r.machine);
        AppendModule(other, "C64MEM", MemoryBody(0x42));
        const SnapshotFacts facts = Facts(other);
        EXPECT_EQ(facts.problem, SnapshotProblem::OtherMachine) << r.machine;
        EXPECT_EQ(SnapshotProblemText(facts), r.text);
    }

    // The version block of newer files is skipped before the modules.
    Bytes versioned;
    Append(versioned, std::string("VICE Snapshot File\x1a\x02\x00", 21));
    Append(versioned, std::string("C64SC", 5) + std::string(11, '\0'));
    Append(versioned, std::string("VICE Version\x1a\x03\x0a\0\0\0\0\0\0", 21));
    AppendModule(versioned, "C64MEM", MemoryBody(0x17));
    Bytes ram;
    EXPECT_EQ(Facts(versioned, &ram).memoryModule, 58u);
    EXPECT_EQ(ram, Bytes(kC64RamBytes, 0x17));
}

// The module table is walked with every length checked; only a whole C64MEM module counts.
TEST(ParseSnapshot, ModuleTableWithCheckedLengths)
{
    const Bytes memory = MemoryBody(0x42);
    const std::uint32_t whole = static_cast<std::uint32_t>(memory.size() + 22);
    const struct
    {
        const char* what;
        std::uint32_t cpuLength, memoryLength;
        SnapshotProblem problem;
    } cases[] = {
        {"cpu 0", 0, whole, SnapshotProblem::ModuleTooShort},
        {"cpu 5", 5, whole, SnapshotProblem::ModuleTooShort},
        {"cpu 0xFFFFFFFF", 0xFFFFFFFFu, whole, SnapshotProblem::ModulePastEnd},
        {"memory 0", 52, 0, SnapshotProblem::IncompleteMemory},
        {"memory 5", 52, 5, SnapshotProblem::IncompleteMemory},
        {"memory 0xFFFFFFFF", 52, 0xFFFFFFFFu, SnapshotProblem::IncompleteMemory},
        {"memory one short", 52, whole - 1, SnapshotProblem::IncompleteMemory},
        {"memory one too many", 52, whole + 1, SnapshotProblem::IncompleteMemory},
        {"both right", 52, whole, SnapshotProblem::None},
    };
    for (const auto& c : cases)
    {
        Bytes file;
        Append(file, "VICE Snapshot File\x1a");
        file.push_back(1);
        file.push_back(1);
        Append(file, std::string("C64") + std::string(13, '\0'));
        AppendModuleClaiming(file, "MAINCPU", c.cpuLength, Bytes(30, 0x11));
        AppendModuleClaiming(file, "C64MEM", c.memoryLength, memory);
        const SnapshotFacts facts = Facts(file);
        EXPECT_EQ(facts.problem, c.problem) << c.what;
        if (c.problem == SnapshotProblem::ModuleTooShort || c.problem == SnapshotProblem::ModulePastEnd)
        {
            EXPECT_EQ(facts.problemOffset, 37u) << c.what;
        }
    }
    Bytes cut = Snapshot(PatternRam());
    cut.resize(cut.size() - 50); // the 42-byte trailer module and the RAM's last 8 bytes
    EXPECT_EQ(SnapshotProblemText(Facts(cut)), "the memory module is incomplete");

    // "C64MEM" as text inside another module is data, not a module: the real one is taken,
    // and without one the snapshot holds no memory.
    Bytes decoy = Header("C64");
    Bytes body;
    Append(body, std::string("C64MEM") + std::string(10, '\0'));
    body.push_back(0);
    body.push_back(0);
    const Bytes fake = MemoryBody(0x99);
    for (int i = 0; i < 4; ++i)
        body.push_back(static_cast<std::uint8_t>((fake.size() + 22) >> (8 * i)));
    body.insert(body.end(), fake.begin(), fake.end());
    AppendModule(decoy, "CIA1", body);
    EXPECT_EQ(Facts(decoy).problem, SnapshotProblem::NoMemoryModule);
    EXPECT_EQ(SnapshotProblemText(Facts(decoy)), "it holds no C64 memory module");
    AppendModule(decoy, "C64MEM", memory);
    Bytes ram;
    EXPECT_EQ(Facts(decoy, &ram).problem, SnapshotProblem::None);
    EXPECT_EQ(ram, Bytes(kC64RamBytes, 0x42));

    // Two memory modules: the first is the memory, as the emulator itself would take it.
    Bytes twice = Header("C64");
    AppendModule(twice, "C64MEM", memory);
    AppendModule(twice, "C64MEM", MemoryBody(0x77));
    EXPECT_EQ(Facts(twice, &ram).problem, SnapshotProblem::None);
    EXPECT_EQ(ram, Bytes(kC64RamBytes, 0x42));

    // A damaged module after the memory only ends the table.
    Bytes trailing = Header("C64");
    AppendModule(trailing, "C64MEM", memory);
    AppendModuleClaiming(trailing, "SID", 0xFFFFFFF0u, Bytes(8, 0));
    EXPECT_EQ(Facts(trailing).problem, SnapshotProblem::None);
}

// The video bank from the CIA 2 module: port A's low bits select bank 3 - value, and a bit
// that the data direction register does not drive reads as 1.
TEST(ParseSnapshot, VideoBankFromCia2)
{
    const struct
    {
        std::uint8_t portA, direction;
        int bank;
    } banks[] = {
        {0x97, 0x3F, 0}, {0x96, 0x3F, 1}, {0x95, 0x3F, 2},
        {0x94, 0x3F, 3}, {0x00, 0x00, 0},                  // nothing driven: both lines read 1
        {0x02, 0x03, 1}, {0xC5, 0x3F, 2}, {0x00, 0x01, 1}, // bit 1 undriven reads 1
    };
    for (const auto& b : banks)
    {
        EXPECT_EQ(VideoBankFromCia2(b.portA, b.direction), b.bank) << int(b.portA) << " " << int(b.direction);
        Bytes file = Snapshot(PatternRam());
        Bytes cia(20, 0);
        cia[0] = b.portA;
        cia[2] = b.direction;
        AppendModule(file, "CIA2", cia);
        EXPECT_EQ(Facts(file).videoBank, b.bank);
        EXPECT_EQ(SnapshotVideoBank(file.data(), file.size()), b.bank);
    }
    const Bytes without = Snapshot(PatternRam());
    EXPECT_EQ(Facts(without).videoBank, -1); // unknown
    Bytes tooShort = without;
    AppendModule(tooShort, "CIA2", Bytes(2, 0));
    EXPECT_EQ(Facts(tooShort).videoBank, -1);
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

    // A C128 snapshot is refused for its machine.
    const Bytes before = ram;
    EXPECT_EQ(ReadSnapshotRam(RealSnapshot("c128-rhps-norom.vsf").u8string().c_str(), ram.data()),
              SnapshotStatus::Invalid);
    EXPECT_EQ(ram, before);
    SnapshotFacts facts;
    FileResult why;
    EXPECT_EQ(ReadSnapshot(RealSnapshot("c128-rhps-norom.vsf").u8string().c_str(), ram.data(), &facts, &why),
              SnapshotStatus::Invalid);
    EXPECT_EQ(facts.problem, SnapshotProblem::OtherMachine);
    EXPECT_EQ(SnapshotProblemText(facts), "this is a snapshot of a C128");
    EXPECT_EQ(why.error, FileError::Invalid);
}

// The video bank each real snapshot's video chip was showing, read from its CIA2 module
// (port A, data direction A): rambo2 $96/$3F and frogger $02/$03 show $4000, hobbit
// $C5/$3F shows $8000, the SEUCK game $C0/$3F and super-mario $94/$3F show $C000.
TEST(Snapshot, RealSnapshotsVideoBanks)
{
    if (!std::filesystem::exists(RealSnapshot("c64-rambo2-norom.vsf"))) GTEST_SKIP() << "no real snapshots";
    const struct
    {
        const char* file;
        const char* machine;
        int bank;
    } snapshots[] = {{"c64-rambo2-norom.vsf", "C64", 1},
                     {"c64_frogger.vsf", "C64SC", 1},
                     {"c64_the_hobbit.vsf", "C64SC", 2},
                     {"vchar64_seuck_game.vsf", "C64", 3},
                     {"vchar64_super-mario-vice3.6.vsf", "C64", 3}};
    Bytes ram(kC64RamBytes);
    for (const auto& s : snapshots)
    {
        SnapshotFacts facts;
        FileResult why;
        ASSERT_EQ(ReadSnapshot(RealSnapshot(s.file).u8string().c_str(), ram.data(), &facts, &why),
                  SnapshotStatus::Ok)
            << s.file;
        EXPECT_EQ(facts.videoBank, s.bank) << s.file;
        EXPECT_EQ(facts.machine, s.machine) << s.file;
        EXPECT_EQ(why.error, FileError::None);
        const Bytes file = ReadAll(RealSnapshot(s.file));
        EXPECT_EQ(SnapshotVideoBank(file.data(), file.size()), s.bank) << s.file;
    }
}
#endif
