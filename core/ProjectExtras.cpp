// Project extras: the side file NAME.kmd.json.
#include "core/ProjectExtras.h"

#include <cstdint>
#include <filesystem>
#include <system_error>

#include <nlohmann/json.hpp>

#include "core/FileIO.h"
#include "core/OutputFiles.h"
#include "core/ProjectFiles.h"

namespace kelmora
{

namespace
{

// Ordered, so that a person's file keeps its order of keys when it is written back.
using Json = nlohmann::ordered_json;

constexpr int kMaxDepth = 64; // deeper nesting is refused (writing it back would recurse)

struct TooDeep
{
};

// The keys of the record; every other key is kept as it was read.
const char* const kOwnKeys[] = {"format", "version", "sequences", "objects", "names", "exportPresets"};
const char* const kSequenceKeys[] = {"name", "mode", "frames"};
const char* const kFrameKeys[] = {"slot", "delay", "object"};

template <std::size_t N> bool IsOneOf(const std::string& key, const char* const (&keys)[N])
{
    for (const char* k : keys)
        if (key == k) return true;
    return false;
}

std::string Dump(const Json& value, int indent = -1)
{
    return value.dump(indent, ' ', false, Json::error_handler_t::replace);
}

// A value of a nested level, indented by two more spaces after each line break (a
// dump's strings hold no raw line breaks, so only its own lines are touched).
std::string Nested(const Json& value, const std::string& indent)
{
    std::string text = Dump(value, 2);
    std::string out;
    out.reserve(text.size());
    for (char c : text)
    {
        out += c;
        if (c == '\n') out += indent;
    }
    return out;
}

const char* TypeName(const Json& value)
{
    if (value.is_string()) return "text";
    if (value.is_boolean()) return "true or false";
    if (value.is_number_integer() || value.is_number_unsigned()) return "a whole number";
    if (value.is_number()) return "a number with a fraction";
    if (value.is_array()) return "a list";
    if (value.is_object()) return "an object";
    return "null";
}

std::string Quoted(const std::string& text)
{
    return "\"" + text + "\"";
}

// The keys of object that are not among keys, as compact JSON ("" when none).
template <std::size_t N> std::string OtherKeys(const Json& object, const char* const (&keys)[N])
{
    Json others = Json::object();
    for (auto it = object.begin(); it != object.end(); ++it)
        if (!IsOneOf(it.key(), keys)) others[it.key()] = it.value();
    return others.empty() ? std::string() : Dump(others);
}

// A whole number of an object's key within low..high: false with message set otherwise.
bool ReadWhole(const Json& value, const std::string& where, const char* key, long long low, long long high,
               const char* unit, int& out, std::string& message)
{
    if (!value.is_number_integer() && !value.is_number_unsigned())
    {
        message = where + Quoted(key) + " is " + TypeName(value) + ", not a whole number";
        return false;
    }
    const bool huge =
        value.is_number_unsigned() && value.get<std::uint64_t>() > static_cast<std::uint64_t>(high);
    if (huge || value.get<std::int64_t>() < low || value.get<std::int64_t>() > high)
    {
        message = where + Quoted(key) + " " + Dump(value) + " is not " + std::to_string(low) + ".." +
                  std::to_string(high) + unit;
        return false;
    }
    out = static_cast<int>(value.get<std::int64_t>());
    return true;
}

bool ReadFrame(const Json& value, const std::string& where, SequenceFrame& frame, std::string& message)
{
    if (!value.is_object())
    {
        message = where + "it is " + TypeName(value) + ", not an object with \"slot\" and \"delay\"";
        return false;
    }
    // A frame shows a slot or names an object of the project, never both.
    const auto slot = value.find("slot");
    const auto object = value.find("object");
    if (object != value.end())
    {
        if (!object->is_string() || object->get<std::string>().empty())
        {
            message = where + "\"object\" is " + (object->is_string() ? "empty" : TypeName(*object)) +
                      ", not the name of an object";
            return false;
        }
        if (slot != value.end())
        {
            message = where + "it names both a \"slot\" and an \"object\"";
            return false;
        }
        frame.slot = 0;
        frame.object = object->get<std::string>();
    }
    else if (slot == value.end())
    {
        message = where + "it has no \"slot\"";
        return false;
    }
    else if (!ReadWhole(*slot, where, "slot", 0, kSlotCount - 1, "", frame.slot, message))
        return false;
    const auto delay = value.find("delay");
    frame.delay = kDefaultFrameDelay;
    if (delay != value.end() &&
        !ReadWhole(*delay, where, "delay", kMinFrameDelay, kMaxFrameDelay, " ticks", frame.delay, message))
        return false;
    frame.otherKeys = OtherKeys(value, kFrameKeys);
    return true;
}

bool ReadSequence(const Json& value, std::size_t index, Sequence& sequence, std::string& message)
{
    if (!value.is_object())
    {
        message = "sequence " + std::to_string(index) + " is " + TypeName(value) + ", not an object";
        return false;
    }
    const auto name = value.find("name");
    if (name == value.end() || !name->is_string())
    {
        message = "sequence " + std::to_string(index) +
                  (name == value.end() ? " has no \"name\""
                                       : std::string(": \"name\" is ") + TypeName(*name) + ", not text");
        return false;
    }
    sequence.name = name->get<std::string>();
    const std::string where = "sequence " + Quoted(sequence.name) + ": ";

    sequence.mode = PlayMode::Loop;
    const auto mode = value.find("mode");
    if (mode != value.end())
    {
        if (!mode->is_string() || !ParsePlayMode(mode->get<std::string>(), sequence.mode))
        {
            message = where + "\"mode\" is " + (mode->is_string() ? Dump(*mode) : TypeName(*mode)) +
                      ", not \"loop\", \"pingpong\" or \"once\"";
            return false;
        }
    }

    sequence.frames.clear();
    const auto frames = value.find("frames");
    if (frames != value.end())
    {
        if (!frames->is_array())
        {
            message = where + "\"frames\" is " + TypeName(*frames) + ", not a list";
            return false;
        }
        if (frames->size() > static_cast<std::size_t>(kMaxSequenceFrames))
        {
            message = where + "has " + std::to_string(frames->size()) + " frames; at most " +
                      std::to_string(kMaxSequenceFrames) + " are allowed";
            return false;
        }
        for (std::size_t i = 0; i < frames->size(); ++i)
        {
            SequenceFrame frame;
            if (!ReadFrame((*frames)[i],
                           "sequence " + Quoted(sequence.name) + ", frame " + std::to_string(i) + ": ", frame,
                           message))
                return false;
            sequence.frames.push_back(frame);
        }
    }
    sequence.otherKeys = OtherKeys(value, kSequenceKeys);
    return true;
}

std::string FrameText(const SequenceFrame& frame)
{
    std::string text = frame.object.empty() ? "{\"slot\": " + std::to_string(frame.slot)
                                            : "{\"object\": " + Dump(Json(frame.object));
    text += ", \"delay\": " + std::to_string(frame.delay);
    if (!frame.otherKeys.empty())
    {
        const Json others = Json::parse(frame.otherKeys, nullptr, false);
        if (others.is_object())
            for (auto it = others.begin(); it != others.end(); ++it)
                text += ", " + Dump(Json(it.key())) + ": " + Dump(it.value());
    }
    return text + "}";
}

std::string SequenceText(const Sequence& sequence)
{
    std::string text = "{\n      \"name\": " + Dump(Json(sequence.name)) + ",\n      \"mode\": \"" +
                       PlayModeName(sequence.mode) + "\",\n      \"frames\": [";
    for (std::size_t i = 0; i < sequence.frames.size(); ++i)
        text += std::string(i == 0 ? "\n" : ",\n") + "        " + FrameText(sequence.frames[i]);
    text += sequence.frames.empty() ? "]" : "\n      ]";
    if (!sequence.otherKeys.empty())
    {
        const Json others = Json::parse(sequence.otherKeys, nullptr, false);
        if (others.is_object())
            for (auto it = others.begin(); it != others.end(); ++it)
                text += ",\n      " + Dump(Json(it.key())) + ": " + Nested(it.value(), "      ");
    }
    return text + "\n    }";
}

std::string SequencesText(const std::vector<Sequence>& sequences)
{
    if (sequences.empty()) return "[]";
    std::string text = "[";
    for (std::size_t i = 0; i < sequences.size(); ++i)
        text += std::string(i == 0 ? "\n" : ",\n") + "    " + SequenceText(sequences[i]);
    return text + "\n  ]";
}

// Between the two JSON kinds the core uses: the ordered one here, the plain one of the
// object and listing records.
Json Ordered(const nlohmann::json& value)
{
    return Json::parse(value.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace));
}

nlohmann::json Plain(const Json& value)
{
    return nlohmann::json::parse(Dump(value));
}

bool ReadObjects(const Json& list, std::vector<SpriteObject>& objects, std::string& message)
{
    if (!list.is_array())
    {
        message = std::string("\"objects\" is ") + TypeName(list) + ", not a list";
        return false;
    }
    for (const Json& value : list)
    {
        std::optional<SpriteObject> object = ObjectFromJson(Plain(value), message);
        if (!object) return false;
        objects.push_back(std::move(*object));
    }
    message = ObjectsProblem(objects);
    return message.empty();
}

bool ReadNames(const Json& value, std::map<int, std::string>& names, std::string& message)
{
    if (!value.is_object())
    {
        message =
            std::string("\"names\" is ") + TypeName(value) + ", not an object of slot numbers and names";
        return false;
    }
    for (auto it = value.begin(); it != value.end(); ++it)
    {
        const std::string& key = it.key();
        int slot = -1;
        if (!key.empty() && key.size() <= 3 && key.find_first_not_of("0123456789") == std::string::npos &&
            (key.size() == 1 || key[0] != '0'))
            slot = std::stoi(key);
        if (slot < 0 || slot >= kSlotCount)
        {
            message = "\"names\": " + Dump(Json(key)) + " is not a slot number 0..255";
            return false;
        }
        if (!it.value().is_string())
        {
            message = "\"names\": the name of slot " + key + " is " + TypeName(it.value()) + ", not text";
            return false;
        }
        const std::string name = it.value().get<std::string>();
        const std::string problem = SpriteNameProblem(name);
        if (!problem.empty())
        {
            message = "\"names\": the name of slot " + key + " " + problem;
            return false;
        }
        names[slot] = name;
    }
    return true;
}

bool ReadPresets(const Json& value, std::vector<ListingPreset>& presets, std::string& message)
{
    if (!value.is_object())
    {
        message = std::string("\"exportPresets\" is ") + TypeName(value) + ", not an object of named presets";
        return false;
    }
    for (auto it = value.begin(); it != value.end(); ++it)
    {
        ListingPreset preset;
        preset.name = it.key();
        if (preset.name.empty() || !it.value().is_object() ||
            !ListingOptionsFromJson(Plain(it.value()), preset.options))
        {
            message = "export preset " + Dump(Json(preset.name)) + " is not a set of listing options";
            return false;
        }
        presets.push_back(std::move(preset));
    }
    return true;
}

Json NamesJson(const std::map<int, std::string>& names)
{
    Json object = Json::object();
    for (const auto& [slot, name] : names)
        object[std::to_string(slot)] = name;
    return object;
}

Json PresetsJson(const std::vector<ListingPreset>& presets)
{
    Json object = Json::object();
    for (const ListingPreset& preset : presets)
        object[preset.name] = Ordered(ListingOptionsToJson(preset.options));
    return object;
}

Json ObjectsJson(const std::vector<SpriteObject>& objects)
{
    Json list = Json::array();
    for (const SpriteObject& object : objects)
        list.push_back(Ordered(ObjectToJson(object)));
    return list;
}

// The presets compare by their stored form: options the form leaves out do not count.
bool SamePresets(const std::vector<ListingPreset>& a, const std::vector<ListingPreset>& b)
{
    return Dump(PresetsJson(a)) == Dump(PresetsJson(b));
}

// The keys of the object last read that the record does not hold, with their values.
std::string OtherKeysText(const ProjectExtras& extras)
{
    if (extras.readObject.empty()) return {};
    const Json object = Json::parse(extras.readObject, nullptr, false);
    return object.is_object() ? OtherKeys(object, kOwnKeys) : std::string();
}

} // namespace

std::string SpriteNameProblem(const std::string& name)
{
    if (name.empty()) return "is empty";
    if (name.size() > kMaxSpriteNameBytes)
        return "is longer than " + std::to_string(kMaxSpriteNameBytes) + " bytes";
    for (std::size_t i = 0; i < name.size();)
    {
        const unsigned char c = static_cast<unsigned char>(name[i]);
        if (c < 0x20 || c == 0x7F) return "holds a control character";
        std::size_t length = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        if (length == 0 || i + length > name.size()) return "is not UTF-8 text";
        for (std::size_t k = 1; k < length; ++k)
            if ((static_cast<unsigned char>(name[i + k]) & 0xC0) != 0x80) return "is not UTF-8 text";
        i += length;
    }
    // The JSON library refuses what it cannot write (overlong forms, surrogates).
    if (Json(name).dump(-1, ' ', false, Json::error_handler_t::ignore).size() < name.size() + 2)
        return "is not UTF-8 text";
    return {};
}

std::string SpriteName(const ProjectExtras& extras, int slot)
{
    const auto it = extras.names.find(slot);
    return it == extras.names.end() ? std::string() : it->second;
}

const ListingPreset* FindListingPreset(const ProjectExtras& extras, const std::string& name)
{
    for (const ListingPreset& preset : extras.exportPresets)
        if (preset.name == name) return &preset;
    return nullptr;
}

bool operator==(const ProjectExtras& a, const ProjectExtras& b)
{
    // Of the object last read only the keys outside the record count: the record's own
    // keys are compared as the record holds them.
    return a.sequences == b.sequences && a.objects == b.objects && a.names == b.names &&
           SamePresets(a.exportPresets, b.exportPresets) && OtherKeysText(a) == OtherKeysText(b);
}

bool operator!=(const ProjectExtras& a, const ProjectExtras& b)
{
    return !(a == b);
}

bool HasExtras(const ProjectExtras& extras)
{
    return !extras.sequences.empty() || !extras.objects.empty() || !extras.names.empty() ||
           !extras.exportPresets.empty() || !OtherExtrasKeys(extras).empty();
}

std::vector<std::string> OtherExtrasKeys(const ProjectExtras& extras)
{
    std::vector<std::string> keys;
    if (extras.readObject.empty()) return keys;
    const Json object = Json::parse(extras.readObject, nullptr, false);
    if (!object.is_object()) return keys;
    for (auto it = object.begin(); it != object.end(); ++it)
        if (!IsOneOf(it.key(), kOwnKeys)) keys.push_back(it.key());
    return keys;
}

bool ParseProjectExtras(const std::string& text, ProjectExtras& extras, std::string& message)
{
    Json object;
    try
    {
        const auto limitDepth = [](int depth, Json::parse_event_t, Json&)
        {
            if (depth > kMaxDepth) throw TooDeep{};
            return true;
        };
        object = Json::parse(text, limitDepth);
    }
    catch (const TooDeep&)
    {
        message = "is nested more than " + std::to_string(kMaxDepth) + " levels deep";
        return false;
    }
    catch (const Json::exception& error) // a syntax error, or a number too large for any type
    {
        // "[json.exception.parse_error.101] parse error at line 1, column 2: ..." without its tag.
        std::string detail = error.what();
        const std::size_t tagEnd = detail.find("] ");
        if (detail.rfind("[json.exception.", 0) == 0 && tagEnd != std::string::npos)
            detail.erase(0, tagEnd + 2);
        message = "is not valid JSON (" + detail + ")";
        return false;
    }

    if (!object.is_object())
    {
        message = std::string("is not a project extras file (it holds ") + TypeName(object) +
                  ", not a JSON object)";
        return false;
    }
    const auto format = object.find("format");
    if (format == object.end() || !format->is_string() || format->get<std::string>() != kExtrasFormatName)
    {
        message = std::string("is not a project extras file (its \"format\" is ") +
                  (format == object.end() ? std::string("missing") : Dump(*format)) + ", not \"" +
                  kExtrasFormatName + "\")";
        return false;
    }
    const auto version = object.find("version");
    if (version == object.end())
    {
        message = "has no \"version\"";
        return false;
    }
    if (!version->is_number_integer())
    {
        message = std::string("\"version\" is ") + TypeName(*version) + ", not a whole number";
        return false;
    }
    if (version->is_number_unsigned() ? version->get<std::uint64_t>() < 1 : version->get<std::int64_t>() < 1)
    {
        message = "\"version\" " + Dump(*version) + " is not a version number";
        return false;
    }
    if (version->get<std::uint64_t>() > static_cast<std::uint64_t>(kExtrasVersion))
    {
        message = "was written by a newer version of Kelmora (extras version " + Dump(*version) +
                  "; this one reads version " + std::to_string(kExtrasVersion) + ")";
        return false;
    }

    std::vector<Sequence> sequences;
    const auto list = object.find("sequences");
    if (list != object.end())
    {
        if (!list->is_array())
        {
            message = std::string("\"sequences\" is ") + TypeName(*list) + ", not a list";
            return false;
        }
        for (std::size_t i = 0; i < list->size(); ++i)
        {
            Sequence sequence;
            if (!ReadSequence((*list)[i], i, sequence, message)) return false;
            sequences.push_back(std::move(sequence));
        }
    }
    const std::string problem = CheckSequences(sequences);
    if (!problem.empty())
    {
        message = problem;
        return false;
    }

    std::vector<SpriteObject> objects;
    const auto objectList = object.find("objects");
    if (objectList != object.end() && !ReadObjects(*objectList, objects, message)) return false;
    std::map<int, std::string> names;
    const auto nameTable = object.find("names");
    if (nameTable != object.end() && !ReadNames(*nameTable, names, message)) return false;
    std::vector<ListingPreset> presets;
    const auto presetTable = object.find("exportPresets");
    if (presetTable != object.end() && !ReadPresets(*presetTable, presets, message)) return false;

    extras.sequences = std::move(sequences);
    extras.objects = std::move(objects);
    extras.names = std::move(names);
    extras.exportPresets = std::move(presets);
    extras.readObject = Dump(object);
    return true;
}

std::string SerialiseProjectExtras(const ProjectExtras& extras)
{
    Json object = Json::object();
    if (!extras.readObject.empty())
    {
        Json read = Json::parse(extras.readObject, nullptr, false);
        if (read.is_object()) object = std::move(read);
    }
    // Placeholders keep the record's keys where the file had them (new files: first).
    object["format"] = kExtrasFormatName;
    object["version"] = kExtrasVersion;
    object["sequences"] = nullptr;
    // The other keys of the record are written only when they hold something (or the file
    // had them), so a file of sequences alone stays as it was.
    const auto keep = [&object](const char* key, bool used, Json value)
    {
        if (used || object.contains(key)) object[key] = std::move(value);
    };
    keep("objects", !extras.objects.empty(), ObjectsJson(extras.objects));
    keep("names", !extras.names.empty(), NamesJson(extras.names));
    keep("exportPresets", !extras.exportPresets.empty(), PresetsJson(extras.exportPresets));

    std::string text = "{";
    bool first = true;
    for (auto it = object.begin(); it != object.end(); ++it)
    {
        text += first ? "\n  " : ",\n  ";
        first = false;
        text += Dump(Json(it.key())) + ": ";
        if (it.key() == "sequences")
            text += SequencesText(extras.sequences);
        else
            text += Nested(it.value(), "  ");
    }
    return text + "\n}\n";
}

std::string ExtrasPathFor(const std::string& projectPath)
{
    return projectPath + kExtrasSuffix;
}

ExtrasReadStatus ReadProjectExtras(const std::string& projectPath, ProjectExtras& extras,
                                   std::string& message)
{
    const std::string path = ExtrasPathFor(projectPath);
    std::error_code ec;
    const std::filesystem::file_status status = std::filesystem::status(std::filesystem::u8path(path), ec);
    if (status.type() == std::filesystem::file_type::not_found) return ExtrasReadStatus::Missing;

    std::vector<std::uint8_t> bytes;
    FileResult why;
    switch (ReadWholeFile(path.c_str(), kMaxExtrasBytes, bytes, &why))
    {
    case ReadStatus::Ok:
        break;
    case ReadStatus::TooLarge:
        message = "is larger than " + std::to_string(kMaxExtrasBytes / (1024 * 1024)) + " MiB";
        return ExtrasReadStatus::Refused;
    case ReadStatus::CannotOpen:
    case ReadStatus::ReadError:
        message = "could not be read: " + FileErrorText(why);
        return ExtrasReadStatus::Refused;
    }
    if (!ParseProjectExtras(std::string(bytes.begin(), bytes.end()), extras, message))
        return ExtrasReadStatus::Refused;
    return ExtrasReadStatus::Read;
}

bool WriteProjectExtras(const std::string& projectPath, const ProjectExtras& extras)
{
    const std::string text = SerialiseProjectExtras(extras);
    return WriteWholeFile(ExtrasPathFor(projectPath).c_str(), text.data(), text.size());
}

int SaveProjectWithExtras(const SpriteBank* bank, const ProjectExtras* extras, const char* path,
                          FileResult* why, bool* failedSideFile)
{
    if (failedSideFile != nullptr) *failedSideFile = false;
    const std::vector<u8> project = EncodeProject(bank);
    if (project.empty() || path == nullptr)
    {
        SetFileResult(why, FileError::Invalid);
        return 0;
    }
    std::vector<OutputFile> files(1);
    files[0].path = path;
    files[0].data = project.data();
    files[0].size = project.size();
    std::string side;
    if (extras != nullptr)
    {
        side = SerialiseProjectExtras(*extras);
        OutputFile file;
        file.path = ExtrasPathFor(path);
        file.data = side.data();
        file.size = side.size();
        files.push_back(file);
    }
    std::size_t failed = 0;
    if (WriteFilesTogether(files, false, why, &failed)) return 1;
    if (failedSideFile != nullptr) *failedSideFile = failed == 1;
    return 0;
}

} // namespace kelmora
