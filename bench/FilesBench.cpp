// Saving and loading: a 256-sprite project, the SEUCK sprite file and a PRG export,
// each written and read back in a temporary folder, next to std::fwrite and
// std::fread of the very same bytes.
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

void SaveAndLoad(benchmark::State& state, Format format)
{
    TempFolder folder;
    Banks banks(format);
    const std::string path = folder.file("sprites.bin");
    bool ok = folder.ok();
    for (auto _ : state)
    {
        ok = Save(banks, format, path.c_str()) && ok;
        ok = Load(banks, format, path.c_str()) && ok;
        benchmark::DoNotOptimize(banks.loadedBlock.data());
        benchmark::ClobberMemory();
    }
    if (!ok) state.SkipWithError("a save or load failed");
}

// The bytes the format's writer produces, written with fwrite and read with fread.
// With safely set, they are written as a safe replace at its plainest: a new file,
// flushed to the disk with fsync, then renamed over the target.
void PlainWriteAndRead(benchmark::State& state, Format format, bool safely)
{
    TempFolder folder;
    Banks banks(format);
    const std::string path = folder.file("sprites.bin");
    std::vector<std::uint8_t> bytes;
    if (!folder.ok() || !Save(banks, format, path.c_str()) ||
        ReadWholeFile(path.c_str(), 1 << 20, bytes) != ReadStatus::Ok)
    {
        state.SkipWithError("could not make the sample file");
        return;
    }
    std::vector<std::uint8_t> back(bytes.size());
    bool ok = true;
    const std::string temp = folder.file("sprites.tmp");
    for (auto _ : state)
    {
        std::FILE* out = std::fopen(safely ? temp.c_str() : path.c_str(), "wb");
        ok = out && std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size() && ok;
        if (safely) ok = out && std::fflush(out) == 0 && fsync(fileno(out)) == 0 && ok;
        ok = out && std::fclose(out) == 0 && ok;
        if (safely) ok = std::rename(temp.c_str(), path.c_str()) == 0 && ok;
        std::FILE* in = std::fopen(path.c_str(), "rb");
        ok = in && std::fread(back.data(), 1, back.size(), in) == back.size() && ok;
        if (in) std::fclose(in);
        benchmark::DoNotOptimize(back.data());
        benchmark::ClobberMemory();
    }
    if (!ok) state.SkipWithError("fwrite or fread failed");
}

} // namespace

void RegisterFileBenchmarks()
{
    struct Case
    {
        Format format;
        const char* label;
        const char* figure;
        const char* reference;
    };
    const Case cases[] = {
        {Format::Project, "Save + load of a 256-sprite project", "Files/project", "Files/project_fwrite"},
        {Format::Seuck, "Save + load of a SEUCK sprite file (127 sprites)", "Files/seuck",
         "Files/seuck_fwrite"},
        {Format::Prg, "PRG export of 256 sprites + import", "Files/prg", "Files/prg_fwrite"},
    };
    for (const Case& c : cases)
    {
        Rows().push_back(TimeRow(c.label, c.figure, c.reference, 0, 2, 1, true));
        benchmark::RegisterBenchmark(c.figure, SaveAndLoad, c.format);
        benchmark::RegisterBenchmark(c.reference, PlainWriteAndRead, c.format, false);
    }
    // Not a target: how far the project's save is from the plainest safe replace.
    Rows().push_back(TimeRow("  the same project against fwrite + fsync + rename", "Files/project",
                             "Files/project_fsync", 0, 0, 1, true));
    benchmark::RegisterBenchmark("Files/project_fsync", PlainWriteAndRead, Format::Project, true);
}

} // namespace bench
