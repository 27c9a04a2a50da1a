// The editor's project file (.kmd) and raw sprite data with its ".inf" side file.
//
// Project: colourTransp, colourMulti1, colourMulti2, then spriteCount sprites of
// 64 bytes. Raw: 64 * n bytes (n 1..256); the optional side file NAME.inf holds the
// three shared colours.
#pragma once

#include "core/Types.h"

namespace kelmora
{

int SaveProject(const SpriteBank* bank, const char* path); // 1 written, 0 failed
int LoadProject(SpriteBank* bank, const char* path);       // 1 loaded, 0 refused (bank unchanged)
int LoadRawSprites(SpriteBank* bank, const char* path);    // 1 loaded, 0 refused (bank unchanged)

} // namespace kelmora
