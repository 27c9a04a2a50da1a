// Sprite files in and out of a bank.
#include "cli/Files.h"

#include <cerrno>
#include <filesystem>
#include <system_error>

#include "cli/Text.h"
#include "core/SpriteBankStore.h"

namespace kelmora::cli
{

namespace fs = std::filesystem;
using kelmora::FileError;
using kelmora::FileResult;
using kelmora::u8;

namespace
{

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

bool FitsProject(std::uint64_t size)
{
    return size > 3 && size <= 3 + static_cast<std::uint64_t>(kelmora::kBlockBytes) &&
           (size - 3) % kelmora::kSpriteBytes == 0;
}

// Why the store refused a file it could read: the rule of the format in words, and the
// format the file's size does fit, when there is one.
std::string FormatProblem(Format format, std::uint64_t size)
{
    const std::string bytes = std::to_string(size) + (size == 1 ? " byte" : " bytes");
    switch (format)
    {
    case Format::Project:
        return "not a project file: a project is 3 + 64 x n bytes for 1 to 256 sprites, this file is " +
               bytes;
    case Format::Raw:
    {
        std::string text =
            "not raw sprite data: raw data is 64 x n bytes for 1 to 256 sprites, this file is " + bytes;
        if (FitsProject(size))
            text += ", which fits a project file (read it with --from project)";
        else
            text += " (--from prg or --from auto read other sizes)";
        return text;
    }
    case Format::Prg:
        return "too short for PRG sprite data: at least 66 bytes are needed, this file is " + bytes;
    default:
        return "could not be read";
    }
}

#ifdef _WIN32
constexpr const char* kSeparators = "/\\";
#else
constexpr const char* kSeparators = "/";
#endif

// The folder part of a path as the user wrote it.
std::string FolderText(const std::string& path)
{
    const std::size_t slash = path.find_last_of(kSeparators);
    if (slash == std::string::npos) return ".";
    return path.substr(0, slash == 0 ? 1 : slash);
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

std::string ReadFailureText(const FileResult& why)
{
    return kelmora::FileErrorText(why);
}

std::string WriteFailureText(const std::string& path, const FileResult& why)
{
    if (why.error == FileError::Exists) return "already exists (use --force to replace it)";
    std::string text = "not written: " + kelmora::FileErrorText(why);
    const std::string folder = Shown(FolderText(path));
    switch (why.error)
    {
    case FileError::NotFound:
        text += " (the folder " + folder + " does not exist)";
        break;
    case FileError::NotAFolder:
        text += folder.find_first_of(kSeparators) == std::string::npos
                    ? " (" + folder + " is not a folder)"
                    : " (a part of " + folder + " is a file, not a folder)";
        break;
    case FileError::NoPermission:
        text += " (the file is write-protected, or no new file may be made in its folder)";
        break;
    case FileError::TooLarge:
        text += " (a limit on the size of files was reached)";
        break;
    case FileError::IsFifo:
        text += " (a named pipe that nothing reads)";
        break;
    default:
        break;
    }
    return text;
}

bool PathTaken(const std::string& path)
{
    std::error_code ec;
    const fs::file_status status = fs::symlink_status(fs::u8path(path), ec);
    return status.type() != fs::file_type::not_found && status.type() != fs::file_type::none;
}

bool ReadSprites(const std::string& path, Format format, AttrLayout attr, LoadedBank& loaded,
                 std::string& reason)
{
    // Every read goes into a scratch bank first, so a refusal leaves loaded as it was.
    LoadedBank scratch;
    scratch.bank.colourTransp = loaded.bank.colourTransp;
    scratch.bank.colourMulti1 = loaded.bank.colourMulti1;
    scratch.bank.colourSprite = loaded.bank.colourSprite;
    scratch.bank.colourMulti2 = loaded.bank.colourMulti2;
    kelmora::SpriteBank* bank = &scratch.bank;
    const char* name = path.c_str();
    FileResult why;
    bool ok = false;
    switch (format)
    {
    case Format::Project:
        ok = kelmora::LoadProject(bank, name, &why) == 1;
        scratch.hasColours = ok;
        break;
    case Format::Raw:
    {
        // The editor's raw loader (with the side file's colours); the attribute
        // treatment of the import dialog on top when another layout is asked for.
        bool colours = false;
        ok = kelmora::LoadRawSprites(bank, name, &why, &colours) == 1;
        if (ok && attr != AttrLayout::Native)
            ok = kelmora::ImportSprites(bank, name, kelmora::kFileRaw, ImportAttr(attr), &why) == 1;
        scratch.hasColours = ok && colours;
        break;
    }
    case Format::Prg:
        ok = kelmora::ImportSprites(bank, name, kelmora::kFilePrg, ImportAttr(attr), &why) == 1;
        break;
    case Format::Seuck:
        // As the editor's "Load Sprite File...": auto-detected, SEUCK layout unless asked otherwise.
        ok = kelmora::ImportSprites(bank, name, kelmora::kFileAuto, ImportAttr(attr), &why) == 1;
        break;
    case Format::Auto:
        ok = kelmora::ImportSprites(bank, name, kelmora::kFileAuto, ImportAttr(attr), &why) == 1;
        if (ok)
        {
            // The store takes a file as PRG data when its size mod 64 is 2.
            format = why.fileSize % kelmora::kSpriteBytes == 2 ? Format::Prg : Format::Raw;
            scratch.autoDetected = true;
        }
        break;
    case Format::Guess:
        why.error = FileError::Invalid;
        break;
    }
    if (!ok)
    {
        reason = why.error == FileError::WrongSize || why.error == FileError::Empty
                     ? FormatProblem(format, why.fileSize)
                     : ReadFailureText(why);
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

std::vector<std::uint8_t> EncodeSprites(const kelmora::SpriteBank& bank, Format format, AttrLayout attr,
                                        int loadAddress)
{
    const int layout = attr == AttrLayout::Seuck ? kelmora::kExportSeuck : kelmora::kExportNative;
    switch (format)
    {
    case Format::Project:
        return kelmora::EncodeProject(&bank);
    case Format::Raw:
        return kelmora::EncodeExport(&bank, bank.spriteCount, -1, layout);
    case Format::Prg:
        return kelmora::EncodeExport(&bank, bank.spriteCount, loadAddress, layout);
    case Format::Seuck:
        return kelmora::EncodeSeuckFile(&bank);
    default:
        return {};
    }
}

bool WriteOutputs(const std::vector<kelmora::OutputFile>& files, bool force, std::string& failedPath,
                  std::string& reason)
{
    FileResult why;
    std::size_t failed = 0;
    if (kelmora::WriteFilesTogether(files, !force, &why, &failed)) return true;
    failedPath = failed < files.size() ? files[failed].path : std::string();
    reason = WriteFailureText(failedPath, why);
    return false;
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
