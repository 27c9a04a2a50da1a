// Raw and PRG sprite data in the native or SEUCK attribute layout, and the
// fixed 127-sprite SEUCK sprite file.
#pragma once

#include "core/FileResult.h"
#include "core/Types.h"

#include <vector>

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

// The same, with the reason for a refusal or failure in *why (when not null). An input too
// short for its kind is FileError::WrongSize; why->fileSize holds the input's size once it
// was opened, also after a successful import (auto-detection took it as PRG data when
// size % 64 == 2).
int ImportSprites(SpriteBank* bank, const char* path, int fileKind, int attrFormat, FileResult* why);
int ExportSprites(const SpriteBank* bank, const char* path, int count, int loadAddress, int attrFormat,
                  FileResult* why);
int SaveSeuckFile(const SpriteBank* bank, const char* path, FileResult* why);

// The bytes ExportSprites and SaveSeuckFile write; empty when the arguments are refused.
std::vector<u8> EncodeExport(const SpriteBank* bank, int count, int loadAddress, int attrFormat);
std::vector<u8> EncodeSeuckFile(const SpriteBank* bank);

} // namespace kelmora
