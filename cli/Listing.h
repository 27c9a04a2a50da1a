// kelmora-cli's listings: the listing command's options and words, and import-listing's
// reading, over the core's FormatListing and ReadListing.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cli/Args.h"
#include "cli/Files.h"
#include "core/Listing.h"
#include "core/ListingReader.h"
#include "core/Types.h"

namespace kelmora::cli
{

constexpr const char* kDefaultCArrayName = "sprites";

// The listing of slots first..last (first <= last, both 0..255) of block in a
// dialect other than Plain with the default options. label may be empty: no label
// line (C uses "sprites").
std::string FormatListing(const kelmora::u8* block, int first, int last, Dialect dialect, bool hex,
                          const std::string& label);

// --preset: o's listing options become the preset's, with the options given on the
// command line over them. false with reason when there is no such preset.
bool ApplyListingPreset(Options& o, std::string& reason);

// The bytes the listing command writes for a dialect other than Plain. false with reason
// when the options cannot be met for these sprites.
bool ListingBytes(const Options& o, const LoadedBank& input, int first, int last,
                  std::vector<std::uint8_t>& bytes, std::string& reason);

// Reads the listing at path (63 or 64 bytes a sprite, 0: found out) into loaded, which
// then holds its sprites in use, and names (one per sprite, "" when unnamed). On refusal
// returns false with reason set; loaded and names are unchanged.
bool ReadListingFile(const std::string& path, int bytesPerSprite, LoadedBank& loaded,
                     std::vector<std::string>& names, std::string& reason);

// Words for a listing that could not be read.
std::string ListingReadProblemText(const kelmora::ListingReadResult& result);

} // namespace kelmora::cli
