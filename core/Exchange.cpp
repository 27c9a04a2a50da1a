// Raw and PRG sprite data in both attribute layouts, and the SEUCK sprite file.
#include "core/Exchange.h"

#include "core/FileIO.h"
#include "core/Sprite.h"

#include <cstring>
#include <vector>

namespace kelmora
{

namespace
{

constexpr int kAddressBytes = 2;
constexpr int kRawMinimum = kSpriteBytes;                 // one whole sprite
constexpr int kPrgMinimum = kAddressBytes + kSpriteBytes; // address and one sprite
constexpr u8 kSeuckHeader[kAddressBytes] = {0x42, 0x00};

void AppendSprite(std::vector<u8>& out, const u8* sprite, bool seuck)
{
    out.insert(out.end(), sprite, sprite + kPixelBytes);
    out.push_back(seuck ? NativeToSeuck(sprite[kAttributeByte]) : sprite[kAttributeByte]);
}

} // namespace

u8 NativeToSeuck(u8 attribute)
{
    return static_cast<u8>(((attribute & kAttrMulticolour) >> 3) | (attribute & kAttrColourMask));
}

u8 SeuckToNative(u8 attribute)
{
    return static_cast<u8>(((attribute & 0x10) << 3) | (attribute & kAttrColourMask));
}

int ImportSprites(SpriteBank* bank, const char* path, int fileKind, int attrFormat)
{
    return ImportSprites(bank, path, fileKind, attrFormat, nullptr);
}

int ImportSprites(SpriteBank* bank, const char* path, int fileKind, int attrFormat, FileResult* why)
{
    if (bank == nullptr || bank->sprites == nullptr || path == nullptr || fileKind < kFileRaw ||
        fileKind > kFileAuto || attrFormat < kAttrKeep || attrFormat > kAttrIgnore)
    {
        SetFileResult(why, FileError::Invalid);
        return 0;
    }

    // Only the address and the first 256 sprites can matter, whatever the file's size.
    std::vector<u8> data;
    std::uint64_t size = 0;
    if (ReadFileHead(path, kAddressBytes + kBlockBytes, data, size, why) != ReadStatus::Ok) return 0;
    const std::uint64_t minimum = fileKind == kFileRaw ? kRawMinimum : fileKind == kFilePrg ? kPrgMinimum : 0;
    if (size < minimum)
    {
        SetFileResult(why, size == 0 ? FileError::Empty : FileError::WrongSize);
        return 0;
    }

    const bool prg = fileKind == kFilePrg || (fileKind == kFileAuto && size % kSpriteBytes == kAddressBytes);
    std::size_t offset = 0;
    if (prg)
    {
        offset = kAddressBytes;
        size -= kAddressBytes;
    }
    const std::uint64_t whole = size / kSpriteBytes;
    const int count = whole > static_cast<std::uint64_t>(kSlotCount) ? kSlotCount : static_cast<int>(whole);
    const std::size_t bytes = static_cast<std::size_t>(count) * kSpriteBytes;
    if (data.size() < offset + bytes)
    {
        SetFileResult(why, FileError::ChangedWhileRead);
        return 0;
    }

    ClearBank(bank->sprites);
    if (bytes > 0) std::memcpy(bank->sprites, data.data() + offset, bytes);
    bank->spriteCount = count;
    for (int i = 0; i < count; ++i)
    {
        u8& attribute = bank->sprites[i * kSpriteBytes + kAttributeByte];
        if (attrFormat == kAttrSeuck)
            attribute = SeuckToNative(attribute);
        else if (attrFormat == kAttrIgnore)
            attribute = kIgnoredAttribute;
    }
    return 1;
}

std::vector<u8> EncodeExport(const SpriteBank* bank, int count, int loadAddress, int attrFormat)
{
    if (bank == nullptr || bank->sprites == nullptr || count < 1 || count > kSlotCount || loadAddress < -1 ||
        loadAddress > 0xFFFF || attrFormat < kExportNative || attrFormat > kExportSeuck)
        return {};
    std::vector<u8> data;
    data.reserve(kAddressBytes + static_cast<std::size_t>(count) * kSpriteBytes);
    if (loadAddress != -1)
    {
        data.push_back(static_cast<u8>(loadAddress & 0xFF));
        data.push_back(static_cast<u8>(loadAddress >> 8));
    }
    for (int i = 0; i < count; ++i)
        AppendSprite(data, bank->sprites + i * kSpriteBytes, attrFormat == kExportSeuck);
    return data;
}

int ExportSprites(const SpriteBank* bank, const char* path, int count, int loadAddress, int attrFormat)
{
    return ExportSprites(bank, path, count, loadAddress, attrFormat, nullptr);
}

int ExportSprites(const SpriteBank* bank, const char* path, int count, int loadAddress, int attrFormat,
                  FileResult* why)
{
    const std::vector<u8> data = EncodeExport(bank, count, loadAddress, attrFormat);
    if (data.empty() || path == nullptr)
    {
        SetFileResult(why, FileError::Invalid);
        return -1;
    }
    return WriteWholeFile(path, data.data(), data.size(), why) ? 1 : -1;
}

std::vector<u8> EncodeSeuckFile(const SpriteBank* bank)
{
    if (bank == nullptr || bank->sprites == nullptr || bank->spriteCount < 1 ||
        bank->spriteCount > kSeuckSprites)
        return {};
    std::vector<u8> data(kSeuckHeader, kSeuckHeader + kAddressBytes);
    data.reserve(kSeuckFileBytes);
    for (int i = 0; i < bank->spriteCount; ++i)
        AppendSprite(data, bank->sprites + i * kSpriteBytes, true);
    data.resize(kSeuckFileBytes, 0);
    return data;
}

int SaveSeuckFile(const SpriteBank* bank, const char* path)
{
    return SaveSeuckFile(bank, path, nullptr);
}

int SaveSeuckFile(const SpriteBank* bank, const char* path, FileResult* why)
{
    const std::vector<u8> data = EncodeSeuckFile(bank);
    if (data.empty() || path == nullptr)
    {
        SetFileResult(why, FileError::Invalid);
        return -1;
    }
    return WriteWholeFile(path, data.data(), data.size(), why) ? 1 : -1;
}

} // namespace kelmora
