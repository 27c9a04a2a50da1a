// Reading the C64 memory out of a VICE emulator snapshot.
#include "core/Snapshot.h"

#include <cstring>
#include <vector>

#include "core/FileIO.h"

namespace kelmora
{

namespace
{

const std::uint8_t kSnapshotMagic[] = {'V', 'I', 'C', 'E', ' ', 'S', 'n', 'a', 'p',
                                       's', 'h', 'o', 't', ' ', 'F', 'i', 'l', 'e'};
const std::uint8_t kMemoryModule[] = {'C', '6', '4', 'M', 'E', 'M'};

} // namespace

long long FindPattern(const std::uint8_t* data, std::size_t length, std::size_t patternLength,
                      const std::uint8_t* pattern)
{
    if (data == nullptr || pattern == nullptr || length < patternLength) return -1;
    const std::size_t last = length - patternLength;
    for (std::size_t start = 0; start <= last; ++start)
    {
        std::size_t i = 0;
        while (i < patternLength && (pattern[i] == 0xFF || pattern[i] == data[start + i]))
            ++i;
        if (i == patternLength) return static_cast<long long>(start);
    }
    return -1;
}

bool ExtractC64Ram(const std::uint8_t* data, std::size_t length, std::uint8_t* ram)
{
    if (data == nullptr || ram == nullptr) return false;
    if (FindPattern(data, length, sizeof kSnapshotMagic, kSnapshotMagic) < 0) return false;
    const long long found = FindPattern(data, length, sizeof kMemoryModule, kMemoryModule);
    if (found < 0) return false;
    // Refuse a memory image cut short rather than read past the end of the data.
    const std::size_t p = static_cast<std::size_t>(found);
    if (length - p < kC64RamOffset || length - p - kC64RamOffset < kC64RamBytes) return false;
    std::memcpy(ram, data + p + kC64RamOffset, kC64RamBytes);
    return true;
}

SnapshotStatus ReadSnapshotRam(const char* path, std::uint8_t* ram)
{
    if (ram == nullptr) return SnapshotStatus::CannotOpen;
    std::vector<std::uint8_t> data;
    std::uint64_t size = 0;
    if (ReadFileHead(path, kMaxSnapshotBytes, data, size) != ReadStatus::Ok)
        return SnapshotStatus::CannotOpen;
    return ExtractC64Ram(data.data(), data.size(), ram) ? SnapshotStatus::Ok : SnapshotStatus::Invalid;
}

void CopyVideoBank(const std::uint8_t* ram, int bank, std::uint8_t* block)
{
    if (ram == nullptr || block == nullptr || bank < 0 || bank >= kVideoBankCount) return;
    std::memcpy(block, ram + static_cast<std::size_t>(bank) * kVideoBankBytes, kVideoBankBytes);
}

} // namespace kelmora
