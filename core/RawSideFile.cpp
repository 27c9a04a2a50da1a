// The colour side file of raw sprite data.
#include "core/RawSideFile.h"

#include <vector>

#include "core/FileIO.h"

namespace kelmora
{

std::string RawSideFileName(const char* rawPath)
{
    return std::string(rawPath == nullptr ? "" : rawPath) + ".inf";
}

bool ReadRawSideColours(const char* rawPath, u8 colours[kSideFileBytes])
{
    if (rawPath == nullptr || colours == nullptr) return false;
    // Read as every input is: a pipe or a device there is refused without waiting on it.
    std::vector<u8> data;
    if (ReadWholeFile(RawSideFileName(rawPath).c_str(), kSideFileBytes, data) != ReadStatus::Ok ||
        data.size() != static_cast<std::size_t>(kSideFileBytes))
        return false;
    for (int i = 0; i < kSideFileBytes; ++i)
        colours[i] = data[static_cast<std::size_t>(i)];
    return true;
}

} // namespace kelmora
