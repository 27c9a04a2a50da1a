// Reading the C64 memory out of a VICE emulator snapshot (.vsf) and copying its
// 16 KB video banks into a sprites block.
//
// A snapshot starts with "VICE Snapshot File" and the byte 0x1A, two version bytes and
// the 16-byte machine name (zero-padded), optionally followed by "VICE Version" and the
// byte 0x1A with 8 bytes of version numbers. Then come modules, each with a 16-byte name,
// two version bytes and a 4-byte little-endian length that counts its 22-byte header.
// The C64's memory is the module "C64MEM": 4 bytes of processor port and cartridge lines,
// then the 65,536 bytes of RAM.
#pragma once

#include "core/FileResult.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace kelmora
{

constexpr std::size_t kC64RamBytes = 65536;
constexpr int kVideoBankBytes = 16384; // one video bank: 256 sprites of 64 bytes
constexpr int kVideoBankCount = 4;
// The snapshot reader never reads more than this many bytes of a file.
constexpr std::uint64_t kMaxSnapshotBytes = 64ull * 1024 * 1024;
// Where the RAM starts, counted from the first byte of the memory module's name.
constexpr std::size_t kC64RamOffset = 26;
// The header of every module: name, version and length.
constexpr std::size_t kSnapshotModuleHeaderBytes = 22;

// The position of the first occurrence of pattern in data, or -1. A pattern byte 0xFF
// matches any byte (so a literal 0xFF cannot be searched for). -1 as well when length is
// below patternLength or a pointer is null; an empty pattern is found at 0.
long long FindPattern(const std::uint8_t* data, std::size_t length, std::size_t patternLength,
                      const std::uint8_t* pattern);

// Why a snapshot was refused.
enum class SnapshotProblem
{
    None,
    NotASnapshot,     // the file does not start with the snapshot's magic text
    HeaderCut,        // the file ends inside the header
    OtherMachine,     // the header names a machine other than "C64" or "C64SC"
    ModulePastEnd,    // a module's length runs past the end of the data
    ModuleTooShort,   // a module's length is shorter than its own header
    NoMemoryModule,   // the module table holds no "C64MEM"
    IncompleteMemory, // the "C64MEM" module is too short to hold the whole RAM, or cut off
};

// What a snapshot showed besides its memory.
struct SnapshotFacts
{
    SnapshotProblem problem = SnapshotProblem::None;
    std::string machine;             // the machine name in the header, as stored
    std::uint64_t problemOffset = 0; // where the module that was refused starts
    std::uint64_t memoryModule = 0;  // where the memory module starts (when found)
    int videoBank = -1;              // 0..3, or -1 when there is no usable CIA2 module
    bool beyondReadLimit = false;    // the data was cut at kMaxSnapshotBytes before the problem
};

// Parses a snapshot held in memory by its structure: the magic text at offset 0, an accepted
// machine name, then the module table from its start, every module's length checked. The
// memory is taken from the first module named "C64MEM", whose length must hold the whole
// 64 KiB; a damaged module after it only ends the table. On success copies the RAM into ram
// and returns true; otherwise ram is untouched. facts (when not null) is filled either way.
bool ParseSnapshot(const std::uint8_t* data, std::size_t length, std::uint8_t* ram, SnapshotFacts* facts);

// The same as ParseSnapshot without the facts (kept for existing callers).
bool ExtractC64Ram(const std::uint8_t* data, std::size_t length, std::uint8_t* ram);

// The video bank (0..3: memory bank * 16384) the video chip sees, from the CIA 2 port A
// register and its data direction register: bits 0-1 select bank 3 - value, and a bit
// that is not driven as an output reads as 1.
int VideoBankFromCia2(std::uint8_t portA, std::uint8_t directionA);

// The video bank of a snapshot held in memory, from its "CIA2" module; -1 when the snapshot
// is refused or has no such module.
int SnapshotVideoBank(const std::uint8_t* data, std::size_t length);

enum class SnapshotStatus
{
    Ok,         // ram holds the snapshot's memory
    CannotOpen, // missing, unreadable, a folder or a device: nothing to report
    Invalid,    // not a complete C64 snapshot
};

// Reads the snapshot at path (UTF-8) into ram (65,536 bytes); ram is changed only on Ok.
// At most the first 64 MiB of the file are read: a longer file is parsed in that part
// only, where a real snapshot keeps its memory module near the start.
SnapshotStatus ReadSnapshotRam(const char* path, std::uint8_t* ram);
// The same, with why the file could not be read in *why and what it showed (or why it was
// refused as Invalid) in *facts; either may be null.
SnapshotStatus ReadSnapshot(const char* path, std::uint8_t* ram, SnapshotFacts* facts, FileResult* why);

// The reason for an Invalid snapshot in words ("this is a snapshot of a C128", "the memory
// module is incomplete"); empty when there is no problem. Bytes of the machine name outside
// printable ASCII appear as \xNN, so the text is safe to show on a terminal.
std::string SnapshotProblemText(const SnapshotFacts& facts);

// Copies the 16,384 bytes of video bank 0..3 of ram into block (a sprites block), so that
// sprite k is C64 memory bank * 16384 + 64k onwards. Any other bank or a null pointer does nothing.
void CopyVideoBank(const std::uint8_t* ram, int bank, std::uint8_t* block);

} // namespace kelmora
