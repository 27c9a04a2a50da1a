// The project file and raw sprite data with its ".inf" colour side file.
#include "core/ProjectFiles.h"

#include "core/FileIO.h"
#include "core/Sprite.h"

#include <cstring>
#include <string>
#include <vector>

namespace kelmora
{

namespace
{

constexpr int kColourBytes = 3;

} // namespace

int SaveProject(const SpriteBank* bank, const char* path)
{
    if (bank == nullptr || bank->sprites == nullptr || path == nullptr || bank->spriteCount < 0 ||
        bank->spriteCount > kSlotCount)
        return 0;
    const std::size_t spriteBytes = static_cast<std::size_t>(bank->spriteCount) * kSpriteBytes;
    std::vector<u8> data(kColourBytes + spriteBytes);
    data[0] = bank->colourTransp;
    data[1] = bank->colourMulti1;
    data[2] = bank->colourMulti2;
    std::memcpy(data.data() + kColourBytes, bank->sprites, spriteBytes);
    return WriteWholeFile(path, data.data(), data.size()) ? 1 : 0;
}

int LoadProject(SpriteBank* bank, const char* path)
{
    if (bank == nullptr || bank->sprites == nullptr || path == nullptr) return 0;
    std::vector<u8> data;
    if (ReadWholeFile(path, kColourBytes + kBlockBytes, data) != ReadStatus::Ok) return 0;
    if (data.size() <= static_cast<std::size_t>(kColourBytes)) return 0;
    const std::size_t spriteBytes = data.size() - kColourBytes;
    if (spriteBytes % kSpriteBytes != 0 || spriteBytes > static_cast<std::size_t>(kBlockBytes)) return 0;

    ClearBank(bank->sprites);
    bank->colourTransp = data[0];
    bank->colourMulti1 = data[1];
    bank->colourMulti2 = data[2];
    std::memcpy(bank->sprites, data.data() + kColourBytes, spriteBytes);
    bank->spriteCount = static_cast<std::int32_t>(spriteBytes / kSpriteBytes);
    return 1;
}

int LoadRawSprites(SpriteBank* bank, const char* path)
{
    if (bank == nullptr || bank->sprites == nullptr || path == nullptr) return 0;
    std::vector<u8> data;
    if (ReadWholeFile(path, kBlockBytes, data) != ReadStatus::Ok) return 0;
    if (data.size() < static_cast<std::size_t>(kSpriteBytes) || data.size() % kSpriteBytes != 0) return 0;

    // The side file is optional: only a readable file of exactly three bytes counts.
    std::vector<u8> colours;
    const std::string sideName = std::string(path) + ".inf";
    const bool haveColours = ReadWholeFile(sideName.c_str(), kColourBytes, colours) == ReadStatus::Ok &&
                             colours.size() == static_cast<std::size_t>(kColourBytes);

    ClearBank(bank->sprites);
    std::memcpy(bank->sprites, data.data(), data.size());
    bank->spriteCount = static_cast<std::int32_t>(data.size() / kSpriteBytes);
    if (haveColours)
    {
        bank->colourTransp = colours[0];
        bank->colourMulti1 = colours[1];
        bank->colourMulti2 = colours[2];
    }
    return 1;
}

} // namespace kelmora
