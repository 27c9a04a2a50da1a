// File helpers behind every reader and writer of the store.
//
// Readers take the whole file into memory first (bounded by a size limit), so a
// refused or failed read never touches the bank. Writers replace a regular file
// atomically through a temporary file in the same folder (see core/OutputFiles.h for
// how each kind of target is treated).
#pragma once

#include "core/FileResult.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kelmora
{

enum class ReadStatus
{
    Ok,
    CannotOpen,
    TooLarge,
    ReadError
};

// Reads a whole regular file of at most maxBytes. A folder, a device, a pipe or a file that
// cannot be opened is CannotOpen; a longer file is TooLarge (nothing is read past the limit);
// a file that turns out shorter than its size, or changes while it is read, is ReadError.
// out is changed only on Ok. The file is opened without waiting for a pipe's writer.
ReadStatus ReadWholeFile(const char* path, std::uint64_t maxBytes, std::vector<std::uint8_t>& out);
// The same, with the reason in *why (when not null): NotFound, NoPermission, IsFolder,
// IsDevice, IsFifo, NotAFolder, NameTooLong, TooLarge, ChangedWhileRead or IoError, each with
// the system's errno where there is one; why->fileSize is the size once the file was opened.
ReadStatus ReadWholeFile(const char* path, std::uint64_t maxBytes, std::vector<std::uint8_t>& out,
                         FileResult* why);

// Reads the first min(size, maxBytes) bytes of a regular file of any size and reports
// its full size in fileSize. Folders, devices and unopenable files are CannotOpen.
ReadStatus ReadFileHead(const char* path, std::uint64_t maxBytes, std::vector<std::uint8_t>& out,
                        std::uint64_t& fileSize);
ReadStatus ReadFileHead(const char* path, std::uint64_t maxBytes, std::vector<std::uint8_t>& out,
                        std::uint64_t& fileSize, FileResult* why);

// Replaces path with exactly these bytes. Returns true only when every byte reached
// the file and it was closed without error; on failure an existing file is left intact
// and no temporary file remains.
bool WriteWholeFile(const char* path, const void* data, std::size_t size);
// The same with the reason for a failure in *why (when not null).
bool WriteWholeFile(const char* path, const void* data, std::size_t size, FileResult* why);

#ifdef _WIN32
// The Windows API's form of path (UTF-8): UTF-16, and absolute with the "\\?\" prefix when
// it is too long for the classic 260-character limit, so that long paths open too.
// 0, EINVAL for bytes that are not UTF-8, or ENAMETOOLONG when a part of the path is longer
// than the 255 characters a file system takes or the whole path longer than Windows takes.
int WindowsPath(const char* path, std::wstring& wide);
// The errno for a path that Windows reported as not found (ERROR_PATH_NOT_FOUND): ENOTDIR
// when a part of it that should be a folder is a file, otherwise ENOENT.
int MissingPathErrno(const std::wstring& wide);
#endif

// For tests: the steps of a read or a write that a hook can watch, pause or fail. The hook
// is called before each step with the path it concerns and returns 0 to go on, or an errno
// value that the step then fails with, as if the system had reported it.
enum class FileStep
{
    ReadOpened, // path: a file opened for reading, before its bytes are read
    CreateTemp, // path: a temporary file about to be created
    SyncFile,   // path: a written file (temporary or written in place), before its fsync
    Commit,     // path: a target, before the temporary file is renamed or linked to it
    SyncFolder, // path: a target's folder, before its fsync after the renames
};
using FileStepHook = int (*)(FileStep step, const char* path, void* context);
// Installs hook (nullptr removes it) for every later read and write of the process.
void SetFileStepHook(FileStepHook hook, void* context);
// What the installed hook says about this step: 0 (also when there is none) or an errno.
int FileStepHookSays(FileStep step, const char* path);

} // namespace kelmora
