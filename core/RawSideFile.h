// The colour side file of raw sprite data: NAME.inf beside the raw file NAME holds the
// three shared colours (background, multi-colour 1, multi-colour 2), one byte each. The
// raw loader reads it with the sprites; the import dialog offers it on its own.
#pragma once

#include <string>

#include "core/Types.h"

namespace kelmora
{

constexpr int kSideFileBytes = 3;

// The side file's name for the raw file at rawPath: rawPath followed by ".inf".
std::string RawSideFileName(const char* rawPath);

// Reads the side file of the raw file at rawPath into colours (background, multi-colour 1,
// multi-colour 2). True only for a readable regular file of exactly three bytes, the same
// rule the raw loader keeps; anything else leaves colours untouched.
bool ReadRawSideColours(const char* rawPath, u8 colours[kSideFileBytes]);

} // namespace kelmora
