// kelmora-cli gif.
#include "cli/Gif.h"

#include <ostream>

#include "cli/Files.h"
#include "cli/Outputs.h"
#include "cli/Pictures.h"
#include "cli/Sheet.h"
#include "core/SpriteBankStore.h"

namespace kelmora::cli
{

namespace
{

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
    if (o.modeGiven) animation.mode = o.playMode;
    return kExitOk;
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
    status = OutputPalette(o, context.programDir, palette, err);
    if (status != kExitOk) return status;

    const std::vector<std::uint8_t> gif =
        kelmora::EncodeSequenceGif(input.bank, animation, o.scale, palette.colours);
    if (gif.empty()) return Refuse(err, o.files[1], "the GIF could not be made");
    std::vector<kelmora::OutputFile> outputs{Output(o.files[1], gif)};
    std::vector<std::uint8_t> png;
    if (!o.strip.empty())
    {
        if (!PictureSupport()) return Refuse(err, o.strip, kNoPictureSupport);
        const kelmora::FramePicture strip =
            kelmora::RenderFrameStrip(input.bank, kelmora::SequencePass(animation), o.scale);
        kelmora::RgbaImage picture;
        picture.width = strip.width;
        picture.height = strip.height;
        picture.pixels = kelmora::PictureToRgb(strip, palette.colours);
        for (std::uint32_t& pixel : picture.pixels)
            pixel |= kelmora::kOpaqueAlpha;
        if (!EncodePng(picture, png))
            return Refuse(err, o.strip, "the strip is too large for one PNG picture");
        outputs.push_back(Output(o.strip, png));
    }
    // The GIF and its strip are written together or not at all.
    return WriteOut(o, outputs, err);
}

} // namespace kelmora::cli
