// A project's side file in kelmora-cli.
#include "cli/Extras.h"

#include <cstdio>

#include <nlohmann/json.hpp>
#include <ostream>

#include "cli/Files.h"
#include "cli/Outputs.h"
#include "cli/Run.h"
#include "core/ProjectExtras.h"
#include "core/SpriteNames.h"

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

// A preset as the listing options it stands for, e.g. "--dialect acme --numbers binary --rows".
std::string PresetOptionsText(const kelmora::ListingOptions& l)
{
    const kelmora::ListingOptions plain;
    const bool basic = l.dialect == kelmora::ListingDialect::Basic;
    std::string text = std::string("--dialect ") + kelmora::ListingDialectName(l.dialect);
    const auto hex = [](int address)
    {
        char digits[16];
        std::snprintf(digits, sizeof digits, "%04X", static_cast<unsigned>(address));
        return std::string(digits);
    };
    if (!basic && l.numbers != plain.numbers)
        text += std::string(" --numbers ") + kelmora::ListingNumbersName(l.numbers);
    if (l.rows) text += " --rows";
    if (l.bytesPerSprite != plain.bytesPerSprite) text += " --bytes " + std::to_string(l.bytesPerSprite);
    if (l.zeroAttributes) text += " --zero-attributes";
    if (!basic && !l.blockLabel.empty()) text += " --label " + l.blockLabel;
    if (l.labels == kelmora::ListingLabels::Names) text += " --labels names";
    if (l.labels == kelmora::ListingLabels::Prefix) text += " --labels prefix:" + l.labelPrefix;
    if (!basic && l.align) text += " --align";
    if (!basic && l.headerAddress >= 0) text += " --header " + hex(l.headerAddress);
    if (basic && l.prg) text += " --prg";
    if (basic && l.startLine != plain.startLine) text += " --start-line " + std::to_string(l.startLine);
    if (basic && l.lineStep != plain.lineStep) text += " --line-step " + std::to_string(l.lineStep);
    if (basic && l.loaderAddress >= 0) text += " --loader " + hex(l.loaderAddress);
    return text;
}

// info's lines about the sprite names and listing presets of extras.
std::string NamesAndPresetsText(const kelmora::ProjectExtras& extras)
{
    std::string text;
    for (const auto& [slot, name] : extras.names)
        text += "          sprite " + std::to_string(slot) + ": " + JsonString(name) + "\n";
    for (const kelmora::ListingPreset& preset : extras.exportPresets)
        text +=
            "          preset " + JsonString(preset.name) + ": " + PresetOptionsText(preset.options) + "\n";
    return text;
}

// info --json's "names" and "presets" of extras, each after a comma, when there are any.
std::string NamesAndPresetsJson(const kelmora::ProjectExtras& extras)
{
    std::string text;
    if (extras.names.empty() && extras.exportPresets.empty()) return text;
    text = ", \"names\": {";
    bool first = true;
    for (const auto& [slot, name] : extras.names)
    {
        text += (first ? "\"" : ", \"") + std::to_string(slot) + "\": " + JsonString(name);
        first = false;
    }
    text += "}, \"presets\": {";
    first = true;
    for (const kelmora::ListingPreset& preset : extras.exportPresets)
    {
        text += (first ? "" : ", ") + JsonString(preset.name) + ": " +
                kelmora::ListingOptionsToJson(preset.options).dump();
        first = false;
    }
    return text + "}";
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
    text += NamesAndPresetsText(extras) + ObjectsInfoText(extras);
    const std::vector<std::string> others = kelmora::OtherExtrasKeys(extras);
    if (!others.empty())
    {
        text += "          other keys kept:";
        for (std::size_t i = 0; i < others.size(); ++i)
            text += (i == 0 ? " " : ", ") + JsonString(others[i]);
        text += "\n";
    }
    return text;
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
    text += "]" + NamesAndPresetsJson(extras) + ", \"objects\": " + ObjectsInfoJson(extras) +
            ", \"otherKeys\": [";
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

void PlanListingNames(const Options& o, const std::vector<std::string>& names, SideFilePlan& plan)
{
    plan = SideFilePlan();
    if (o.to != Format::Project) return; // only a project keeps names
    kelmora::ProjectExtras extras;
    const int taken = kelmora::ReplaceSpriteNames(extras, 0, names);
    const std::string side = kelmora::ExtrasPathFor(o.files[1]);
    if (taken == 0 && !PathTaken(side)) return;
    const std::string text = kelmora::SerialiseProjectExtras(extras);
    plan.write = true;
    plan.path = side;
    plan.bytes.assign(text.begin(), text.end());
}

} // namespace kelmora::cli
