// Bounded whole-file reads, and whole-file writes through the output transactions.
#include "core/FileIO.h"

#include "core/OutputFiles.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>

#ifdef _WIN32
#include <algorithm>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace kelmora
{

namespace
{

std::atomic<FileStepHook> g_hook{nullptr};
std::atomic<void*> g_hookContext{nullptr};

ReadStatus Refuse(FileResult* why, ReadStatus status, FileError error, int errnoValue = 0)
{
    SetFileResult(why, error, errnoValue);
    return status;
}

#ifdef _WIN32

// An open regular file and what it looked like when it was opened.
struct OpenFile
{
    HANDLE file = INVALID_HANDLE_VALUE;
    std::uint64_t size = 0;
    BY_HANDLE_FILE_INFORMATION info{}; // a change seen after reading means mixed contents
};

std::uint64_t SizeOf(const BY_HANDLE_FILE_INFORMATION& info)
{
    return (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
}

ReadStatus RefuseWindows(FileResult* why, ReadStatus status, DWORD code, const std::wstring& wide)
{
    int e = ErrnoFromWindowsError(code);
    if (code == ERROR_PATH_NOT_FOUND) e = MissingPathErrno(wide);
    if (code == ERROR_ACCESS_DENIED)
    {
        // Windows refuses to open a folder as a file with "access denied".
        const DWORD attributes = GetFileAttributesW(wide.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
            return Refuse(why, status, FileError::IsFolder, EISDIR);
    }
    return Refuse(why, status, FileErrorFromErrno(e), e);
}

// Opens a regular file for reading and finds its size. Anything that is not a file on a
// disk (a folder, a device such as NUL or CON, a pipe) is refused before a byte is read. The
// file stays open to writers and to renaming, as it is on other systems; a change while it
// is read is caught afterwards.
ReadStatus OpenForReading(const char* path, OpenFile& open, FileResult* why)
{
    if (path == nullptr) return Refuse(why, ReadStatus::CannotOpen, FileError::Invalid);
    if (*path == '\0') return Refuse(why, ReadStatus::CannotOpen, FileError::NotFound, ENOENT);
    std::wstring wide;
    if (const int e = WindowsPath(path, wide))
        return Refuse(why, ReadStatus::CannotOpen, e == EINVAL ? FileError::Invalid : FileErrorFromErrno(e),
                      e);
    const HANDLE file =
        CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return RefuseWindows(why, ReadStatus::CannotOpen, GetLastError(), wide);
    const DWORD type = GetFileType(file);
    BY_HANDLE_FILE_INFORMATION& info = open.info;
    if (type != FILE_TYPE_DISK || !GetFileInformationByHandle(file, &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
    {
        const DWORD code = type == FILE_TYPE_DISK ? GetLastError() : ERROR_SUCCESS;
        CloseHandle(file);
        if (type == FILE_TYPE_PIPE) return Refuse(why, ReadStatus::CannotOpen, FileError::IsFifo);
        if (type != FILE_TYPE_DISK) return Refuse(why, ReadStatus::CannotOpen, FileError::IsDevice);
        if (code != ERROR_SUCCESS) return RefuseWindows(why, ReadStatus::CannotOpen, code, wide);
        return Refuse(why, ReadStatus::CannotOpen, FileError::IsFolder, EISDIR);
    }
    open.file = file;
    open.size = SizeOf(info);
    if (why != nullptr) why->fileSize = open.size;
    if (const int injected = FileStepHookSays(FileStep::ReadOpened, path))
    {
        CloseHandle(file);
        open.file = INVALID_HANDLE_VALUE;
        return Refuse(why, ReadStatus::CannotOpen, FileErrorFromErrno(injected), injected);
    }
    return ReadStatus::Ok;
}

ReadStatus ReadBytes(OpenFile& open, std::uint64_t count, std::vector<std::uint8_t>& data, FileResult* why)
{
    data.resize(static_cast<std::size_t>(count));
    std::size_t done = 0;
    while (done < data.size())
    {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(data.size() - done, 1u << 30));
        DWORD got = 0;
        if (!ReadFile(open.file, data.data() + done, chunk, &got, nullptr))
        {
            const int e = ErrnoFromWindowsError(GetLastError());
            return Refuse(why, ReadStatus::ReadError, FileError::IoError, e);
        }
        if (got == 0)
            return Refuse(why, ReadStatus::ReadError, FileError::ChangedWhileRead); // it got shorter
        done += got;
    }
    return ReadStatus::Ok;
}

// False when the open file's size or time of last change moved while it was read.
bool UnchangedSinceOpened(const OpenFile& open)
{
    BY_HANDLE_FILE_INFORMATION now;
    const BY_HANDLE_FILE_INFORMATION& then = open.info;
    return GetFileInformationByHandle(open.file, &now) && SizeOf(now) == SizeOf(then) &&
           now.ftLastWriteTime.dwLowDateTime == then.ftLastWriteTime.dwLowDateTime &&
           now.ftLastWriteTime.dwHighDateTime == then.ftLastWriteTime.dwHighDateTime;
}

void Close(OpenFile& open)
{
    if (open.file != INVALID_HANDLE_VALUE) CloseHandle(open.file);
    open.file = INVALID_HANDLE_VALUE;
}

#else

struct OpenFile
{
    int fd = -1;
    std::uint64_t size = 0;
    struct stat info; // a change seen after reading means the bytes may mix old and new contents
};

// Opens a regular file for reading and finds its size. Anything that is not a regular file
// is refused before a byte is read, and the open itself never waits for a pipe's writer.
ReadStatus OpenForReading(const char* path, OpenFile& open, FileResult* why)
{
    if (path == nullptr) return Refuse(why, ReadStatus::CannotOpen, FileError::Invalid);
    const int fd = ::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
    {
        const int e = errno;
        return Refuse(why, ReadStatus::CannotOpen, FileErrorFromErrno(e), e);
    }
    struct stat& info = open.info;
    if (fstat(fd, &info) != 0)
    {
        const int e = errno;
        ::close(fd);
        return Refuse(why, ReadStatus::CannotOpen, FileError::IoError, e);
    }
    if (!S_ISREG(info.st_mode) || info.st_size < 0)
    {
        ::close(fd);
        if (S_ISDIR(info.st_mode)) return Refuse(why, ReadStatus::CannotOpen, FileError::IsFolder, EISDIR);
        if (S_ISFIFO(info.st_mode)) return Refuse(why, ReadStatus::CannotOpen, FileError::IsFifo);
        return Refuse(why, ReadStatus::CannotOpen, FileError::IsDevice);
    }
    const int flags = fcntl(fd, F_GETFL);
    if (flags < 0 || fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0)
    {
        const int e = errno;
        ::close(fd);
        return Refuse(why, ReadStatus::CannotOpen, FileError::IoError, e);
    }
    open.fd = fd;
    open.size = static_cast<std::uint64_t>(info.st_size);
    if (why != nullptr) why->fileSize = open.size;
    if (const int injected = FileStepHookSays(FileStep::ReadOpened, path))
    {
        ::close(fd);
        open.fd = -1;
        return Refuse(why, ReadStatus::CannotOpen, FileErrorFromErrno(injected), injected);
    }
    return ReadStatus::Ok;
}

ReadStatus ReadBytes(OpenFile& open, std::uint64_t count, std::vector<std::uint8_t>& data, FileResult* why)
{
    data.resize(static_cast<std::size_t>(count));
    std::size_t done = 0;
    while (done < data.size())
    {
        const ssize_t got = ::read(open.fd, data.data() + done, data.size() - done);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0)
        {
            const int e = errno;
            return Refuse(why, ReadStatus::ReadError, FileError::IoError, e);
        }
        if (got == 0)
            return Refuse(why, ReadStatus::ReadError, FileError::ChangedWhileRead); // it got shorter
        done += static_cast<std::size_t>(got);
    }
    return ReadStatus::Ok;
}

// False when the open file's size or times moved while it was read.
bool UnchangedSinceOpened(const OpenFile& open)
{
    struct stat now;
    const struct stat& then = open.info;
    return fstat(open.fd, &now) == 0 && now.st_size == then.st_size &&
           now.st_mtim.tv_sec == then.st_mtim.tv_sec && now.st_mtim.tv_nsec == then.st_mtim.tv_nsec &&
           now.st_ctim.tv_sec == then.st_ctim.tv_sec && now.st_ctim.tv_nsec == then.st_ctim.tv_nsec;
}

void Close(OpenFile& open)
{
    if (open.fd >= 0) ::close(open.fd);
    open.fd = -1;
}

#endif

// Reads count bytes of an opened file into out (only when all went well).
ReadStatus ReadOpened(OpenFile& open, std::uint64_t count, std::vector<std::uint8_t>& out, FileResult* why)
{
    std::vector<std::uint8_t> data;
    ReadStatus status = ReadStatus::Ok;
    try
    {
        status = ReadBytes(open, count, data, why);
    }
    catch (const std::bad_alloc&)
    {
        status = Refuse(why, ReadStatus::ReadError, FileError::TooLarge, ENOMEM);
    }
    if (status == ReadStatus::Ok && !UnchangedSinceOpened(open))
        status = Refuse(why, ReadStatus::ReadError, FileError::ChangedWhileRead);
    Close(open);
    if (status == ReadStatus::Ok) out.swap(data);
    return status;
}

} // namespace

ReadStatus ReadWholeFile(const char* path, std::uint64_t maxBytes, std::vector<std::uint8_t>& out)
{
    return ReadWholeFile(path, maxBytes, out, nullptr);
}

ReadStatus ReadWholeFile(const char* path, std::uint64_t maxBytes, std::vector<std::uint8_t>& out,
                         FileResult* why)
{
    if (why != nullptr) *why = FileResult{};
    OpenFile open;
    const ReadStatus status = OpenForReading(path, open, why);
    if (status != ReadStatus::Ok) return status;
    if (open.size > maxBytes)
    {
        Close(open);
        return Refuse(why, ReadStatus::TooLarge, FileError::TooLarge);
    }
    return ReadOpened(open, open.size, out, why);
}

ReadStatus ReadFileHead(const char* path, std::uint64_t maxBytes, std::vector<std::uint8_t>& out,
                        std::uint64_t& fileSize)
{
    return ReadFileHead(path, maxBytes, out, fileSize, nullptr);
}

ReadStatus ReadFileHead(const char* path, std::uint64_t maxBytes, std::vector<std::uint8_t>& out,
                        std::uint64_t& fileSize, FileResult* why)
{
    if (why != nullptr) *why = FileResult{};
    OpenFile open;
    ReadStatus status = OpenForReading(path, open, why);
    if (status != ReadStatus::Ok) return status;
    const std::uint64_t size = open.size;
    status = ReadOpened(open, size < maxBytes ? size : maxBytes, out, why);
    if (status == ReadStatus::Ok) fileSize = size;
    return status;
}

bool WriteWholeFile(const char* path, const void* data, std::size_t size)
{
    return WriteWholeFile(path, data, size, nullptr);
}

bool WriteWholeFile(const char* path, const void* data, std::size_t size, FileResult* why)
{
    if (path == nullptr) return SetFileResult(why, FileError::Invalid);
    OutputFile file;
    file.path = path;
    file.data = data;
    file.size = size;
    return WriteFilesTogether({file}, false, why);
}

#ifdef _WIN32

int WindowsPath(const char* path, std::wstring& wide)
{
    wide.clear();
    if (path == nullptr) return EINVAL;
    if (*path == '\0') return 0;
    const int length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path, -1, nullptr, 0);
    if (length <= 0) return EINVAL;
    wide.resize(static_cast<std::size_t>(length));
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path, -1, wide.data(), length);
    wide.resize(static_cast<std::size_t>(length - 1)); // the terminating zero

    // No file system takes a name longer than 255 characters.
    std::size_t part = 0;
    for (const wchar_t c : wide)
    {
        part = c == L'\\' || c == L'/' ? 0 : part + 1;
        if (part > 255) return ENAMETOOLONG;
    }
    const std::wstring verbatim = L"\\\\?\\";
    if (wide.compare(0, verbatim.size(), verbatim) == 0)
    {
        // Taken as it is, without the usual clean-up: only backslashes separate.
        std::replace(wide.begin(), wide.end(), L'/', L'\\');
    }
    else if (wide.size() >= MAX_PATH - 12) // the shortest limit, that of a folder's name
    {
        const DWORD size = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
        if (size == 0) return ErrnoFromWindowsError(GetLastError());
        std::wstring full(size, L'\0');
        const DWORD written = GetFullPathNameW(wide.c_str(), size, full.data(), nullptr);
        if (written == 0 || written >= size) return ErrnoFromWindowsError(GetLastError());
        full.resize(written);
        if (full.compare(0, 2, L"\\\\") == 0) // \\server\share\...
            wide = full.compare(0, 4, L"\\\\.\\") == 0 ? full : L"\\\\?\\UNC\\" + full.substr(2);
        else
            wide = verbatim + full;
    }
    if (wide.size() > 32767) return ENAMETOOLONG;
    return 0;
}

int MissingPathErrno(const std::wstring& wide)
{
    // The nearest part of the path that exists decides: a file where a folder should be.
    std::wstring part = wide;
    for (;;)
    {
        const std::size_t slash = part.find_last_of(L"\\/");
        if (slash == std::wstring::npos || slash == 0) return ENOENT;
        part.resize(slash);
        if (part.empty() || part.back() == L':' || part.back() == L'?') return ENOENT;
        const DWORD attributes = GetFileAttributesW(part.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES)
            return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? ENOENT : ENOTDIR;
    }
}

#endif

void SetFileStepHook(FileStepHook hook, void* context)
{
    g_hookContext.store(context);
    g_hook.store(hook);
}

int FileStepHookSays(FileStep step, const char* path)
{
    const FileStepHook hook = g_hook.load();
    return hook == nullptr ? 0 : hook(step, path, g_hookContext.load());
}

} // namespace kelmora
