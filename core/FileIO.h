// File helpers behind every reader and writer of the store.
//
// Readers take the whole file into memory first (bounded by a size limit), so a
// refused or failed read never touches the bank. Writers replace a regular file
// atomically through a temporary file in the same folder.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kelmora
{

enum class ReadStatus
{
    Ok,
    CannotOpen,
    TooLarge,
    ReadError
};

// Reads a whole regular file of at most maxBytes. A folder, a device, a pipe or a file that
// cannot be opened is CannotOpen; a longer file is TooLarge (nothing is read past the limit);
// a file that turns out shorter than its size, or changes while it is read, is ReadError.
// out is changed only on Ok.
ReadStatus ReadWholeFile(const char* path, std::uint64_t maxBytes, std::vector<std::uint8_t>& out);

// Reads the first min(size, maxBytes) bytes of a regular file of any size and reports
// its full size in fileSize. Folders, devices and unopenable files are CannotOpen.
ReadStatus ReadFileHead(const char* path, std::uint64_t maxBytes, std::vector<std::uint8_t>& out,
                        std::uint64_t& fileSize);

// Replaces path with exactly these bytes. Returns true only when every byte reached
// the file and it was closed without error; on failure an existing file is left intact
// and no temporary file remains.
bool WriteWholeFile(const char* path, const void* data, std::size_t size);

} // namespace kelmora
