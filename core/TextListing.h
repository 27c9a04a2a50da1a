// The assembler-style text listing of a range of sprites.
#pragma once

#include "core/Types.h"

namespace kelmora
{

// Writes slots first..last (as given; none when first > last) in decimal or,
// with hex 1, as "$%02X". Returns 1 when written, -1 when refused or failed.
int WriteTextListing(const u8* block, int first, int last, const char* path, int hex);

} // namespace kelmora
