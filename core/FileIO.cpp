// Bounded whole-file reads and atomic whole-file writes.
#include "core/FileIO.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

#ifdef _WIN32
#include <cwchar>
#include <fcntl.h>
#include <io.h>
#include <process.h>
#include <sys/stat.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace kelmora
{

namespace fs = std::filesystem;

namespace
{

std::FILE* OpenPath(const fs::path& path, const char* mode)
{
#ifdef _WIN32
    // Not every Windows C runtime knows fopen's "x" (msvcrt.dll does not): the exclusive
    // create is made with _wopen.
    if (std::strchr(mode, 'x') != nullptr)
    {
        const int fd = _wopen(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
        if (fd < 0) return nullptr;
        std::FILE* file = _wfdopen(fd, L"wb");
        if (file == nullptr) _close(fd);
        return file;
    }
    std::wstring wideMode(mode, mode + std::strlen(mode));
    return _wfopen(path.c_str(), wideMode.c_str());
#else
    return std::fopen(path.c_str(), mode);
#endif
}

// What a file looked like when it was opened: a change seen after reading means the
// bytes read may be a mix of old and new contents (a file cut short while it is read
// can even show zeros where it was cut).
struct FileStamp
{
#ifndef _WIN32
    struct stat info;
#endif
};

// Opens a regular file for reading and finds its size. Anything that is not a regular
// file is refused before a byte is read, so a pipe never blocks the caller.
ReadStatus OpenForReading(const char* path, std::FILE*& file, std::uint64_t& size, FileStamp& stamp)
{
    file = nullptr;
    size = 0;
    if (path == nullptr || *path == '\0') return ReadStatus::CannotOpen;
    fs::path p;
    try
    {
        p = fs::u8path(path);
    }
    catch (...)
    {
        return ReadStatus::CannotOpen;
    }
    std::error_code ec;
    if (!fs::is_regular_file(fs::status(p, ec)) || ec) return ReadStatus::CannotOpen;
#ifdef _WIN32
    (void)stamp;
    file = OpenPath(p, "rb");
    if (file == nullptr) return ReadStatus::CannotOpen;
    size = fs::file_size(p, ec);
    if (ec)
    {
        std::fclose(file);
        file = nullptr;
        return ReadStatus::CannotOpen;
    }
#else
    // The opened file itself decides: it may have been replaced since the check, by a
    // pipe even, which the non-blocking open keeps from waiting for a writer.
    const int fd = ::open(p.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return ReadStatus::CannotOpen;
    struct stat& info = stamp.info;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size < 0)
    {
        ::close(fd);
        return ReadStatus::CannotOpen;
    }
    const int flags = fcntl(fd, F_GETFL);
    if (flags < 0 || fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0 || (file = fdopen(fd, "rb")) == nullptr)
    {
        ::close(fd);
        return ReadStatus::CannotOpen;
    }
    size = static_cast<std::uint64_t>(info.st_size);
#endif
    return ReadStatus::Ok;
}

// False when the open file's size or times moved while it was read.
bool UnchangedSinceOpened(std::FILE* file, const FileStamp& stamp)
{
#ifdef _WIN32
    (void)file;
    (void)stamp;
    return true;
#else
    struct stat now;
    const struct stat& then = stamp.info;
    return fstat(fileno(file), &now) == 0 && now.st_size == then.st_size &&
           now.st_mtim.tv_sec == then.st_mtim.tv_sec && now.st_mtim.tv_nsec == then.st_mtim.tv_nsec &&
           now.st_ctim.tv_sec == then.st_ctim.tv_sec && now.st_ctim.tv_nsec == then.st_ctim.tv_nsec;
#endif
}

ReadStatus ReadBytes(std::FILE* file, std::uint64_t count, std::vector<std::uint8_t>& out)
{
    std::vector<std::uint8_t> data;
    try
    {
        data.resize(static_cast<std::size_t>(count));
    }
    catch (...)
    {
        return ReadStatus::ReadError;
    }
    std::size_t done = 0;
    while (done < data.size())
    {
        const std::size_t got = std::fread(data.data() + done, 1, data.size() - done, file);
        if (got == 0) return ReadStatus::ReadError; // shorter than its size said, or an I/O error
        done += got;
    }
    out.swap(data);
    return ReadStatus::Ok;
}

bool WriteAndClose(std::FILE* file, const void* data, std::size_t size, bool sync)
{
    bool ok = true;
    if (size > 0 && std::fwrite(data, 1, size, file) != size) ok = false;
    if (std::fflush(file) != 0) ok = false;
#ifndef _WIN32
    if (ok && sync && fsync(fileno(file)) != 0 && errno != EINVAL && errno != EROFS) ok = false;
#else
    (void)sync;
#endif
    if (std::fclose(file) != 0) ok = false;
    return ok;
}

// A target that exists but is no regular file (a device, a pipe) is written in place.
bool WriteDirect(const fs::path& target, const void* data, std::size_t size)
{
#ifdef _WIN32
    std::FILE* file = OpenPath(target, "wb");
#else
    // Non-blocking open so a pipe without a reader fails instead of hanging.
    const int fd = ::open(target.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    const int flags = fcntl(fd, F_GETFL);
    if (flags < 0 || fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0)
    {
        ::close(fd);
        return false;
    }
    std::FILE* file = fdopen(fd, "wb");
    if (file == nullptr)
    {
        ::close(fd);
        return false;
    }
#endif
    if (file == nullptr) return false;
    return WriteAndClose(file, data, size, false);
}

// A hidden name of bounded length beside the target, so that even a target whose
// name is as long as the file system allows gets a temporary file.
fs::path TempNameBeside(const fs::path& target, unsigned attempt)
{
    static std::atomic<unsigned> counter{0};
    const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
#ifdef _WIN32
    const long pid = static_cast<long>(_getpid());
#else
    const long pid = static_cast<long>(getpid());
#endif
    const std::string name = ".kelmora-" + std::to_string(pid) + "-" + std::to_string(counter.fetch_add(1)) +
                             "-" + std::to_string(attempt) + "-" +
                             std::to_string(static_cast<unsigned long long>(now) % 1000000007ULL) + ".tmp";
    return target.parent_path() / fs::u8path(name);
}

} // namespace

ReadStatus ReadWholeFile(const char* path, std::uint64_t maxBytes, std::vector<std::uint8_t>& out)
{
    std::FILE* file = nullptr;
    std::uint64_t size = 0;
    FileStamp stamp;
    ReadStatus status = OpenForReading(path, file, size, stamp);
    if (status != ReadStatus::Ok) return status;
    std::vector<std::uint8_t> data;
    if (size > maxBytes)
        status = ReadStatus::TooLarge;
    else
        status = ReadBytes(file, size, data);
    if (status == ReadStatus::Ok && !UnchangedSinceOpened(file, stamp)) status = ReadStatus::ReadError;
    std::fclose(file);
    if (status == ReadStatus::Ok) out.swap(data);
    return status;
}

ReadStatus ReadFileHead(const char* path, std::uint64_t maxBytes, std::vector<std::uint8_t>& out,
                        std::uint64_t& fileSize)
{
    std::FILE* file = nullptr;
    std::uint64_t size = 0;
    FileStamp stamp;
    ReadStatus status = OpenForReading(path, file, size, stamp);
    if (status != ReadStatus::Ok) return status;
    std::vector<std::uint8_t> data;
    status = ReadBytes(file, size < maxBytes ? size : maxBytes, data);
    if (status == ReadStatus::Ok && !UnchangedSinceOpened(file, stamp)) status = ReadStatus::ReadError;
    std::fclose(file);
    if (status == ReadStatus::Ok)
    {
        out.swap(data);
        fileSize = size;
    }
    return status;
}

bool WriteWholeFile(const char* path, const void* data, std::size_t size)
{
    if (path == nullptr || *path == '\0' || (data == nullptr && size > 0)) return false;
    fs::path target;
    try
    {
        target = fs::u8path(path);
    }
    catch (...)
    {
        return false;
    }
    std::error_code ec;
    // Replace what a symbolic link points at, not the link itself.
    if (fs::is_symlink(fs::symlink_status(target, ec)))
    {
        fs::path resolved = fs::canonical(target, ec);
        if (!ec) target = resolved;
        ec.clear();
    }
    const fs::file_status existing = fs::status(target, ec);
    if (fs::is_directory(existing)) return false;
    if (fs::exists(existing) && !fs::is_regular_file(existing)) return WriteDirect(target, data, size);
    if (target.filename().empty()) return false;

    fs::path temp;
    std::FILE* file = nullptr;
    for (unsigned attempt = 0; attempt < 16 && file == nullptr; ++attempt)
    {
        temp = TempNameBeside(target, attempt);
        errno = 0;
        file = OpenPath(temp, "wbx");
        if (file == nullptr && errno != EEXIST) return false;
    }
    if (file == nullptr) return false;

    bool ok = WriteAndClose(file, data, size, true);
    if (ok && fs::is_regular_file(existing))
    {
        // Keep the access rights of the file being replaced.
        fs::permissions(temp, existing.permissions(), ec);
        ec.clear();
    }
    if (ok)
    {
        fs::rename(temp, target, ec);
        ok = !ec;
    }
    if (!ok)
    {
        std::error_code ignored;
        fs::remove(temp, ignored);
    }
    return ok;
}

} // namespace kelmora
