// Project extras: what a project file (NAME.kmd, colours and sprite bytes only) cannot
// hold, kept beside it in NAME.kmd.json:
//
//   {"format": "kelmora-project-extras", "version": 1,
//    "sequences": [{"name": "walk", "mode": "loop", "frames": [{"slot": 0, "delay": 4}]},
//                  {"name": "stomp", "frames": [{"object": "boss", "delay": 8}]}],
//    "objects": [{"name": "boss", "columns": 2, "rows": 2, "cells": [0, 1, 2, 3]}],
//    "names": {"0": "ship", "5": "boss_head"},
//    "exportPresets": {"game": {"dialect": "acme", "numbers": "hex", ...}}}
//
// Keys this version does not know (a newer version's data, other tools' notes) are kept
// and written back as they were, in their place; only the keys read into the record are
// rewritten. A file that cannot be used is refused as a whole with a message, and the
// record it was to fill stays as it was.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "core/FileResult.h"
#include "core/Listing.h"
#include "core/Objects.h"
#include "core/Sequences.h"

namespace kelmora
{

constexpr const char* kExtrasFormatName = "kelmora-project-extras";
constexpr int kExtrasVersion = 1;
constexpr const char* kExtrasSuffix = ".json";             // NAME.kmd -> NAME.kmd.json
constexpr std::size_t kMaxExtrasBytes = 16u * 1024 * 1024; // larger side files are refused
constexpr std::size_t kMaxSpriteNameBytes = 64;            // a sprite's name, in UTF-8 bytes

// A named set of listing options (the Export Listing dialog's and kelmora-cli's --preset).
struct ListingPreset
{
    std::string name;
    ListingOptions options;
};

struct ProjectExtras
{
    std::vector<Sequence> sequences;
    std::vector<SpriteObject> objects;
    std::map<int, std::string> names; // slot -> its name; unnamed slots are left out
    std::vector<ListingPreset> exportPresets;
    // The whole object as it was last read, as compact JSON text ("" when none was read).
    // Writing starts from it, so keys that are not in the record survive.
    std::string readObject;
};

bool operator==(const ProjectExtras& a, const ProjectExtras& b);
bool operator!=(const ProjectExtras& a, const ProjectExtras& b);

// True when the extras hold anything a side file would keep: a sequence, an object, a
// name, a preset, or a key this version does not know.
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

// Why a sprite name cannot be kept ("" when it can): empty, longer than
// kMaxSpriteNameBytes, not UTF-8, or holding a control character.
std::string SpriteNameProblem(const std::string& name);
// The name of slot, or "" when it has none.
std::string SpriteName(const ProjectExtras& extras, int slot);
// The preset called name, or null.
const ListingPreset* FindListingPreset(const ProjectExtras& extras, const std::string& name);

// Replaces the side file of the project at projectPath with the text of extras, as every
// writer of the store replaces a file. Saving a project together with its side file is
// one transaction of the file layer (SaveProjectWithExtras); this writes the side file alone.
bool WriteProjectExtras(const std::string& projectPath, const ProjectExtras& extras);

// Saves the project at path and, when extras is not null, its side file path + ".json",
// as one transaction: both are replaced, or neither. Returns 1 when written, 0 on
// failure with the reason in *why (when not null) and *failedSideFile telling whether the
// side file was the one that failed.
int SaveProjectWithExtras(const SpriteBank* bank, const ProjectExtras* extras, const char* path,
                          FileResult* why, bool* failedSideFile = nullptr);

} // namespace kelmora
