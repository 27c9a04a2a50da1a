// kelmora-cli's commands.
#include "cli/Run.h"

#include <cerrno>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <iostream>
#include <new>
#include <ostream>
#include <system_error>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

#include "cli/Args.h"
#include "cli/Extras.h"
#include "cli/Files.h"
#include "cli/Gif.h"
#include "cli/Help.h"
#include "cli/ImportImage.h"
#include "cli/Listing.h"
#include "cli/Objects.h"
#include "cli/Outputs.h"
#include "cli/Pictures.h"
#include "cli/Sheet.h"
#include "cli/Text.h"
#include "core/SpriteBankStore.h"

namespace kelmora::cli
{

namespace fs = std::filesystem;
using kelmora::u8;

namespace
{

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

// Writes source's sprites in use to the output of convert or rip, with the raw
// data's colour side file when the sprites came with colours, and a project's side
// file when one is planned, all in one transaction.
int WriteBankOut(const Options& o, const LoadedBank& source, const std::string& fewerHint, std::ostream& err,
                 const SideFilePlan& extras = SideFilePlan())
{
    const std::string& path = o.files[1];
    const int count = source.bank.spriteCount;
    if (o.to == Format::Seuck && count > kelmora::kSeuckSprites)
        return Refuse(err, o.files[0],
                      "SEUCK sprite files cannot exceed 127 sprites, and this takes " +
                          std::to_string(count) + " (choose fewer with " + fewerHint + ")");

    const std::string sidePath = path + ".inf";
    const bool side = o.to == Format::Raw && source.hasColours && !o.noInf;
    const std::vector<std::uint8_t> bytes = EncodeSprites(source.bank, o.to, o.toAttr, o.loadAddress);
    if (bytes.empty()) return Refuse(err, o.files[0], "holds no sprite to write");
    const std::vector<std::uint8_t> colours{source.bank.colourTransp, source.bank.colourMulti1,
                                            source.bank.colourMulti2};
    // The sprites and their colours are replaced together or not at all.
    std::vector<kelmora::OutputFile> files{Output(path, bytes.data(), bytes.size())};
    if (side) files.push_back(Output(sidePath, colours.data(), colours.size()));
    if (extras.write) files.push_back(Output(extras.path, extras.bytes));
    if (const int code = WriteOut(o, files, err)) return code;
    if (!side && o.to == Format::Raw && PathTaken(sidePath))
    {
        err << kProgramName << ": warning: " << Shown(sidePath)
            << " is left as it was; the editor reads its colours with " << Shown(path) << "\n";
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

    out << "File:     " << Shown(o.files[0]) << "\n";
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
    if (!o.range.given) return WriteBankOut(o, input, "--range", err, side);
    LoadedBank taken;
    TakeRange(input, first, last, taken);
    return WriteBankOut(o, taken, "--range", err, side);
}

int Listing(const Options& given, std::ostream& err)
{
    LoadedBank input;
    if (!LoadInput(given, input, err)) return kExitRefused;
    Options o = given;
    std::string problem;
    // Presets and sprite names are kept in a project's side file.
    const InputExtras extras = ReadInputExtras(o.files[0], input.format == Format::Project);
    if (!o.preset.empty() && !ApplyListingPreset(o, extras, problem)) return Refuse(err, o.files[0], problem);
    int first = 0, last = 0;
    if (!SpritesToUse(o, input, first, last, err)) return kExitRefused;
    std::string text;
    if (o.dialect == Dialect::Plain)
        kelmora::EncodeTextListing(input.bank.sprites, first, last, o.hex ? 1 : 0, text);
    else
    {
        std::vector<std::string> names;
        if (!ListingNames(o, extras, names, problem, err)) return Refuse(err, o.files[0], problem);
        std::vector<std::uint8_t> bytes;
        if (!ListingBytes(o, input, first, last, names, bytes, problem))
            return Refuse(err, o.files[0], problem);
        text.assign(bytes.begin(), bytes.end());
    }
    return WriteOut(o, {Output(o.files[1], text.data(), text.size())}, err);
}

int ImportListing(const Options& o, std::ostream& err)
{
    LoadedBank input;
    std::vector<std::string> names; // one per sprite read, from the listing's labels
    std::string reason;
    if (!ReadListingFile(o.files[0], o.bytes, input, names, reason)) return Refuse(err, o.files[0], reason);
    input.format = o.to;
    int first = 0, last = 0;
    if (!SpritesToUse(o, input, first, last, err)) return kExitRefused;
    // The names go into a project's side file, numbered as the sprites are written.
    names.resize(static_cast<std::size_t>(input.bank.spriteCount));
    names = std::vector<std::string>(names.begin() + first, names.begin() + last + 1);
    SideFilePlan side;
    PlanListingNames(o, names, side);
    if (!o.range.given) return WriteBankOut(o, input, "--range", err, side);
    LoadedBank taken;
    TakeRange(input, first, last, taken);
    return WriteBankOut(o, taken, "--range", err, side);
}

int Rip(const Options& o, std::ostream& err)
{
    const std::string& path = o.files[0];
    std::vector<u8> ram(kelmora::kC64RamBytes);
    kelmora::SnapshotFacts facts;
    kelmora::FileResult why;
    switch (kelmora::ReadSnapshot(path.c_str(), ram.data(), &facts, &why))
    {
    case kelmora::SnapshotStatus::Ok:
        break;
    case kelmora::SnapshotStatus::CannotOpen:
        return Refuse(err, path, ReadFailureText(why));
    case kelmora::SnapshotStatus::Invalid:
        return Refuse(err, path, "Invalid VICE snapshot file (" + kelmora::SnapshotProblemText(facts) + ")");
    }
    LoadedBank ripped;
    kelmora::CopyVideoBank(ram.data(), o.bank, ripped.block.data());
    ripped.bank.spriteCount = o.count;
    ripped.format = o.to;
    SideFilePlan side; // replaces an old NAME.kmd.json beside a project output
    if (!PlanSideFile(o, false, side, err)) return kExitRefused;
    return WriteBankOut(o, ripped, "--count", err, side);
}

int Sheet(const Options& o, const RunContext& context, std::ostream& err)
{
    if (o.image == ImageFormat::Png && !PictureSupport()) return Refuse(err, o.files[1], kNoPictureSupport);
    LoadedBank input;
    if (!LoadInput(o, input, err)) return kExitRefused;
    int first = 0, last = 0;
    if (!SpritesToUse(o, input, first, last, err)) return kExitRefused;

    // With --object each cell is a frame of the object, drawn as one picture.
    std::vector<kelmora::SpriteObject> frames;
    if (!o.object.empty())
    {
        kelmora::ProjectExtras extras;
        const kelmora::SpriteObject* object = nullptr;
        if (const int code = ReadSideFile(o.files[0], "objects", extras, err)) return code;
        if (const int code = FindNamedObject(o, extras, object, err)) return code;
        if (const int code = ObjectFrames(o, input, *object, first, last, frames, err)) return code;
    }

    kelmora::NamedPalette chosen;
    if (const int code = OutputPalette(o, context.programDir, chosen, err)) return code;

    const kelmora::RgbaImage image =
        frames.empty() ? kelmora::RenderSheet(input.bank, first, last, o.columns, o.scale, chosen.colours)
                       : kelmora::RenderObjectSheet(input.bank, frames, o.columns, o.scale, chosen.colours);
    std::vector<std::uint8_t> bytes;
    if (o.image == ImageFormat::Bmp)
        bytes = kelmora::EncodeBitmap32(image.pixels.data(), image.width, image.height, image.width);
    else if (!EncodePng(image, bytes))
        bytes.clear();
    if (bytes.empty()) return Refuse(err, o.files[1], "not written: the picture is too large for one image");
    return WriteOut(o, {Output(o.files[1], bytes.data(), bytes.size())}, err);
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
            const std::size_t length = Utf8SequenceAt(text, i, nullptr);
            if (length > 0)
            {
                out.append(text, i, length);
                i += length;
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
#elif defined(_WIN32)
    std::wstring self(32768, L'\0'); // the longest path Windows has
    const DWORD length = GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size()));
    if (length > 0 && length < self.size())
    {
        self.resize(length);
        return fs::path(self).parent_path().u8string();
    }
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

int RunMain(int argc, char** argv)
{
#ifndef _WIN32
    // A standard stream that was closed at start (tool >&-) is held by /dev/null opened the
    // other way round: no file the tool opens can take its number, and writing to it fails.
    for (int fd = 0; fd <= 2; ++fd)
        if (fcntl(fd, F_GETFD) < 0 && errno == EBADF)
        {
            const int held = open("/dev/null", (fd == 0 ? O_WRONLY : O_RDONLY) | O_CLOEXEC);
            if (held >= 0 && held != fd)
            {
                dup2(held, fd);
                close(held);
            }
        }
#endif
    kelmora::InstallTemporaryFileCleanup();
    int code = Run(argc, argv, std::cout, std::cerr);

    errno = 0;
    std::cout.flush();
    bool outFailed = !std::cout.good();
    int outErrno = errno;
    if (std::fflush(stdout) != 0)
    {
        outFailed = true;
        outErrno = errno;
    }
    if (std::ferror(stdout)) outFailed = true;
    if (outFailed)
    {
        std::cerr << kProgramName << ": standard output: "
                  << (outErrno != 0 ? std::generic_category().message(outErrno) : std::string("write error"))
                  << "\n";
        if (code == kExitOk) code = kExitRefused;
    }
    std::cerr.flush();
    if ((!std::cerr.good() || std::fflush(stderr) != 0 || std::ferror(stderr)) && code == kExitOk)
        code = kExitRefused;
    return code;
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
        case Command::ImportListing:
            return ImportListing(o, err);
        case Command::ImportImage:
            return ImportImageCommand(o, context.programDir, err);
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
