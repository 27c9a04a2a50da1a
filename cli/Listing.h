// Sprite listings for assemblers and C compilers.
//
// The plain listing is the editor's own (WriteTextListing). The dialects keep its
// shape, a comment per sprite and one line of 64 values, and put each line of
// values behind the dialect's data directive, so the file assembles as it is.
#pragma once

#include <string>

#include "cli/Args.h"
#include "core/Types.h"

namespace kelmora::cli
{

constexpr const char* kDefaultCArrayName = "sprites";

// The listing of slots first..last (first <= last, both 0..255) of block in a
// dialect other than Plain. label may be empty: no label line (C uses "sprites").
std::string FormatListing(const kelmora::u8* block, int first, int last, Dialect dialect, bool hex,
                          const std::string& label);

} // namespace kelmora::cli
