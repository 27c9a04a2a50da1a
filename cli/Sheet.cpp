// The palettes of sheets and picture imports.
#include "cli/Sheet.h"

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <ostream>
#include <system_error>

#include "cli/Files.h"
#include "cli/Outputs.h"
#include "cli/Run.h"
#include "cli/Text.h"

namespace kelmora::cli
{

namespace fs = std::filesystem;

namespace
{

bool SameIgnoringCase(const std::string& a, const std::string& b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::string Environment(const char* name)
{
    const char* value = std::getenv(name);
    return value == nullptr ? std::string() : std::string(value);
}

} // namespace

std::vector<std::string> PaletteFileCandidates(const std::string& programDir)
{
    std::vector<std::string> candidates;
    const auto add = [&](const fs::path& folder)
    { candidates.push_back((folder / "palettes.pal").u8string()); };
    if (!programDir.empty()) add(fs::u8path(programDir));

    std::string dataHome = Environment("XDG_DATA_HOME");
    if (dataHome.empty() && !Environment("HOME").empty()) dataHome = Environment("HOME") + "/.local/share";
    if (!dataHome.empty()) add(fs::u8path(dataHome) / "kelmora");

    std::string dataDirs = Environment("XDG_DATA_DIRS");
    if (dataDirs.empty()) dataDirs = "/usr/local/share:/usr/share";
    std::size_t start = 0;
    while (start <= dataDirs.size())
    {
        const std::size_t colon = dataDirs.find(':', start);
        const std::string dir =
            dataDirs.substr(start, colon == std::string::npos ? std::string::npos : colon - start);
        if (!dir.empty()) add(fs::u8path(dir) / "kelmora");
        if (colon == std::string::npos) break;
        start = colon + 1;
    }
    return candidates;
}

std::string FindPaletteFile(const std::string& programDir)
{
    for (const std::string& candidate : PaletteFileCandidates(programDir))
    {
        std::error_code ec;
        if (fs::is_regular_file(fs::u8path(candidate), ec)) return candidate;
    }
    return {};
}

bool ChoosePalette(const std::string& name, const std::vector<kelmora::NamedPalette>& loaded,
                   kelmora::NamedPalette& chosen)
{
    const std::vector<kelmora::NamedPalette> all = KnownPalettes(loaded);
    const int index = PaletteIndex(name, all);
    if (index < 0) return false;
    chosen = all[static_cast<std::size_t>(index)];
    return true;
}

int PaletteIndex(const std::string& name, const std::vector<kelmora::NamedPalette>& palettes)
{
    for (std::size_t i = 0; i < palettes.size(); ++i)
        if (palettes[i].name == name) return static_cast<int>(i);
    for (std::size_t i = 0; i < palettes.size(); ++i)
        if (SameIgnoringCase(palettes[i].name, name)) return static_cast<int>(i);
    return -1;
}

std::vector<kelmora::NamedPalette> KnownPalettes(const std::vector<kelmora::NamedPalette>& loaded)
{
    std::vector<kelmora::NamedPalette> all(1);
    all[0].name = kelmora::kBuiltInPaletteName;
    for (int i = 0; i < kelmora::kPaletteColours; ++i)
        all[0].colours[i] = kelmora::kBuiltInPalette[i];
    all.insert(all.end(), loaded.begin(), loaded.end());
    return all;
}

bool LoadPalettes(const std::string& paletteFile, const std::string& programDir,
                  std::vector<kelmora::NamedPalette>& loaded, std::string& file, std::string& reason,
                  kelmora::PaletteReadNotes& notes)
{
    std::vector<kelmora::NamedPalette> palettes(kelmora::kMaxLoadedPalettes);
    int kept = 0;
    file = paletteFile;
    kelmora::FileResult why;
    notes = kelmora::PaletteReadNotes{};
    if (!file.empty())
    {
        kept =
            kelmora::ReadPalettes(file.c_str(), palettes.data(), kelmora::kMaxLoadedPalettes, &why, &notes);
        if (kept < 0)
        {
            reason = why.error == kelmora::FileError::Empty ? "is empty" : ReadFailureText(why);
            return false;
        }
        if (kept == 0)
        {
            reason = "holds no complete palette";
            return false;
        }
    }
    else
    {
        file = FindPaletteFile(programDir);
        if (!file.empty())
            kept = kelmora::ReadPalettes(file.c_str(), palettes.data(), kelmora::kMaxLoadedPalettes, &why,
                                         &notes);
    }
    palettes.resize(kept > 0 ? static_cast<std::size_t>(kept) : 0);
    loaded = std::move(palettes);
    return true;
}

int OutputPalette(const Options& o, const std::string& programDir, kelmora::NamedPalette& chosen,
                  std::ostream& err)
{
    // --palette-file must be readable; the file found on its own is used when it can be
    // read, as the editor does at start-up.
    std::vector<kelmora::NamedPalette> palettes;
    std::string paletteFile, reason;
    kelmora::PaletteReadNotes notes;
    if (!LoadPalettes(o.paletteFile, programDir, palettes, paletteFile, reason, notes))
        return Refuse(err, paletteFile, reason);
    for (const std::string& warning : kelmora::SkippedPaletteWarnings(notes))
        Warn(err, paletteFile, warning);

    if (o.palette.empty())
    {
        ChoosePalette(o.paletteFile.empty() ? kelmora::kBuiltInPaletteName : palettes[0].name, palettes,
                      chosen);
        return kExitOk;
    }
    if (ChoosePalette(o.palette, palettes, chosen)) return kExitOk;
    std::string names = std::string("\"") + kelmora::kBuiltInPaletteName + "\"";
    for (const kelmora::NamedPalette& palette : palettes)
        names += ", \"" + Shown(palette.name) + "\"";
    return UsageError(err, o.command,
                      "--palette: no palette named \"" + Shown(o.palette) + "\" (there are " + names + ")");
}

} // namespace kelmora::cli
