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
#include <filesystem>
#include <system_error>
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
    std::FILE* file = nullptr;
    std::uint64_t size = 0;
};

ReadStatus OpenForReading(const char* path, OpenFile& open, FileResult* why)
{
    if (path == nullptr) return Refuse(why, ReadStatus::CannotOpen, FileError::Invalid);
    if (*path == '\0') return Refuse(why, ReadStatus::CannotOpen, FileError::NotFound, ENOENT);
    std::filesystem::path p;
    try
    {
        p = std::filesystem::u8path(path);
    }
    catch (...)
    {
        return Refuse(why, ReadStatus::CannotOpen, FileError::Invalid);
    }
    std::error_code ec;
    const std::filesystem::file_status status = std::filesystem::status(p, ec);
    if (!std::filesystem::exists(status))
        return Refuse(why, ReadStatus::CannotOpen, FileError::NotFound, ENOENT);
    if (std::filesystem::is_directory(status))
        return Refuse(why, ReadStatus::CannotOpen, FileError::IsFolder, EISDIR);
    if (!std::filesystem::is_regular_file(status))
        return Refuse(why, ReadStatus::CannotOpen, FileError::IsDevice);
    errno = 0;
    open.file = _wfopen(p.c_str(), L"rb");
    if (open.file == nullptr)
    {
        const int e = errno != 0 ? errno : EACCES;
        return Refuse(why, ReadStatus::CannotOpen, FileErrorFromErrno(e), e);
    }
    open.size = std::filesystem::file_size(p, ec);
    if (ec)
    {
        std::fclose(open.file);
        open.file = nullptr;
        return Refuse(why, ReadStatus::CannotOpen, FileError::IoError, EIO);
    }
    if (why != nullptr) why->fileSize = open.size;
    return ReadStatus::Ok;
}

ReadStatus ReadBytes(OpenFile& open, std::uint64_t count, std::vector<std::uint8_t>& data, FileResult* why)
{
    data.resize(static_cast<std::size_t>(count));
    std::size_t done = 0;
    while (done < data.size())
    {
        const std::size_t got = std::fread(data.data() + done, 1, data.size() - done, open.file);
        if (got == 0)
            return std::ferror(open.file) ? Refuse(why, ReadStatus::ReadError, FileError::IoError, EIO)
                                          : Refuse(why, ReadStatus::ReadError, FileError::ChangedWhileRead);
        done += got;
    }
    return ReadStatus::Ok;
}

bool UnchangedSinceOpened(const OpenFile&)
{
    return true;
}

void Close(OpenFile& open)
{
    if (open.file != nullptr) std::fclose(open.file);
    open.file = nullptr;
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
