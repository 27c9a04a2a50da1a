// Sprite files in and out of a bank, through the store's own readers and writers,
// with the reason for every refusal in words.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cli/Args.h"
#include "core/FileResult.h"
#include "core/OutputFiles.h"
#include "core/Types.h"

namespace kelmora::cli
{

// A bank with its own sprites block, as the editor starts it: every slot cleared,
// colours 11, 0, 5, 1, no sprites in use.
struct LoadedBank
{
    std::vector<kelmora::u8> block;
    kelmora::SpriteBank bank{};
    Format format = Format::Guess; // what was read; Auto is resolved to Raw or Prg
    bool autoDetected = false;     // the format came from the file's size
    bool hasColours = false;       // the file held the three shared colours

    LoadedBank();
    LoadedBank(const LoadedBank&) = delete;
    LoadedBank& operator=(const LoadedBank&) = delete;
};

// Reads path as format (not Guess) with the attribute layout attr (Native, Seuck or
// Ignore) into loaded. On refusal returns false with reason set; loaded is unchanged.
bool ReadSprites(const std::string& path, Format format, AttrLayout attr, LoadedBank& loaded,
                 std::string& reason);

// The bytes of the bank's sprites in use as format (Project, Raw, Prg or Seuck); attr
// (Native or Seuck) for raw and PRG data, loadAddress for PRG. Empty when refused.
std::vector<std::uint8_t> EncodeSprites(const kelmora::SpriteBank& bank, Format format, AttrLayout attr,
                                        int loadAddress);

// Writes every output or none of them; without force an existing file is never replaced.
// On failure returns false with failedPath naming the output and reason in words.
bool WriteOutputs(const std::vector<kelmora::OutputFile>& files, bool force, std::string& failedPath,
                  std::string& reason);

// Copies slots first..last of source to the front of target, which then holds
// exactly those sprites in use and the source's colours.
void TakeRange(const LoadedBank& source, int first, int last, LoadedBank& target);

// Why a file could not be read, in words: the system's description of the error.
std::string ReadFailureText(const kelmora::FileResult& why);
// Why path could not be written: "already exists (use --force to replace it)", or
// "not written: " with the system's description and a hint where one helps.
std::string WriteFailureText(const std::string& path, const kelmora::FileResult& why);

// True when anything, even a dangling link, stands at path.
bool PathTaken(const std::string& path);

} // namespace kelmora::cli
