// Saving and loading: a 256-sprite project, the SEUCK sprite file and a PRG export,
// each written and read back in a temporary folder, next to std::fwrite and
// std::fread of the very same bytes.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

#include "bench/BenchSupport.h"
#include "core/FileIO.h"
#include "core/SpriteBankStore.h"

using namespace kelmora;
namespace fs = std::filesystem;

namespace bench
{

namespace
{

enum class Format
{
    Project,
    Seuck,
    Prg,
};

// A fresh folder for one benchmark, removed with everything in it afterwards.
class TempFolder
{
  public:
    TempFolder()
    {
        std::string pattern = (fs::temp_directory_path() / "kelmora-bench-XXXXXX").string();
        if (mkdtemp(pattern.data()) != nullptr) m_path = pattern;
    }
    ~TempFolder()
    {
        std::error_code ignored;
        if (!m_path.empty()) fs::remove_all(m_path, ignored);
    }
    bool ok() const { return !m_path.empty(); }
    std::string file(const char* name) const { return (m_path / name).string(); }

  private:
    fs::path m_path;
};

struct Banks
{
    std::vector<u8> block = std::vector<u8>(kBlockBytes);
    std::vector<u8> loadedBlock = std::vector<u8>(kBlockBytes);
    SpriteBank bank{};
    SpriteBank loaded{};

    explicit Banks(Format format)
    {
        FillSampleBank(block.data());
        // A SEUCK file holds 127 sprites, the others all 256.
        bank.spriteCount = format == Format::Seuck ? kSeuckSprites : kSlotCount;
        bank.colourTransp = 11;
        bank.colourMulti1 = 0;
        bank.colourSprite = 5;
        bank.colourMulti2 = 1;
        bank.sprites = block.data();
        loaded = bank;
        loaded.sprites = loadedBlock.data();
    }
};

bool Save(const Banks& banks, Format format, const char* path)
{
    switch (format)
    {
    case Format::Project:
        return SaveProject(&banks.bank, path) == 1;
    case Format::Seuck:
        return SaveSeuckFile(&banks.bank, path) == 1;
    case Format::Prg:
        return ExportSprites(&banks.bank, path, kSlotCount, 0x2000, kExportNative) == 1;
    }
    return false;
}

bool Load(Banks& banks, Format format, const char* path)
{
    switch (format)
    {
    case Format::Project:
        return LoadProject(&banks.loaded, path) == 1;
    case Format::Seuck:
        return ImportSprites(&banks.loaded, path, kFileAuto, kAttrSeuck) == 1;
    case Format::Prg:
        return ImportSprites(&banks.loaded, path, kFilePrg, kAttrKeep) == 1;
    }
    return false;
}

// Writes bytes to path with fwrite and reads them back with fread. With safely set they
// are written as a safe replace at its plainest: a new file, flushed to the disk with
// fsync, then renamed over path.
bool PlainWriteAndRead(const std::vector<std::uint8_t>& bytes, std::vector<std::uint8_t>& back,
                       const std::string& path, const std::string& temp, bool safely)
{
    std::FILE* out = std::fopen(safely ? temp.c_str() : path.c_str(), "wb");
    if (!out) return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    if (safely) ok = std::fflush(out) == 0 && fsync(fileno(out)) == 0 && ok;
    ok = std::fclose(out) == 0 && ok;
    if (safely) ok = std::rename(temp.c_str(), path.c_str()) == 0 && ok;
    std::FILE* in = std::fopen(path.c_str(), "rb");
    if (!in) return false;
    ok = std::fread(back.data(), 1, back.size(), in) == back.size() && ok;
    std::fclose(in);
    return ok;
}

// Each iteration saves and loads through the store, and writes and reads the same bytes
// plainly and plainly-but-safely, each into its own file, in a rotating order. Paired
// like this, all three meet the same state of a shared disk, whose flush times swing
// widely from minute to minute. The store's time is the benchmark's; the references
// are the counters fwrite_ns and fsync_ns.
void SaveAndLoad(benchmark::State& state, Format format)
{
    TempFolder folder;
    Banks banks(format);
    const std::string path = folder.file("sprites.bin");
    const std::string plain = folder.file("plain.bin");
    const std::string safe = folder.file("safe.bin");
    const std::string temp = folder.file("safe.tmp");
    std::vector<std::uint8_t> bytes;
    if (!folder.ok() || !Save(banks, format, path.c_str()) ||
        ReadWholeFile(path.c_str(), 1 << 20, bytes) != ReadStatus::Ok)
    {
        state.SkipWithError("could not make the sample file");
        return;
    }
    std::vector<std::uint8_t> back(bytes.size());
    bool ok = true;
    double seconds[3] = {0, 0, 0};
    std::int64_t round = 0;
    for (auto _ : state)
    {
        double figure = 0;
        for (int k = 0; k < 3; ++k)
        {
            const int which = static_cast<int>((round + k) % 3);
            const auto start = std::chrono::steady_clock::now();
            if (which == 0)
                ok = Save(banks, format, path.c_str()) && Load(banks, format, path.c_str()) && ok;
            else
                ok = PlainWriteAndRead(bytes, back, which == 1 ? plain : safe, temp, which == 2) && ok;
            const double elapsed =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            seconds[which] += elapsed;
            if (which == 0) figure = elapsed;
        }
        ++round;
        benchmark::DoNotOptimize(banks.loadedBlock.data());
        benchmark::DoNotOptimize(back.data());
        benchmark::ClobberMemory();
        state.SetIterationTime(figure);
    }
    if (!ok)
    {
        state.SkipWithError("a save, load, write or read failed");
        return;
    }
    const double perIteration = 1e9 / static_cast<double>(state.iterations());
    state.counters["fwrite_ns"] = seconds[1] * perIteration;
    state.counters["fsync_ns"] = seconds[2] * perIteration;
}

} // namespace

void RegisterFileBenchmarks()
{
    struct Case
    {
        Format format;
        const char* label;
        const char* name;
    };
    const Case cases[] = {
        {Format::Project, "Save + load of a 256-sprite project", "Files/project"},
        {Format::Seuck, "Save + load of a SEUCK sprite file (127 sprites)", "Files/seuck"},
        {Format::Prg, "PRG export of 256 sprites + import", "Files/prg"},
    };
    for (const Case& c : cases)
    {
        Row row = TimeRow(c.label, c.name, "", 0, 2, 1, true);
        row.referenceNsCounter = "fwrite_ns";
        Rows().push_back(row);
        // Not a target: how far the save is from the plainest safe replace of the same bytes.
        Row safe = TimeRow("  the same against fwrite + fsync + rename", c.name, "", 0, 0, 1, true);
        safe.referenceNsCounter = "fsync_ns";
        Rows().push_back(safe);
        benchmark::RegisterBenchmark(c.name, SaveAndLoad, c.format)
            ->UseManualTime()
            ->Unit(benchmark::kMicrosecond);
    }
}

} // namespace bench
