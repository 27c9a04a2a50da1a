// The editor's project file (.kmd) and raw sprite data with its ".inf" side file.
//
// Project: colourTransp, colourMulti1, colourMulti2, then spriteCount sprites of
// 64 bytes. Raw: 64 * n bytes (n 1..256); the optional side file NAME.inf holds the
// three shared colours.
#pragma once

#include "core/FileResult.h"
#include "core/Types.h"

#include <vector>

namespace kelmora
{

int SaveProject(const SpriteBank* bank, const char* path); // 1 written, 0 failed
int LoadProject(SpriteBank* bank, const char* path);       // 1 loaded, 0 refused (bank unchanged)
int LoadRawSprites(SpriteBank* bank, const char* path);    // 1 loaded, 0 refused (bank unchanged)

// The same, with the reason for a refusal or failure in *why (when not null). A file whose
// size is no project (3 + 64 * n bytes, n 0..256) or no raw data is FileError::WrongSize;
// why->fileSize holds the input's size once it was opened, also after a successful load.
int SaveProject(const SpriteBank* bank, const char* path, FileResult* why);
int LoadProject(SpriteBank* bank, const char* path, FileResult* why);
// *coloursRead (when not null) tells whether the side file gave the three colours: only a
// regular file of exactly three bytes does; anything else there is ignored.
int LoadRawSprites(SpriteBank* bank, const char* path, FileResult* why, bool* coloursRead = nullptr);

// The bytes SaveProject writes; empty when the bank is refused.
std::vector<u8> EncodeProject(const SpriteBank* bank);

} // namespace kelmora
