// Reasons for refused reads and failed writes, and their words.
#include "core/FileResult.h"

#include <cerrno>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#endif

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

#ifdef _WIN32
int ErrnoFromWindowsError(unsigned long code)
{
    switch (code)
    {
    case ERROR_SUCCESS:
        return 0;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_BAD_PATHNAME:
        return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_NETWORK_ACCESS_DENIED:
    case ERROR_CANNOT_MAKE:
    case ERROR_DRIVE_LOCKED:
    case ERROR_PRIVILEGE_NOT_HELD:
        return EACCES;
    case ERROR_WRITE_PROTECT:
        return EROFS;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return EEXIST;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return ENOSPC;
    case ERROR_FILENAME_EXCED_RANGE:
        return ENAMETOOLONG;
    case ERROR_DIRECTORY:
        return ENOTDIR;
    case ERROR_FILE_TOO_LARGE:
        return EFBIG;
    case ERROR_NOT_SAME_DEVICE:
        return EXDEV;
    case ERROR_TOO_MANY_OPEN_FILES:
        return EMFILE;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
        return ENOMEM;
    case ERROR_INVALID_NAME:
    case ERROR_INVALID_PARAMETER:
        return EINVAL;
    case ERROR_BROKEN_PIPE:
    case ERROR_NO_DATA:
        return EPIPE;
    case ERROR_PIPE_BUSY:
        return EBUSY;
    case ERROR_NOT_READY:
        return ENXIO;
    default:
        return EIO;
    }
}
#endif

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
