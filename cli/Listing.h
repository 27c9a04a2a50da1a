// kelmora-cli's listings: the listing command's options and words, and import-listing's
// reading, over the core's FormatListing and ReadListing.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

#include "cli/Args.h"
#include "cli/Files.h"
#include "core/Listing.h"
#include "core/ListingReader.h"
#include "core/ProjectExtras.h"
#include "core/Types.h"

namespace kelmora::cli
{

constexpr const char* kDefaultCArrayName = "sprites";

// The listing of slots first..last (first <= last, both 0..255) of block in a
// dialect other than Plain with the default options. label may be empty: no label
// line (C uses "sprites").
std::string FormatListing(const kelmora::u8* block, int first, int last, Dialect dialect, bool hex,
                          const std::string& label);

// The side file of listing's input, where its presets and sprite names are kept.
struct InputExtras
{
    bool project = false; // the input is a project (only a project has a side file)
    std::string path;     // the side file's path
    kelmora::ExtrasReadStatus status = kelmora::ExtrasReadStatus::Missing;
    kelmora::ProjectExtras extras;
    std::string message; // why the side file was refused
};
// Reads the side file of input when isProject (not otherwise: the status stays Missing).
InputExtras ReadInputExtras(const std::string& input, bool isProject);

// --preset: o's listing options become the preset's from the input's side file, with the
// options given on the command line over them. false with reason when there is no such
// preset, or the side file cannot be used.
bool ApplyListingPreset(Options& o, const InputExtras& extras, std::string& reason);

// The sprite names --labels names takes labels from (one per slot, "" when unnamed): the
// input project's. A side file that cannot be used is a refusal (false with reason); an
// input that is not a project gives no names and a warning on err.
bool ListingNames(const Options& o, const InputExtras& extras, std::vector<std::string>& names,
                  std::string& reason, std::ostream& err);

// The bytes the listing command writes for a dialect other than Plain, with names for
// --labels names. false with reason when the options cannot be met for these sprites.
bool ListingBytes(const Options& o, const LoadedBank& input, int first, int last,
                  const std::vector<std::string>& names, std::vector<std::uint8_t>& bytes,
                  std::string& reason);

// Reads the listing at path (63 or 64 bytes a sprite, 0: found out) into loaded, which
// then holds its sprites in use, and names (one per sprite, "" when unnamed). On refusal
// returns false with reason set; loaded and names are unchanged.
bool ReadListingFile(const std::string& path, int bytesPerSprite, LoadedBank& loaded,
                     std::vector<std::string>& names, std::string& reason);

} // namespace kelmora::cli
