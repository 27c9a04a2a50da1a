// Sprite files in and out of a bank, through the store's own readers and writers,
// with the reason for every refusal in words.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cli/Args.h"
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

// Writes the bank's sprites in use to path as format (Project, Raw, Prg or Seuck);
// attr (Native or Seuck) for raw and PRG data, loadAddress for PRG. On failure
// returns false with reason set.
bool WriteSprites(const kelmora::SpriteBank& bank, const std::string& path, Format format, AttrLayout attr,
                  int loadAddress, std::string& reason);

// Copies slots first..last of source to the front of target, which then holds
// exactly those sprites in use and the source's colours.
void TakeRange(const LoadedBank& source, int first, int last, LoadedBank& target);

// Why path cannot be read: empty when it is a regular file that opens.
std::string ReadProblem(const std::string& path);
// Why writing path failed, as well as can be told afterwards.
std::string WriteProblem(const std::string& path);
// True when anything, even a dangling link, stands at path.
bool PathTaken(const std::string& path);
// Replaces path with bytes (atomically, as every writer of the store does).
bool WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);

} // namespace kelmora::cli
