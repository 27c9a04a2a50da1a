// Project extras: what a project file (NAME.kmd, colours and sprite bytes only) cannot
// hold, kept beside it in NAME.kmd.json:
//
//   {"format": "kelmora-project-extras", "version": 1,
//    "sequences": [{"name": "walk", "mode": "loop", "frames": [{"slot": 0, "delay": 4}]}]}
//
// Keys this version does not know (a newer version's data, other tools' notes) are kept
// and written back as they were, in their place; only the keys read into the record are
// rewritten. A file that cannot be used is refused as a whole with a message, and the
// record it was to fill stays as it was.
#pragma once

#include <string>
#include <vector>

#include "core/Sequences.h"

namespace kelmora
{

constexpr const char* kExtrasFormatName = "kelmora-project-extras";
constexpr int kExtrasVersion = 1;
constexpr const char* kExtrasSuffix = ".json";             // NAME.kmd -> NAME.kmd.json
constexpr std::size_t kMaxExtrasBytes = 16u * 1024 * 1024; // larger side files are refused

struct ProjectExtras
{
    std::vector<Sequence> sequences;
    // The whole object as it was last read, as compact JSON text ("" when none was read).
    // Writing starts from it, so keys that are not in the record survive.
    std::string readObject;
};

bool operator==(const ProjectExtras& a, const ProjectExtras& b);
bool operator!=(const ProjectExtras& a, const ProjectExtras& b);

// True when the extras hold anything a side file would keep: a sequence, or a key this
// version does not know.
bool HasExtras(const ProjectExtras& extras);
// The keys of the object last read that this version does not know, in file order.
std::vector<std::string> OtherExtrasKeys(const ProjectExtras& extras);

// Reads the text of a side file into extras. Refused (false, extras unchanged, message
// set) when it is not JSON, not an object, has another "format", a "version" that is not
// a whole number 1..kExtrasVersion (a newer one included), or a known key of the wrong
// type or value; sequence messages name the sequence.
bool ParseProjectExtras(const std::string& text, ProjectExtras& extras, std::string& message);

// The side file's text: the object last read with "format", "version" and the record's
// keys set from the record, indented by two spaces, ending in a line feed.
std::string SerialiseProjectExtras(const ProjectExtras& extras);

// projectPath + ".json".
std::string ExtrasPathFor(const std::string& projectPath);

enum class ExtrasReadStatus
{
    Read,    // extras hold the side file
    Missing, // there is no side file: extras are left as they were
    Refused, // the side file could not be read or used: extras unchanged, message says why
};

// Reads the side file of the project at projectPath.
ExtrasReadStatus ReadProjectExtras(const std::string& projectPath, ProjectExtras& extras,
                                   std::string& message);

// Replaces the side file of the project at projectPath with the text of extras, as every
// writer of the store replaces a file. Saving a project together with its side file is
// one transaction of the file layer; this writes the side file alone.
bool WriteProjectExtras(const std::string& projectPath, const ProjectExtras& extras);

} // namespace kelmora
