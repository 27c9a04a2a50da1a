// Why a file could not be read or written, as every reader and writer of the store
// reports it, and the words for it.
#pragma once

#include <cstdint>
#include <string>

namespace kelmora
{

enum class FileError
{
    None,             // read or written
    NotFound,         // the file, or for a write its folder, does not exist
    NoPermission,     // the user may not read it, write it or create files in its folder
    IsFolder,         // a folder stands at the path
    IsDevice,         // a device or a socket stands at the path
    IsFifo,           // a named pipe stands at the path
    NotAFolder,       // a part of the path that should be a folder is a file
    WrongSize,        // its size does not fit the format
    Empty,            // it holds no byte at all
    ChangedWhileRead, // its size or contents changed while it was read
    DiskFull,         // no space left on the disk (or the user's quota is used up)
    NameTooLong,      // the name, or the whole path, is too long for the system
    TooLarge,         // larger than the reader takes, or than a file may grow here
    Exists,           // a new file was asked for and something already stands at the path
    Invalid,          // the contents are not what the format allows, or an argument was refused
    IoError,          // any other failure of the system; sysErrno says which
};

struct FileResult
{
    FileError error = FileError::None;
    int sysErrno = 0;           // the system's error number behind error, 0 when there is none
    std::uint64_t fileSize = 0; // a reader's input size, once the file was opened
};

// The reason for an errno value reported by the system.
FileError FileErrorFromErrno(int errnoValue);
#ifdef _WIN32
// The errno value for an error code of the Windows API (GetLastError()), so that reasons and
// their words are the same on every system: ERROR_FILE_NOT_FOUND is ENOENT, a sharing
// violation EACCES, a full disk ENOSPC, and so on; EIO for codes without a match.
int ErrnoFromWindowsError(unsigned long code);
#endif
// Sets *why (when not null) to error with its errno; returns false, for "return Fail(...)".
bool SetFileResult(FileResult* why, FileError error, int errnoValue = 0);

// The reason in words: the system's own description of the error where there is an errno
// ("No space left on device"), otherwise a short sentence ("the file changed while it was
// read"). Empty for FileError::None.
std::string FileErrorText(const FileResult& result);

} // namespace kelmora
