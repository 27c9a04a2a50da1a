// Reasons for refused reads and failed writes, and their words.
#include "core/FileResult.h"

#include <cerrno>
#include <system_error>

namespace kelmora
{

FileError FileErrorFromErrno(int errnoValue)
{
    switch (errnoValue)
    {
    case 0:
        return FileError::None;
    case ENOENT:
        return FileError::NotFound;
    case EACCES:
    case EPERM:
        return FileError::NoPermission;
    case EISDIR:
        return FileError::IsFolder;
    case ENOTDIR:
        return FileError::NotAFolder;
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
        return FileError::DiskFull;
    case ENAMETOOLONG:
        return FileError::NameTooLong;
    case EFBIG:
        return FileError::TooLarge;
    case EEXIST:
        return FileError::Exists;
    default:
        return FileError::IoError;
    }
}

bool SetFileResult(FileResult* why, FileError error, int errnoValue)
{
    if (why != nullptr)
    {
        why->error = error;
        why->sysErrno = errnoValue;
    }
    return false;
}

std::string FileErrorText(const FileResult& result)
{
    if (result.error == FileError::None) return {};
    if (result.sysErrno != 0) return std::generic_category().message(result.sysErrno);
    switch (result.error)
    {
    case FileError::None:
        break;
    case FileError::NotFound:
        return "No such file or directory";
    case FileError::NoPermission:
        return "Permission denied";
    case FileError::IsFolder:
        return "Is a directory";
    case FileError::IsDevice:
        return "is a device, not a file";
    case FileError::IsFifo:
        return "is a named pipe, not a file";
    case FileError::NotAFolder:
        return "Not a directory";
    case FileError::WrongSize:
        return "the file's size does not fit this format";
    case FileError::Empty:
        return "the file is empty";
    case FileError::ChangedWhileRead:
        return "the file changed while it was read";
    case FileError::DiskFull:
        return "No space left on device";
    case FileError::NameTooLong:
        return "File name too long";
    case FileError::TooLarge:
        return "the file is too large";
    case FileError::Exists:
        return "File exists";
    case FileError::Invalid:
        return "the file's contents are not valid";
    case FileError::IoError:
        return "Input/output error";
    }
    return "unknown error";
}

} // namespace kelmora
