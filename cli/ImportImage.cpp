// kelmora-cli import-image.
#include "cli/ImportImage.h"

#include <cstdio>
#include <ostream>

#include "cli/Extras.h"
#include "cli/Files.h"
#include "cli/Outputs.h"
#include "cli/Pictures.h"
#include "cli/Run.h"
#include "cli/Sheet.h"
#include "cli/Text.h"
#include "core/SpriteBankStore.h"

namespace kelmora::cli
{

namespace
{

const char* KindName(kelmora::ViolationKind kind)
{
    switch (kind)
    {
    case kelmora::ViolationKind::ExtraColour:
        return "extra-colour";
    case kelmora::ViolationKind::SplitPair:
        return "split-pair";
    case kelmora::ViolationKind::MixedBlock:
        return "mixed-block";
    }
    return "";
}

std::string Plural(int n, const char* one, const char* many)
{
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

// "5 pixels in 2 cells ... (cells 3, 7)", at most ten cells named.
std::string ViolationSummary(const kelmora::ImageImportResult& result)
{
    std::string cells;
    int named = 0, violating = 0;
    for (std::size_t i = 0; i < result.cells.size(); ++i)
    {
        if (result.cells[i].violations.empty()) continue;
        ++violating;
        if (named < 10)
            cells += (named == 0 ? "" : ", ") + std::to_string(i);
        else if (named == 10)
            cells += ", ...";
        ++named;
    }
    return Plural(result.violations, "pixel", "pixels") + " in " + Plural(violating, "cell", "cells") +
           " could not be shown exactly (" + (violating == 1 ? "cell " : "cells ") + cells + ")";
}

} // namespace

std::string ImportReportJson(const std::string& picture, const std::vector<kelmora::RgbaImage>& frames,
                             const std::string& paletteName, const kelmora::ImageImportResult& result)
{
    char number[32];
    std::snprintf(number, sizeof number, "%.6g", result.meanError);
    std::string j = "{\n";
    j += "  \"format\": \"kelmora-import-report\",\n  \"version\": 1,\n";
    j += "  \"picture\": " + JsonString(picture) + ",\n";
    j += "  \"frames\": " + std::to_string(frames.size()) + ",\n";
    j += "  \"width\": " + std::to_string(frames.empty() ? 0 : frames[0].width) + ",\n";
    j += "  \"height\": " + std::to_string(frames.empty() ? 0 : frames[0].height) + ",\n";
    j += "  \"scale\": " + std::to_string(result.scale) + ",\n";
    j += "  \"columns\": " + std::to_string(result.columns) + ",\n";
    j += "  \"rows\": " + std::to_string(result.rows) + ",\n";
    j += "  \"palette\": " + JsonString(paletteName) + ",\n";
    j += "  \"meanError\": " + std::string(number) + ",\n";
    j += "  \"colours\": {\"background\": " + std::to_string(result.background) +
         ", \"multicolour1\": " + std::to_string(result.multi1) +
         ", \"multicolour2\": " + std::to_string(result.multi2) + "},\n";
    j += "  \"sprites\": " + std::to_string(result.spriteCount) + ",\n";
    j += "  \"fillerCells\": " + std::to_string(result.fillerCells) + ",\n";
    j += "  \"cellsLeftOut\": " + std::to_string(result.cellsLeftOut) + ",\n";
    j += "  \"violations\": " + std::to_string(result.violations) + ",\n";
    j += "  \"cells\": [";
    for (std::size_t i = 0; i < result.cells.size(); ++i)
    {
        const kelmora::ImportedCell& c = result.cells[i];
        j += i == 0 ? "\n" : ",\n";
        j += "    {\"index\": " + std::to_string(i) + ", \"frame\": " + std::to_string(c.frame) +
             ", \"x\": " + std::to_string(c.x) + ", \"y\": " + std::to_string(c.y) +
             ", \"slot\": " + (c.slot < 0 ? std::string("null") : std::to_string(c.slot));
        j += std::string(", \"mode\": \"") + (c.multicolour ? "multicolour" : "hires") + "\"";
        j += ", \"colour\": " + std::to_string(c.colour);
        j += std::string(", \"blank\": ") + (c.blank ? "true" : "false");
        j += std::string(", \"overlay\": ") + (c.overlay ? "true" : "false");
        j += ", \"overlayColour\": " + (c.overlay ? std::to_string(c.overlayColour) : std::string("null"));
        j += std::string(", \"partOfPair\": ") + (c.partOfPair ? "true" : "false");
        j += ", \"ambiguous\": [";
        if (c.ambiguous & kelmora::kAmbiguousMode) j += "\"mode\"";
        if (c.ambiguous & kelmora::kAmbiguousColour)
            j += std::string((c.ambiguous & kelmora::kAmbiguousMode) ? ", " : "") + "\"colour\"";
        j += "], \"violations\": [";
        for (std::size_t v = 0; v < c.violations.size(); ++v)
            j += std::string(v == 0 ? "" : ", ") + "{\"kind\": \"" + KindName(c.violations[v].kind) +
                 "\", \"x\": " + std::to_string(c.violations[v].x) +
                 ", \"y\": " + std::to_string(c.violations[v].y) + "}";
        j += "]}";
    }
    j += result.cells.empty() ? "]\n}\n" : "\n  ]\n}\n";
    return j;
}

int ImportImageCommand(const Options& o, const std::string& programDir, std::ostream& err)
{
    const std::string& image = o.files[0];
    const std::string& path = o.files[1];
    if (!PictureSupport()) return Refuse(err, image, kNoPictureSupport);

    std::vector<kelmora::NamedPalette> loaded;
    std::string paletteFile, reason;
    kelmora::PaletteReadNotes notes;
    if (!LoadPalettes(o.paletteFile, programDir, loaded, paletteFile, reason, notes))
        return Refuse(err, paletteFile, reason);
    for (const std::string& warning : kelmora::SkippedPaletteWarnings(notes))
        Warn(err, paletteFile, warning);
    const std::vector<kelmora::NamedPalette> palettes = KnownPalettes(loaded);

    kelmora::ImageImportSettings settings;
    if (!o.palette.empty())
    {
        settings.palette = PaletteIndex(o.palette, palettes);
        if (settings.palette < 0)
        {
            std::string names;
            for (const kelmora::NamedPalette& palette : palettes)
                names += (names.empty() ? "\"" : ", \"") + Shown(palette.name) + "\"";
            err << kProgramName << ": --palette: no palette named \"" << Shown(o.palette) << "\" (there are "
                << names << ")\n";
            err << "Try '" << kProgramName << " import-image --help' for more information.\n";
            return kExitUsage;
        }
    }

    std::vector<kelmora::RgbaImage> frames;
    if (!ReadPicture(image, frames, reason)) return Refuse(err, image, reason);

    settings.scale = o.scale;
    settings.offsetX = o.offsetX;
    settings.offsetY = o.offsetY;
    settings.gapX = o.gapX;
    settings.gapY = o.gapY;
    settings.columns = o.columns;
    settings.count = o.count;
    settings.mode = o.mode;
    settings.background = o.background;
    settings.multi1 = o.multi1;
    settings.multi2 = o.multi2;
    settings.overlay = o.overlay;
    const kelmora::ImageImportResult result = kelmora::ImportImage(frames, palettes, settings);
    switch (result.status)
    {
    case kelmora::ImportStatus::Ok:
        break;
    case kelmora::ImportStatus::NoCells:
        return Refuse(err, image,
                      "holds no whole cell: a cell is 24 x 21 pixels times the scale (" +
                          std::to_string(result.scale) + "), from the offset " + std::to_string(o.offsetX) +
                          "," + std::to_string(o.offsetY) + ", and the picture is " +
                          std::to_string(frames[0].width) + " x " + std::to_string(frames[0].height));
    case kelmora::ImportStatus::NoPicture:
        return Refuse(err, image, "holds no picture");
    case kelmora::ImportStatus::BadSettings:
        return Refuse(err, image, "cannot be imported with these settings");
    }
    if (result.spriteCount == 0)
        return Refuse(err, image, "holds no sprite, only the empty cells of a sheet");
    if (result.cellsLeftOut > 0)
    {
        int pairs = 0;
        for (const kelmora::ImportedCell& cell : result.cells)
            pairs += cell.overlay && !cell.partOfPair ? 1 : 0;
        return Refuse(err, image,
                      "holds more sprites than the 256 a bank has room for (" +
                          Plural(static_cast<int>(result.cells.size()), "cell", "cells") +
                          (pairs > 0 ? ", " + Plural(pairs, "overlay pair", "overlay pairs") +
                                           " of two sprites before the " +
                                           Plural(result.cellsLeftOut, "cell", "cells") + " left out"
                                     : std::string()) +
                          "); take fewer with --count");
    }
    if (o.to == Format::Seuck && result.spriteCount > kelmora::kSeuckSprites)
        return Refuse(err, image,
                      "SEUCK sprite files cannot exceed 127 sprites, and this takes " +
                          std::to_string(result.spriteCount) + " (choose fewer with --count)");

    const std::string& paletteName = palettes[static_cast<std::size_t>(result.palette)].name;
    const std::string report =
        o.report.empty() ? std::string() : ImportReportJson(o.files[0], frames, paletteName, result);
    if (o.strict && result.violations > 0)
    {
        if (!o.report.empty())
            if (const int code = WriteOut(o, {Output(o.report, report.data(), report.size())}, err))
                return code;
        return Refuse(err, image, ViolationSummary(result) + "; nothing was written (--strict)");
    }

    LoadedBank out;
    kelmora::PlaceImportedSprites(result, out.block.data(), 0);
    out.bank.spriteCount = result.spriteCount;
    out.bank.colourTransp = static_cast<kelmora::u8>(result.background);
    out.bank.colourMulti1 = static_cast<kelmora::u8>(result.multi1);
    out.bank.colourMulti2 = static_cast<kelmora::u8>(result.multi2);
    const std::vector<std::uint8_t> bytes = EncodeSprites(out.bank, o.to, o.toAttr, o.loadAddress);
    if (bytes.empty()) return Refuse(err, image, "holds no sprite to write");
    const std::string colours{static_cast<char>(out.bank.colourTransp),
                              static_cast<char>(out.bank.colourMulti1),
                              static_cast<char>(out.bank.colourMulti2)};
    // The sprites, their colours and the report are written together or not at all. An
    // old NAME.kmd.json beside a project output is emptied with it: its sequences and
    // objects described other sprites.
    SideFilePlan extras;
    if (!PlanSideFile(o, false, extras, err)) return kExitRefused;
    const std::string sidePath = path + ".inf";
    const bool side = o.to == Format::Raw && !o.noInf;
    std::vector<kelmora::OutputFile> files{Output(path, bytes.data(), bytes.size())};
    if (side) files.push_back(Output(sidePath, colours.data(), colours.size()));
    if (extras.write) files.push_back(Output(extras.path, extras.bytes));
    if (!o.report.empty()) files.push_back(Output(o.report, report.data(), report.size()));
    if (const int code = WriteOut(o, files, err)) return code;
    if (!side && o.to == Format::Raw && PathTaken(sidePath))
        err << kProgramName << ": warning: " << Shown(sidePath)
            << " is left as it was; the editor reads its colours with " << Shown(path) << "\n";

    if (result.violations > 0)
        err << kProgramName << ": warning: " << image << ": " << ViolationSummary(result)
            << " and took the nearest colour their sprite can show"
            << (o.report.empty() ? " (--report FILE lists them)" : "") << "\n";
    return kExitOk;
}

} // namespace kelmora::cli
