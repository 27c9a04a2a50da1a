// kelmora-cli's commands.
#include "cli/Run.h"

#include <cstdio>
#include <exception>
#include <filesystem>
#include <new>
#include <ostream>
#include <system_error>

#include "cli/Args.h"
#include "cli/Extras.h"
#include "cli/Files.h"
#include "cli/Gif.h"
#include "cli/Help.h"
#include "cli/Listing.h"
#include "cli/Png.h"
#include "cli/Sheet.h"
#include "core/SpriteBankStore.h"

namespace kelmora::cli
{

namespace fs = std::filesystem;
using kelmora::u8;

namespace
{

int Refuse(std::ostream& err, const std::string& file, const std::string& reason)
{
    err << kProgramName << ": " << file << ": " << reason << "\n";
    return kExitRefused;
}

int UsageError(std::ostream& err, Command command, const std::string& message)
{
    err << kProgramName << ": " << message << "\n";
    err << "Try '" << kProgramName
        << (command == Command::None ? "" : std::string(" ") + CommandName(command))
        << " --help' for more information.\n";
    return kExitUsage;
}

bool LoadInput(const Options& o, LoadedBank& loaded, std::ostream& err)
{
    std::string reason;
    if (ReadSprites(o.files[0], o.from, o.fromAttr, loaded, reason)) return true;
    Refuse(err, o.files[0], reason);
    return false;
}

// The run of sprites a command works on: --range, or every sprite in use.
bool SpritesToUse(const Options& o, const LoadedBank& loaded, int& first, int& last, std::ostream& err)
{
    const int count = loaded.bank.spriteCount;
    if (count < 1)
    {
        Refuse(err, o.files[0], "holds no whole sprite");
        return false;
    }
    first = 0;
    last = count - 1;
    if (!o.range.given) return true;
    if (o.range.last >= count)
    {
        Refuse(err, o.files[0],
               "holds " + std::to_string(count) + (count == 1 ? " sprite" : " sprites") + " (0-" +
                   std::to_string(count - 1) + "), so it has no sprites " + std::to_string(o.range.first) +
                   "-" + std::to_string(o.range.last));
        return false;
    }
    first = o.range.first;
    last = o.range.last;
    return true;
}

bool RefuseIfTaken(const Options& o, const std::string& path, std::ostream& err)
{
    if (o.force || !PathTaken(path)) return false;
    Refuse(err, path, "already exists (use --force to replace it)");
    return true;
}

// Writes source's sprites in use to the output of convert or rip, with the raw
// data's colour side file when the sprites came with colours.
int WriteBankOut(const Options& o, const LoadedBank& source, const std::string& fewerHint, std::ostream& err)
{
    const std::string& path = o.files[1];
    const int count = source.bank.spriteCount;
    if (o.to == Format::Seuck && count > kelmora::kSeuckSprites)
        return Refuse(err, o.files[0],
                      "SEUCK sprite files cannot exceed 127 sprites, and this takes " +
                          std::to_string(count) + " (choose fewer with " + fewerHint + ")");

    const std::string sidePath = path + ".inf";
    const bool side = o.to == Format::Raw && source.hasColours && !o.noInf;
    if (RefuseIfTaken(o, path, err)) return kExitRefused;
    if (side && RefuseIfTaken(o, sidePath, err)) return kExitRefused;

    std::string reason;
    if (!WriteSprites(source.bank, path, o.to, o.toAttr, o.loadAddress, reason))
        return Refuse(err, path, reason);
    if (side)
    {
        const std::vector<std::uint8_t> colours{source.bank.colourTransp, source.bank.colourMulti1,
                                                source.bank.colourMulti2};
        if (!WriteBytes(sidePath, colours)) return Refuse(err, sidePath, WriteProblem(sidePath));
    }
    else if (o.to == Format::Raw && PathTaken(sidePath))
    {
        err << kProgramName << ": warning: " << sidePath
            << " is left as it was; the editor reads its colours with " << path << "\n";
    }
    return kExitOk;
}

const char* ModeName(const u8* block, int index)
{
    return kelmora::IsMulticolour(block, index) == 1 ? "multicolour" : "hires";
}

std::string FormatLine(const LoadedBank& loaded)
{
    std::string text = FormatName(loaded.format);
    if (loaded.autoDetected) text += " (detected from the size)";
    return text;
}

int Info(const Options& o, std::ostream& out, std::ostream& err)
{
    LoadedBank loaded;
    if (!LoadInput(o, loaded, err)) return kExitRefused;
    const kelmora::SpriteBank& bank = loaded.bank;
    const u8* block = bank.sprites;

    if (o.json)
    {
        out << "{\n";
        out << "  \"file\": " << JsonString(o.files[0]) << ",\n";
        out << "  \"format\": \"" << FormatName(loaded.format) << "\",\n";
        out << "  \"autoDetected\": " << (loaded.autoDetected ? "true" : "false") << ",\n";
        out << "  \"attributeLayout\": \"" << AttrLayoutName(o.fromAttr) << "\",\n";
        out << "  \"spriteCount\": " << bank.spriteCount << ",\n";
        if (loaded.hasColours)
            out << "  \"colours\": {\"background\": " << int(bank.colourTransp)
                << ", \"multicolour1\": " << int(bank.colourMulti1)
                << ", \"multicolour2\": " << int(bank.colourMulti2) << "},\n";
        else
            out << "  \"colours\": null,\n";
        out << "  \"extras\": " << (loaded.format == Format::Project ? ExtrasInfoJson(o.files[0]) : "null")
            << ",\n";
        out << "  \"sprites\": [";
        for (int i = 0; i < bank.spriteCount; ++i)
        {
            out << (i == 0 ? "\n" : ",\n");
            out << "    {\"index\": " << i << ", \"mode\": \"" << ModeName(block, i)
                << "\", \"colour\": " << kelmora::GetSpriteColour(block, i)
                << ", \"overlay\": " << (kelmora::IsOverlay(block, i) == 1 ? "true" : "false")
                << ", \"blank\": " << (kelmora::IsBlank(block, i) == 1 ? "true" : "false") << "}";
        }
        out << (bank.spriteCount > 0 ? "\n  ]\n" : "]\n") << "}\n";
        return kExitOk;
    }

    out << "File:     " << o.files[0] << "\n";
    out << "Format:   " << FormatLine(loaded) << "\n";
    if (loaded.format != Format::Project)
        out << "Layout:   " << AttrLayoutName(o.fromAttr) << " attribute bytes\n";
    out << "Sprites:  " << bank.spriteCount << "\n";
    if (loaded.hasColours)
        out << "Colours:  background " << int(bank.colourTransp) << ", multicolour 1 "
            << int(bank.colourMulti1) << ", multicolour 2 " << int(bank.colourMulti2) << "\n";
    else
        out << "Colours:  not stored in this file\n";
    if (loaded.format == Format::Project) out << ExtrasInfoText(o.files[0]);
    if (bank.spriteCount > 0) out << "\nSprite  Mode         Colour  Overlay  Blank\n";
    for (int i = 0; i < bank.spriteCount; ++i)
    {
        char line[80];
        std::snprintf(line, sizeof line, "%6d  %-11s  %6d  %-7s  %s\n", i, ModeName(block, i),
                      kelmora::GetSpriteColour(block, i), kelmora::IsOverlay(block, i) == 1 ? "yes" : "no",
                      kelmora::IsBlank(block, i) == 1 ? "yes" : "no");
        out << line;
    }
    return kExitOk;
}

int Convert(const Options& o, std::ostream& err)
{
    LoadedBank input;
    if (!LoadInput(o, input, err)) return kExitRefused;
    int first = 0, last = 0;
    if (!SpritesToUse(o, input, first, last, err)) return kExitRefused;
    SideFilePlan side; // a project's NAME.kmd.json goes with it
    if (!PlanSideFile(o, input.format == Format::Project, side, err)) return kExitRefused;
    if (!o.range.given) return WriteSideFile(WriteBankOut(o, input, "--range", err), side, err);
    LoadedBank taken;
    TakeRange(input, first, last, taken);
    return WriteSideFile(WriteBankOut(o, taken, "--range", err), side, err);
}

int Listing(const Options& o, std::ostream& err)
{
    LoadedBank input;
    if (!LoadInput(o, input, err)) return kExitRefused;
    int first = 0, last = 0;
    if (!SpritesToUse(o, input, first, last, err)) return kExitRefused;
    const std::string& path = o.files[1];
    if (RefuseIfTaken(o, path, err)) return kExitRefused;

    bool written = false;
    if (o.dialect == Dialect::Plain)
        written =
            kelmora::WriteTextListing(input.bank.sprites, first, last, path.c_str(), o.hex ? 1 : 0) == 1;
    else
    {
        const std::string text = FormatListing(input.bank.sprites, first, last, o.dialect, o.hex, o.label);
        written = WriteBytes(path, std::vector<std::uint8_t>(text.begin(), text.end()));
    }
    return written ? kExitOk : Refuse(err, path, WriteProblem(path));
}

int Rip(const Options& o, std::ostream& err)
{
    const std::string& path = o.files[0];
    std::vector<u8> ram(kelmora::kC64RamBytes);
    switch (kelmora::ReadSnapshotRam(path.c_str(), ram.data()))
    {
    case kelmora::SnapshotStatus::Ok:
        break;
    case kelmora::SnapshotStatus::CannotOpen:
    {
        const std::string problem = ReadProblem(path);
        return Refuse(err, path, problem.empty() ? "could not be read" : problem);
    }
    case kelmora::SnapshotStatus::Invalid:
        return Refuse(err, path, "Invalid VICE snapshot file (it holds no complete C64 memory)");
    }
    LoadedBank ripped;
    kelmora::CopyVideoBank(ram.data(), o.bank, ripped.block.data());
    ripped.bank.spriteCount = o.count;
    ripped.format = o.to;
    SideFilePlan side; // replaces an old NAME.kmd.json beside a project output
    if (!PlanSideFile(o, false, side, err)) return kExitRefused;
    return WriteSideFile(WriteBankOut(o, ripped, "--count", err), side, err);
}

int Sheet(const Options& o, const RunContext& context, std::ostream& err)
{
    LoadedBank input;
    if (!LoadInput(o, input, err)) return kExitRefused;
    int first = 0, last = 0;
    if (!SpritesToUse(o, input, first, last, err)) return kExitRefused;

    // The palettes: --palette-file must be readable; the file found on its own is
    // used when it can be read, as the editor does at start-up.
    std::vector<kelmora::NamedPalette> palettes(kelmora::kMaxLoadedPalettes);
    int kept = 0;
    std::string paletteFile = o.paletteFile;
    if (!paletteFile.empty())
    {
        kept = kelmora::ReadPalettes(paletteFile.c_str(), palettes.data(), kelmora::kMaxLoadedPalettes);
        if (kept < 0)
        {
            const std::string problem = ReadProblem(paletteFile);
            return Refuse(err, paletteFile, problem.empty() ? "is empty" : problem);
        }
        if (kept == 0) return Refuse(err, paletteFile, "holds no complete palette");
    }
    else
    {
        paletteFile = FindPaletteFile(context.programDir);
        if (!paletteFile.empty())
            kept = kelmora::ReadPalettes(paletteFile.c_str(), palettes.data(), kelmora::kMaxLoadedPalettes);
    }
    palettes.resize(kept > 0 ? static_cast<std::size_t>(kept) : 0);

    kelmora::NamedPalette chosen;
    if (o.palette.empty())
        ChoosePalette(o.paletteFile.empty() ? kelmora::kBuiltInPaletteName : palettes[0].name, palettes,
                      chosen);
    else if (!ChoosePalette(o.palette, palettes, chosen))
    {
        std::string names = std::string("\"") + kelmora::kBuiltInPaletteName + "\"";
        for (const kelmora::NamedPalette& palette : palettes)
            names += ", \"" + palette.name + "\"";
        return UsageError(err, o.command,
                          "--palette: no palette named \"" + o.palette + "\" (there are " + names + ")");
    }

    const SheetImage image = RenderSheet(input.bank, first, last, o.columns, o.scale, chosen.colours);
    const std::string& path = o.files[1];
    if (RefuseIfTaken(o, path, err)) return kExitRefused;
    bool written = false;
    if (o.image == ImageFormat::Bmp)
        written = kelmora::WriteBitmap32(path.c_str(), image.pixels.data(), image.width, image.height,
                                         image.width) == 1;
    else
    {
        const std::vector<std::uint8_t> png =
            EncodePng(image.pixels.data(), image.width, image.height, image.width);
        written = !png.empty() && WriteBytes(path, png);
    }
    return written ? kExitOk : Refuse(err, path, WriteProblem(path));
}

void AppendUtf8Escaped(std::string& out, unsigned code)
{
    char text[8];
    std::snprintf(text, sizeof text, "\\u%04x", code);
    out += text;
}

} // namespace

std::string JsonString(const std::string& text)
{
    std::string out = "\"";
    const std::size_t n = text.size();
    for (std::size_t i = 0; i < n;)
    {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '"' || c == '\\')
        {
            out += '\\';
            out += static_cast<char>(c);
            ++i;
        }
        else if (c < 0x20 || c == 0x7F)
        {
            if (c == '\n')
                out += "\\n";
            else if (c == '\t')
                out += "\\t";
            else if (c == '\r')
                out += "\\r";
            else
                AppendUtf8Escaped(out, c);
            ++i;
        }
        else if (c < 0x80)
        {
            out += static_cast<char>(c);
            ++i;
        }
        else
        {
            // A well-formed UTF-8 sequence is copied; anything else becomes U+FFFD.
            const int length = c >= 0xF0 && c <= 0xF4 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 && c <= 0xDF ? 2 : 0;
            bool valid = length > 0 && i + static_cast<std::size_t>(length) <= n;
            unsigned code = length == 4 ? c & 0x07u : length == 3 ? c & 0x0Fu : c & 0x1Fu;
            for (int k = 1; valid && k < length; ++k)
            {
                const unsigned char next = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
                if ((next & 0xC0) != 0x80) valid = false;
                code = (code << 6) | (next & 0x3Fu);
            }
            if (valid && ((length == 3 && (code < 0x800 || (code >= 0xD800 && code <= 0xDFFF))) ||
                          (length == 4 && (code < 0x10000 || code > 0x10FFFF))))
                valid = false;
            if (valid)
            {
                out.append(text, i, static_cast<std::size_t>(length));
                i += static_cast<std::size_t>(length);
            }
            else
            {
                AppendUtf8Escaped(out, 0xFFFD);
                ++i;
            }
        }
    }
    out += '"';
    return out;
}

std::string ProgramDir(const char* argv0)
{
    std::error_code ec;
#ifdef __linux__
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    if (!ec && !self.empty()) return self.parent_path().u8string();
#endif
    if (argv0 == nullptr) return {};
    const std::string name = argv0;
    if (name.find_first_of("/\\") == std::string::npos) return {};
    const fs::path absolute = fs::absolute(fs::u8path(name), ec);
    return ec ? std::string() : absolute.parent_path().u8string();
}

int Run(int argc, char** argv, std::ostream& out, std::ostream& err)
{
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i)
        args.emplace_back(argv[i] == nullptr ? "" : argv[i]);
    RunContext context;
    context.programDir = ProgramDir(argc > 0 ? argv[0] : nullptr);
    return Run(args, context, out, err);
}

int Run(const std::vector<std::string>& args, const RunContext& context, std::ostream& out, std::ostream& err)
{
    try
    {
        const ParseResult parsed = ParseArgs(args);
        const Options& o = parsed.options;
        switch (parsed.outcome)
        {
        case ParseOutcome::Help:
            out << HelpText(o.command);
            return kExitOk;
        case ParseOutcome::Version:
            out << VersionText();
            return kExitOk;
        case ParseOutcome::Usage:
            return UsageError(err, o.command, parsed.message);
        case ParseOutcome::Run:
            break;
        }
        switch (o.command)
        {
        case Command::Info:
            return Info(o, out, err);
        case Command::Convert:
            return Convert(o, err);
        case Command::Listing:
            return Listing(o, err);
        case Command::Rip:
            return Rip(o, err);
        case Command::Sheet:
            return Sheet(o, context, err);
        case Command::Gif:
            return RunGif(o, context, err);
        case Command::None:
            break;
        }
        return UsageError(err, Command::None, "missing command");
    }
    catch (const std::bad_alloc&)
    {
        err << kProgramName << ": out of memory\n";
    }
    catch (const std::exception& error)
    {
        err << kProgramName << ": " << error.what() << "\n";
    }
    return kExitRefused;
}

} // namespace kelmora::cli
