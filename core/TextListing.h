// The assembler-style text listing of a range of sprites.
#pragma once

#include "core/FileResult.h"
#include "core/Types.h"

#include <string>

namespace kelmora
{

// Writes slots first..last (as given; none when first > last) in decimal or,
// with hex 1, as "$%02X". Returns 1 when written, -1 when refused or failed.
int WriteTextListing(const u8* block, int first, int last, const char* path, int hex);
// The same, with the reason for a refusal or failure in *why (when not null).
int WriteTextListing(const u8* block, int first, int last, const char* path, int hex, FileResult* why);

// The text WriteTextListing writes into text; false (text unchanged) when refused.
bool EncodeTextListing(const u8* block, int first, int last, int hex, std::string& text);

} // namespace kelmora
