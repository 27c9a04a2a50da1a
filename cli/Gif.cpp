// kelmora-cli gif.
#include "cli/Gif.h"

#include <ostream>

#include "cli/Files.h"
#include "cli/Outputs.h"
#include "cli/Png.h"
#include "cli/Sheet.h"
#include "core/SpriteBankStore.h"

namespace kelmora::cli
{

namespace
{

int Refuse(std::ostream& err, const std::string& file, const std::string& reason)
{
    err << kProgramName << ": " << file << ": " << reason << "\n";
    return kExitRefused;
}

// The palette of --palette and --palette-file, found as sheet finds it. Returns 0, or
// the exit status after a message.
int ChoosePaletteFor(const Options& o, const RunContext& context, kelmora::NamedPalette& chosen,
                     std::ostream& err)
{
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
    if (o.palette.empty())
    {
        ChoosePalette(o.paletteFile.empty() ? kelmora::kBuiltInPaletteName : palettes[0].name, palettes,
                      chosen);
        return kExitOk;
    }
    if (ChoosePalette(o.palette, palettes, chosen)) return kExitOk;
    std::string names = std::string("\"") + kelmora::kBuiltInPaletteName + "\"";
    for (const kelmora::NamedPalette& palette : palettes)
        names += ", \"" + palette.name + "\"";
    err << kProgramName << ": --palette: no palette named \"" << o.palette << "\" (there are " << names
        << ")\n"
        << "Try '" << kProgramName << " gif --help' for more information.\n";
    return kExitUsage;
}

// The animation to write: the project's sequence of --sequence, or the frames of
// --range (every sprite in use without it) with --delay. --mode applies to either.
int ChooseAnimation(const Options& o, const LoadedBank& input, kelmora::Sequence& animation,
                    std::ostream& err)
{
    const int count = input.bank.spriteCount;
    if (!o.sequence.empty())
    {
        kelmora::ProjectExtras extras;
        std::string message;
        const std::string side = kelmora::ExtrasPathFor(o.files[0]);
        switch (kelmora::ReadProjectExtras(o.files[0], extras, message))
        {
        case kelmora::ExtrasReadStatus::Missing:
            return Refuse(err, o.files[0], "has no side file " + side + ", so it holds no sequences");
        case kelmora::ExtrasReadStatus::Refused:
            return Refuse(err, side, message);
        case kelmora::ExtrasReadStatus::Read:
            break;
        }
        const kelmora::Sequence* found = kelmora::FindSequence(extras.sequences, o.sequence);
        if (found == nullptr)
        {
            std::string names;
            for (const kelmora::Sequence& sequence : extras.sequences)
                names += (names.empty() ? "" : ", ") + JsonString(sequence.name);
            return Refuse(
                err, side,
                "holds no sequence named " + JsonString(o.sequence) +
                    (names.empty() ? std::string(" (it holds none)") : " (it holds " + names + ")"));
        }
        const std::string problem = kelmora::CheckSequenceSlots(*found, count);
        if (!problem.empty()) return Refuse(err, o.files[0], problem);
        animation = *found;
    }
    else
    {
        if (count < 1) return Refuse(err, o.files[0], "holds no whole sprite");
        int first = 0, last = count - 1;
        if (o.range.given)
        {
            if (o.range.last >= count)
                return Refuse(err, o.files[0],
                              "holds " + std::to_string(count) + (count == 1 ? " sprite" : " sprites") +
                                  " (0-" + std::to_string(count - 1) + "), so it has no sprites " +
                                  std::to_string(o.range.first) + "-" + std::to_string(o.range.last));
            first = o.range.first;
            last = o.range.last;
        }
        animation.name = "range";
        animation.frames = kelmora::FramesFromRange(input.bank.sprites, first, last, o.delay);
    }
    if (o.modeGiven) animation.mode = o.mode;
    return kExitOk;
}

bool RefuseIfTaken(const Options& o, const std::string& path, std::ostream& err)
{
    if (o.force || !PathTaken(path)) return false;
    Refuse(err, path, "already exists (use --force to replace it)");
    return true;
}

} // namespace

int RunGif(const Options& o, const RunContext& context, std::ostream& err)
{
    if (!kelmora::GifSupported())
    {
        err << kProgramName << ": gif: " << kProgramName << " was built without GIF support\n";
        return kExitRefused;
    }
    LoadedBank input;
    std::string reason;
    if (!ReadSprites(o.files[0], o.from, o.fromAttr, input, reason)) return Refuse(err, o.files[0], reason);
    kelmora::Sequence animation;
    int status = ChooseAnimation(o, input, animation, err);
    if (status != kExitOk) return status;
    kelmora::NamedPalette palette;
    status = ChoosePaletteFor(o, context, palette, err);
    if (status != kExitOk) return status;

    std::vector<PendingOutput> outputs(1);
    outputs[0].path = o.files[1];
    outputs[0].bytes = kelmora::EncodeSequenceGif(input.bank, animation, o.scale, palette.colours);
    if (outputs[0].bytes.empty()) return Refuse(err, o.files[1], "the GIF could not be made");
    if (!o.strip.empty())
    {
        const kelmora::FramePicture strip =
            kelmora::RenderFrameStrip(input.bank, kelmora::SequencePass(animation), o.scale);
        const std::vector<std::uint32_t> rgb = kelmora::PictureToRgb(strip, palette.colours);
        PendingOutput png{o.strip, EncodePng(rgb.data(), strip.width, strip.height, strip.width)};
        if (png.bytes.empty()) return Refuse(err, o.strip, "the strip is too large for one PNG picture");
        outputs.push_back(std::move(png));
    }
    for (const PendingOutput& output : outputs)
        if (RefuseIfTaken(o, output.path, err)) return kExitRefused;
    return WriteOutputs(outputs, err);
}

} // namespace kelmora::cli
