// Raw and PRG sprite data in the native or SEUCK attribute layout, and the
// fixed 127-sprite SEUCK sprite file.
#pragma once

#include "core/Types.h"

namespace kelmora
{

enum FileKind
{
    kFileRaw = 0,
    kFilePrg = 1,
    kFileAuto = 2
};
enum ImportAttr
{
    kAttrKeep = 0,
    kAttrSeuck = 1,
    kAttrIgnore = 2
};
enum ExportAttr
{
    kExportNative = 0,
    kExportSeuck = 1
};

constexpr int kSeuckSprites = 127;
constexpr int kSeuckFileBytes = 2 + kSeuckSprites * kSpriteBytes; // 8,130
constexpr u8 kIgnoredAttribute = 140;                             // 0x8C: multicolour, colour 12

u8 NativeToSeuck(u8 attribute);
u8 SeuckToNative(u8 attribute);

int ImportSprites(SpriteBank* bank, const char* path, int fileKind, int attrFormat); // 1 or 0
int ExportSprites(const SpriteBank* bank, const char* path, int count, int loadAddress,
                  int attrFormat);                           // 1 or -1
int SaveSeuckFile(const SpriteBank* bank, const char* path); // 1 or -1

} // namespace kelmora
