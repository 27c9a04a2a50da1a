// listing's options as the command line gives them: parsed into the core's
// ListingOptions and checked together with --dialect.
#pragma once

#include <string>

#include "cli/Args.h"
#include "core/Listing.h"

namespace kelmora::cli
{

// The core's dialect of a dialect other than Plain.
kelmora::ListingDialect CoreDialect(Dialect dialect);

// Applies the value of one of listing's options (its long name without "--": dialect,
// numbers, rows, bytes, zero-attributes, label, labels, align, header, prg, start-line,
// line-step, loader) to options. Returns "" or the usage error.
std::string ApplyListingOption(const std::string& name, const std::string& value,
                               kelmora::ListingOptions& options);

// The usage error of listing's options taken together (an option the dialect has no use
// for), or "".
std::string ListingOptionsError(const Options& o);

} // namespace kelmora::cli
