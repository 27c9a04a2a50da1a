// A project's side file in kelmora-cli.
#include "cli/Extras.h"

#include <cstdio>
#include <ostream>

#include "cli/Files.h"
#include "cli/Outputs.h"
#include "cli/Run.h"
#include "core/ProjectExtras.h"

namespace kelmora::cli
{

namespace
{

std::string Plural(std::size_t count, const char* one, const char* many)
{
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

std::string Seconds(int ticks)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.2f s", static_cast<double>(ticks) / kelmora::kTicksPerSecond);
    return text;
}

// The slots of one layer of an object, row by row.
std::string SlotList(const std::vector<int>& slots, const char* separator)
{
    std::string text;
    for (std::size_t i = 0; i < slots.size(); ++i)
        text += (i == 0 ? "" : separator) + std::to_string(slots[i]);
    return text;
}

// info's lines about the objects of the side file, "" when it holds none.
std::string ObjectsInfoText(const kelmora::ProjectExtras& extras)
{
    if (extras.objects.empty()) return {};
    std::string text = "Objects:  " + Plural(extras.objects.size(), "object", "objects") + "\n";
    for (const kelmora::SpriteObject& object : extras.objects)
    {
        text += "          " + JsonString(object.name) + ": " + std::to_string(object.columns) + " x " +
                std::to_string(object.rows) + ", sprites " + SlotList(object.cells, " ");
        if (kelmora::HasOverlayLayer(object)) text += ", overlay " + SlotList(object.overlayCells, " ");
        text += "\n";
    }
    return text;
}

// info --json's "objects" list of the side file.
std::string ObjectsInfoJson(const kelmora::ProjectExtras& extras)
{
    std::string text = "[";
    for (std::size_t i = 0; i < extras.objects.size(); ++i)
    {
        const kelmora::SpriteObject& object = extras.objects[i];
        text +=
            std::string(i == 0 ? "" : ", ") + "{\"name\": " + JsonString(object.name) +
            ", \"columns\": " + std::to_string(object.columns) +
            ", \"rows\": " + std::to_string(object.rows) + ", \"cells\": [" + SlotList(object.cells, ", ") +
            "], \"overlayCells\": " +
            (kelmora::HasOverlayLayer(object) ? "[" + SlotList(object.overlayCells, ", ") + "]" : "null") +
            "}";
    }
    return text + "]";
}

} // namespace

std::string ExtrasInfoText(const std::string& projectPath)
{
    kelmora::ProjectExtras extras;
    std::string message;
    const std::string side = kelmora::ExtrasPathFor(projectPath);
    switch (kelmora::ReadProjectExtras(projectPath, extras, message))
    {
    case kelmora::ExtrasReadStatus::Missing:
        return {};
    case kelmora::ExtrasReadStatus::Refused:
        return "Extras:   not used, " + side + ": " + message + "\n";
    case kelmora::ExtrasReadStatus::Read:
        break;
    }
    std::string text =
        "Extras:   " + side + ", " + Plural(extras.sequences.size(), "sequence", "sequences") + "\n";
    for (const kelmora::Sequence& sequence : extras.sequences)
    {
        const int ticks = kelmora::SequencePassTicks(sequence);
        text += "          " + JsonString(sequence.name) + ": " +
                Plural(sequence.frames.size(), "frame", "frames") + ", " +
                kelmora::PlayModeName(sequence.mode);
        if (!sequence.frames.empty())
            text += ", " + Plural(static_cast<std::size_t>(ticks), "tick", "ticks") + " a pass (" +
                    Seconds(ticks) + ")";
        text += "\n";
    }
    const std::vector<std::string> others = kelmora::OtherExtrasKeys(extras);
    if (!others.empty())
    {
        text += "          other keys kept:";
        for (std::size_t i = 0; i < others.size(); ++i)
            text += (i == 0 ? " " : ", ") + JsonString(others[i]);
        text += "\n";
    }
    return text + ObjectsInfoText(extras);
}

std::string ExtrasInfoJson(const std::string& projectPath)
{
    kelmora::ProjectExtras extras;
    std::string message;
    const std::string side = kelmora::ExtrasPathFor(projectPath);
    switch (kelmora::ReadProjectExtras(projectPath, extras, message))
    {
    case kelmora::ExtrasReadStatus::Missing:
        return "null";
    case kelmora::ExtrasReadStatus::Refused:
        return "{\"file\": " + JsonString(side) + ", \"error\": " + JsonString(message) + "}";
    case kelmora::ExtrasReadStatus::Read:
        break;
    }
    std::string text = "{\"file\": " + JsonString(side) + ", \"sequences\": [";
    for (std::size_t i = 0; i < extras.sequences.size(); ++i)
    {
        const kelmora::Sequence& sequence = extras.sequences[i];
        text += std::string(i == 0 ? "" : ", ") + "{\"name\": " + JsonString(sequence.name) +
                ", \"mode\": \"" + kelmora::PlayModeName(sequence.mode) +
                "\", \"frames\": " + std::to_string(sequence.frames.size()) +
                ", \"ticks\": " + std::to_string(kelmora::SequencePassTicks(sequence)) + "}";
    }
    text += "], \"objects\": " + ObjectsInfoJson(extras) + ", \"otherKeys\": [";
    const std::vector<std::string> others = kelmora::OtherExtrasKeys(extras);
    for (std::size_t i = 0; i < others.size(); ++i)
        text += (i == 0 ? "" : ", ") + JsonString(others[i]);
    return text + "]}";
}

bool PlanSideFile(const Options& o, bool inputIsProject, SideFilePlan& plan, std::ostream& err)
{
    plan = SideFilePlan();
    kelmora::ProjectExtras extras;
    bool carried = false;
    if (inputIsProject)
    {
        std::string message;
        const std::string inputSide = kelmora::ExtrasPathFor(o.files[0]);
        switch (kelmora::ReadProjectExtras(o.files[0], extras, message))
        {
        case kelmora::ExtrasReadStatus::Missing:
            break;
        case kelmora::ExtrasReadStatus::Refused:
            if (o.to != Format::Project || o.range.given) break; // it would not be carried anyway
            Refuse(err, inputSide,
                   message + " (its extras would be lost; move it away to convert the sprites alone)");
            return false;
        case kelmora::ExtrasReadStatus::Read:
            carried = kelmora::HasExtras(extras);
            break;
        }
        if (carried && o.to != Format::Project)
        {
            Warn(err, inputSide, "not carried along: only a project has a side file");
            carried = false;
        }
        else if (carried && o.range.given)
        {
            Warn(err, inputSide, "not carried along: --range numbers the sprites anew");
            carried = false;
        }
    }
    if (o.to != Format::Project) return true;

    const std::string side = kelmora::ExtrasPathFor(o.files[1]);
    const bool taken = PathTaken(side);
    if (!carried && !taken) return true;
    if (!carried) extras = kelmora::ProjectExtras();
    const std::string text = kelmora::SerialiseProjectExtras(extras);
    plan.write = true;
    plan.path = side;
    plan.bytes.assign(text.begin(), text.end());
    return true;
}

} // namespace kelmora::cli
