// The project file and raw sprite data with its ".inf" colour side file.
#include "core/ProjectFiles.h"

#include "core/FileIO.h"
#include "core/Sprite.h"

#include <cstring>
#include <string>

namespace kelmora
{

namespace
{

constexpr int kColourBytes = 3;

bool ValidBank(const SpriteBank* bank)
{
    return bank != nullptr && bank->sprites != nullptr;
}

int Refused(FileResult* why, FileError error)
{
    SetFileResult(why, error);
    return 0;
}

} // namespace

std::vector<u8> EncodeProject(const SpriteBank* bank)
{
    if (!ValidBank(bank) || bank->spriteCount < 0 || bank->spriteCount > kSlotCount) return {};
    const std::size_t spriteBytes = static_cast<std::size_t>(bank->spriteCount) * kSpriteBytes;
    std::vector<u8> data(kColourBytes + spriteBytes);
    data[0] = bank->colourTransp;
    data[1] = bank->colourMulti1;
    data[2] = bank->colourMulti2;
    std::memcpy(data.data() + kColourBytes, bank->sprites, spriteBytes);
    return data;
}

int SaveProject(const SpriteBank* bank, const char* path)
{
    return SaveProject(bank, path, nullptr);
}

int SaveProject(const SpriteBank* bank, const char* path, FileResult* why)
{
    const std::vector<u8> data = EncodeProject(bank);
    if (data.empty() || path == nullptr) return Refused(why, FileError::Invalid);
    return WriteWholeFile(path, data.data(), data.size(), why) ? 1 : 0;
}

int LoadProject(SpriteBank* bank, const char* path)
{
    return LoadProject(bank, path, nullptr);
}

int LoadProject(SpriteBank* bank, const char* path, FileResult* why)
{
    if (!ValidBank(bank) || path == nullptr) return Refused(why, FileError::Invalid);
    std::vector<u8> data;
    const ReadStatus status = ReadWholeFile(path, kColourBytes + kBlockBytes, data, why);
    if (status == ReadStatus::TooLarge) return Refused(why, FileError::WrongSize);
    if (status != ReadStatus::Ok) return 0;
    if (data.empty()) return Refused(why, FileError::Empty);
    if (data.size() <= static_cast<std::size_t>(kColourBytes)) return Refused(why, FileError::WrongSize);
    const std::size_t spriteBytes = data.size() - kColourBytes;
    if (spriteBytes % kSpriteBytes != 0) return Refused(why, FileError::WrongSize);

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
    return LoadRawSprites(bank, path, nullptr, nullptr);
}

int LoadRawSprites(SpriteBank* bank, const char* path, FileResult* why, bool* coloursRead)
{
    if (coloursRead != nullptr) *coloursRead = false;
    if (!ValidBank(bank) || path == nullptr) return Refused(why, FileError::Invalid);
    std::vector<u8> data;
    const ReadStatus status = ReadWholeFile(path, kBlockBytes, data, why);
    if (status == ReadStatus::TooLarge) return Refused(why, FileError::WrongSize);
    if (status != ReadStatus::Ok) return 0;
    if (data.empty()) return Refused(why, FileError::Empty);
    if (data.size() < static_cast<std::size_t>(kSpriteBytes) || data.size() % kSpriteBytes != 0)
        return Refused(why, FileError::WrongSize);

    // The side file is optional: only a readable regular file of exactly three bytes counts.
    // It is opened as every input is, so a pipe or a device there never holds the load up.
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
    if (coloursRead != nullptr) *coloursRead = haveColours;
    return 1;
}

} // namespace kelmora
