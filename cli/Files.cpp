// Sprite files in and out of a bank.
#include "cli/Files.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "core/SpriteBankStore.h"

namespace kelmora::cli
{

namespace fs = std::filesystem;
using kelmora::u8;

namespace
{

fs::path PathOf(const std::string& path)
{
    return fs::u8path(path);
}

std::uint64_t FileSize(const std::string& path)
{
    std::error_code ec;
    const std::uintmax_t size = fs::file_size(PathOf(path), ec);
    return ec ? 0 : static_cast<std::uint64_t>(size);
}

int ImportAttr(AttrLayout attr)
{
    switch (attr)
    {
    case AttrLayout::Seuck:
        return kelmora::kAttrSeuck;
    case AttrLayout::Ignore:
        return kelmora::kAttrIgnore;
    default:
        return kelmora::kAttrKeep;
    }
}

// Why the store refused a file it could open: the rule of the format in words.
std::string FormatProblem(const std::string& path, Format format)
{
    const std::uint64_t size = FileSize(path);
    const std::string bytes = std::to_string(size) + (size == 1 ? " byte" : " bytes");
    switch (format)
    {
    case Format::Project:
        return "not a project file: a project is 3 + 64 x n bytes for 1 to 256 sprites, this file is " +
               bytes;
    case Format::Raw:
        return "not raw sprite data: raw data is 64 x n bytes for 1 to 256 sprites, this file is " + bytes +
               " (--from prg or --from auto read other sizes)";
    case Format::Prg:
        return "too short for PRG sprite data: at least 66 bytes are needed, this file is " + bytes;
    default:
        return "could not be read";
    }
}

} // namespace

LoadedBank::LoadedBank() : block(kelmora::kBlockBytes)
{
    kelmora::ClearBank(block.data());
    bank.spriteCount = 0;
    bank.colourTransp = 11;
    bank.colourMulti1 = 0;
    bank.colourSprite = 5;
    bank.colourMulti2 = 1;
    bank.sprites = block.data();
    bank.currentPen = 2;
}

std::string ReadProblem(const std::string& path)
{
    if (path.empty()) return "No such file or directory";
    const fs::path p = PathOf(path);
    std::error_code ec;
    const fs::file_status status = fs::status(p, ec);
    if (!fs::exists(status)) return std::make_error_code(std::errc::no_such_file_or_directory).message();
    if (ec) return ec.message();
    if (fs::is_directory(status)) return std::make_error_code(std::errc::is_a_directory).message();
    if (!fs::is_regular_file(status)) return "not a regular file";
#ifdef _WIN32
    std::FILE* file = _wfopen(p.c_str(), L"rb");
#else
    std::FILE* file = std::fopen(p.c_str(), "rb");
#endif
    if (file == nullptr) return std::strerror(errno);
    std::fclose(file);
    return {};
}

std::string WriteProblem(const std::string& path)
{
    const fs::path p = PathOf(path);
    std::error_code ec;
    if (fs::is_directory(p, ec)) return std::make_error_code(std::errc::is_a_directory).message();
    const fs::path parent = p.parent_path().empty() ? fs::path(".") : p.parent_path();
    if (!fs::is_directory(parent, ec))
    {
        if (fs::exists(parent, ec)) return parent.u8string() + " is not a folder";
        return "the folder " + parent.u8string() + " does not exist";
    }
    return "the file could not be written (no permission, or the disk is full)";
}

bool PathTaken(const std::string& path)
{
    std::error_code ec;
    const fs::file_status status = fs::symlink_status(PathOf(path), ec);
    return status.type() != fs::file_type::not_found && status.type() != fs::file_type::none;
}

bool WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    return kelmora::WriteWholeFile(path.c_str(), bytes.data(), bytes.size());
}

bool ReadSprites(const std::string& path, Format format, AttrLayout attr, LoadedBank& loaded,
                 std::string& reason)
{
    reason = ReadProblem(path);
    if (!reason.empty()) return false;

    // Every read goes into a scratch bank first, so a refusal leaves loaded as it was.
    LoadedBank scratch;
    scratch.bank.colourTransp = loaded.bank.colourTransp;
    scratch.bank.colourMulti1 = loaded.bank.colourMulti1;
    scratch.bank.colourSprite = loaded.bank.colourSprite;
    scratch.bank.colourMulti2 = loaded.bank.colourMulti2;
    kelmora::SpriteBank* bank = &scratch.bank;
    const char* name = path.c_str();
    bool ok = false;
    switch (format)
    {
    case Format::Project:
        ok = kelmora::LoadProject(bank, name) == 1;
        scratch.hasColours = ok;
        break;
    case Format::Raw:
    {
        // The editor's raw loader (with the side file's colours); the attribute
        // treatment of the import dialog on top when another layout is asked for.
        ok = kelmora::LoadRawSprites(bank, name) == 1;
        if (ok && attr != AttrLayout::Native)
            ok = kelmora::ImportSprites(bank, name, kelmora::kFileRaw, ImportAttr(attr)) == 1;
        const std::string side = path + ".inf";
        scratch.hasColours = ok && FileSize(side) == 3 && ReadProblem(side).empty();
        break;
    }
    case Format::Prg:
        ok = kelmora::ImportSprites(bank, name, kelmora::kFilePrg, ImportAttr(attr)) == 1;
        break;
    case Format::Seuck:
        // As the editor's "Load Sprite File...": auto-detected, SEUCK layout unless asked otherwise.
        ok = kelmora::ImportSprites(bank, name, kelmora::kFileAuto, ImportAttr(attr)) == 1;
        break;
    case Format::Auto:
        ok = kelmora::ImportSprites(bank, name, kelmora::kFileAuto, ImportAttr(attr)) == 1;
        if (ok)
        {
            // The store takes a file as PRG data when its size mod 64 is 2.
            format = FileSize(path) % kelmora::kSpriteBytes == 2 ? Format::Prg : Format::Raw;
            scratch.autoDetected = true;
        }
        break;
    case Format::Guess:
        break;
    }
    if (!ok)
    {
        reason = FormatProblem(path, format);
        return false;
    }
    scratch.format = format;

    loaded.block = scratch.block;
    loaded.bank = scratch.bank;
    loaded.bank.sprites = loaded.block.data();
    loaded.format = scratch.format;
    loaded.autoDetected = scratch.autoDetected;
    loaded.hasColours = scratch.hasColours;
    return true;
}

bool WriteSprites(const kelmora::SpriteBank& bank, const std::string& path, Format format, AttrLayout attr,
                  int loadAddress, std::string& reason)
{
    const char* name = path.c_str();
    const int layout = attr == AttrLayout::Seuck ? kelmora::kExportSeuck : kelmora::kExportNative;
    bool ok = false;
    switch (format)
    {
    case Format::Project:
        ok = kelmora::SaveProject(&bank, name) == 1;
        break;
    case Format::Raw:
        ok = kelmora::ExportSprites(&bank, name, bank.spriteCount, -1, layout) == 1;
        break;
    case Format::Prg:
        ok = kelmora::ExportSprites(&bank, name, bank.spriteCount, loadAddress, layout) == 1;
        break;
    case Format::Seuck:
        ok = kelmora::SaveSeuckFile(&bank, name) == 1;
        break;
    default:
        break;
    }
    if (!ok) reason = WriteProblem(path);
    return ok;
}

void TakeRange(const LoadedBank& source, int first, int last, LoadedBank& target)
{
    std::vector<u8> buffer(kelmora::kBlockBytes);
    std::vector<u8> copy = source.block; // CopyRange takes a writable block
    const int count = kelmora::CopyRange(copy.data(), buffer.data(), first, last, 0);
    kelmora::ClearBank(target.block.data());
    kelmora::PasteSprites(target.block.data(), buffer.data(), 0, count, 0);
    target.bank = source.bank;
    target.bank.sprites = target.block.data();
    target.bank.spriteCount = count < 0 ? 0 : count;
    target.format = source.format;
    target.autoDetected = source.autoDetected;
    target.hasColours = source.hasColours;
}

} // namespace kelmora::cli
