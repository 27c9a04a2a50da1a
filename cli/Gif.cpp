// kelmora-cli gif.
#include "cli/Gif.h"

#include <optional>
#include <ostream>
#include <vector>

#include "cli/Files.h"
#include "cli/Objects.h"
#include "cli/Outputs.h"
#include "cli/Pictures.h"
#include "cli/Sheet.h"
#include "core/SpriteBankStore.h"

namespace kelmora::cli
{

namespace
{

// The animation to write: the project's sequence of --sequence, or the frames of
// --range (every sprite in use without it) with --delay. --mode applies to either. With
// --object every frame that shows a slot shows the object placed at that slot instead,
// and a range steps by the object's span (without --range: the object alone). objects
// are the objects the frames name.
int ChooseAnimation(const Options& o, const LoadedBank& input, kelmora::Sequence& animation,
                    std::vector<kelmora::SpriteObject>& objects, std::ostream& err)
{
    const int count = input.bank.spriteCount;
    kelmora::ProjectExtras extras;
    const kelmora::SpriteObject* object = nullptr;
    if (!o.sequence.empty() || !o.object.empty())
    {
        const int status =
            ReadSideFile(o.files[0], o.sequence.empty() ? "objects" : "sequences", extras, err);
        if (status != kExitOk) return status;
        objects = extras.objects;
    }
    if (!o.object.empty())
    {
        const int status = FindNamedObject(o, extras, object, err);
        if (status != kExitOk) return status;
    }
    // A frame's own copy of the object, placed at another slot, under a name of its own.
    const auto frameObject = [&](kelmora::SpriteObject placed, int frame)
    {
        placed.name = FrameObjectName(objects, frame);
        objects.push_back(placed);
        return placed.name;
    };

    if (!o.sequence.empty())
    {
        const kelmora::Sequence* found = kelmora::FindSequence(extras.sequences, o.sequence);
        const std::string side = kelmora::ExtrasPathFor(o.files[0]);
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
        animation = *found;
        for (std::size_t i = 0; object != nullptr && i < animation.frames.size(); ++i)
        {
            kelmora::SequenceFrame& frame = animation.frames[i];
            if (!frame.object.empty()) continue;
            const std::string where =
                "sequence " + JsonString(animation.name) + ", frame " + std::to_string(i) + ": ";
            const std::optional<kelmora::SpriteObject> placed = kelmora::PlaceObject(*object, frame.slot);
            if (!placed)
                return Refuse(err, o.files[0],
                              where + "object " + JsonString(object->name) + " placed at slot " +
                                  std::to_string(frame.slot) + " would reach past slot 255");
            const std::string problem = kelmora::ObjectUseProblem(*placed, count);
            if (!problem.empty()) return Refuse(err, o.files[0], where + problem);
            frame.object = frameObject(*placed, static_cast<int>(i));
        }
        const std::string problem = kelmora::CheckSequenceFrames(animation, objects, count);
        if (!problem.empty()) return Refuse(err, o.files[0], problem);
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
        if (object == nullptr)
            animation.frames = kelmora::FramesFromRange(input.bank.sprites, first, last, o.delay);
        else
        {
            std::vector<kelmora::SpriteObject> frames;
            const int status = ObjectFrames(o, input, *object, first, last, frames, err);
            if (status != kExitOk) return status;
            for (std::size_t k = 0; k < frames.size(); ++k)
            {
                kelmora::SequenceFrame frame;
                frame.delay = o.delay;
                frame.object = frameObject(frames[k], static_cast<int>(k));
                animation.frames.push_back(frame);
            }
        }
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
    std::vector<kelmora::SpriteObject> objects;
    int status = ChooseAnimation(o, input, animation, objects, err);
    if (status != kExitOk) return status;
    kelmora::NamedPalette palette;
    status = OutputPalette(o, context.programDir, palette, err);
    if (status != kExitOk) return status;

    const std::vector<std::uint8_t> gif =
        kelmora::EncodeSequenceGif(input.bank, animation, objects, o.scale, palette.colours);
    if (gif.empty()) return Refuse(err, o.files[1], "the GIF could not be made");
    std::vector<kelmora::OutputFile> outputs{Output(o.files[1], gif)};
    std::vector<std::uint8_t> png;
    if (!o.strip.empty())
    {
        if (!PictureSupport()) return Refuse(err, o.strip, kNoPictureSupport);
        const kelmora::FramePicture strip =
            kelmora::RenderFrameStrip(input.bank, kelmora::SequencePass(animation), objects, o.scale);
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
