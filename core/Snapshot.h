// Reading the C64 memory out of a VICE emulator snapshot (.vsf) and copying its
// 16 KB video banks into a sprites block.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kelmora
{

constexpr std::size_t kC64RamBytes = 65536;
constexpr int kVideoBankBytes = 16384; // one video bank: 256 sprites of 64 bytes
constexpr int kVideoBankCount = 4;
// The snapshot reader never reads more than this many bytes of a file.
constexpr std::uint64_t kMaxSnapshotBytes = 64ull * 1024 * 1024;
// Where the RAM starts, counted from the first byte of the memory module's name.
constexpr std::size_t kC64RamOffset = 26;

// The position of the first occurrence of pattern in data, or -1. A pattern byte 0xFF
// matches any byte (so a literal 0xFF cannot be searched for). -1 as well when length is
// below patternLength or a pointer is null; an empty pattern is found at 0.
long long FindPattern(const std::uint8_t* data, std::size_t length, std::size_t patternLength,
                      const std::uint8_t* pattern);

// Finds "VICE Snapshot File" anywhere in data, then the first "C64MEM" from the start of
// data at position p, and copies the 65,536 bytes at p + 26 into ram. Returns false, with
// ram untouched, when either text is missing or fewer than 65,536 bytes follow p + 26.
bool ExtractC64Ram(const std::uint8_t* data, std::size_t length, std::uint8_t* ram);

enum class SnapshotStatus
{
    Ok,         // ram holds the snapshot's memory
    CannotOpen, // missing, unreadable, a folder or a device: nothing to report
    Invalid,    // not a complete C64 snapshot
};

// Reads the snapshot at path (UTF-8) into ram (65,536 bytes); ram is changed only on Ok.
// At most the first 64 MiB of the file are read: a longer file is searched in that part
// only, where a real snapshot keeps its memory module near the start.
SnapshotStatus ReadSnapshotRam(const char* path, std::uint8_t* ram);

// Copies the 16,384 bytes of video bank 0..3 of ram into block (a sprites block), so that
// sprite k is C64 memory bank * 16384 + 64k onwards. Any other bank or a null pointer does nothing.
void CopyVideoBank(const std::uint8_t* ram, int bank, std::uint8_t* block);

} // namespace kelmora
