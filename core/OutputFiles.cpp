// Output transactions: temporary files written first, then renamed into place together.
#include "core/OutputFiles.h"

#include "core/FileIO.h"
#include "core/TemporaryFiles.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#ifdef _WIN32
#include <cstdio>
#include <filesystem>
#include <io.h>
#include <windows.h>
#else
#include <csignal>
#include <dirent.h>
#include <fcntl.h>
#include <pthread.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace kelmora
{

namespace
{

int HookSays(FileStep step, const std::string& path)
{
    return FileStepHookSays(step, path.c_str());
}

// The folder holding path, as a path ("." for a bare name).
std::string FolderOf(const std::string& path)
{
    const std::size_t slash = path.find_last_of("/\\");
    if (slash == std::string::npos) return ".";
    if (slash == 0) return path.substr(0, 1);
    return path.substr(0, slash);
}

// A hidden name of bounded length in folder, so that even a target whose name is as long
// as the file system allows gets a temporary file beside it.
std::string TempNameIn(const std::string& folder, unsigned attempt)
{
    static std::atomic<unsigned> counter{0};
    const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
#ifdef _WIN32
    const unsigned long pid = static_cast<unsigned long>(GetCurrentProcessId());
#else
    const unsigned long pid = static_cast<unsigned long>(getpid());
#endif
    return folder + "/.kelmora-" + std::to_string(pid) + "-" + std::to_string(counter.fetch_add(1)) + "-" +
           std::to_string(attempt) + "-" +
           std::to_string(static_cast<unsigned long long>(now) % 1000000007ULL) + ".tmp";
}

enum class Mode
{
    Replace, // temporary file renamed over the target (or to a name that is free)
    Create,  // temporary file put at a name that must stay free until then (no-clobber)
    InPlace, // the target's own contents rewritten
    Direct,  // a device or a pipe, written as it is
};

struct Plan
{
    const OutputFile* file = nullptr;
    std::string target; // the path written, symbolic links followed
    Mode mode = Mode::Replace;
    bool existed = false;
    std::string temp;
    int tempSlot = -1;
    std::string backup; // a second name of the replaced file, to put it back
    int backupSlot = -1;
    bool committed = false;
    std::vector<std::uint8_t> oldContents; // an in-place target's bytes before, to put them back
    bool haveOldContents = false;
#ifndef _WIN32
    struct stat info
    {
    };
    int fd = -1; // in-place and direct targets, opened before anything is committed
#endif
};

void ForgetNames(Plan& plan)
{
    ForgetTemporaryFile(plan.tempSlot);
    ForgetTemporaryFile(plan.backupSlot);
    plan.tempSlot = plan.backupSlot = -1;
}

#ifndef _WIN32

// Blocks the signals that remove temporary files while a transaction puts its files in
// place, so that a signal can only end the process before or after that.
struct SignalsHeld
{
    sigset_t before;
};

void HoldSignals(SignalsHeld& held)
{
    sigset_t block;
    sigemptyset(&block);
    for (int sig : {SIGINT, SIGTERM, SIGHUP, SIGPIPE})
        sigaddset(&block, sig);
    pthread_sigmask(SIG_BLOCK, &block, &held.before);
}

void ReleaseSignals(const SignalsHeld& held)
{
    pthread_sigmask(SIG_SETMASK, &held.before, nullptr);
}

// Writes all of data to fd at its current position; 0 or the errno of the failure.
int WriteAll(int fd, const void* data, std::size_t size)
{
    const char* bytes = static_cast<const char*>(data);
    std::size_t done = 0;
    while (done < size)
    {
        const ssize_t n = write(fd, bytes + done, size - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return errno;
        if (n == 0) return EIO;
        done += static_cast<std::size_t>(n);
    }
    return 0;
}

// fsync that counts only real failures: a file system without fsync (EINVAL) is no error.
int SyncFd(int fd, FileStep step, const std::string& path)
{
    if (const int injected = HookSays(step, path)) return injected;
    if (fsync(fd) != 0 && errno != EINVAL && errno != EROFS) return errno;
    return 0;
}

// Follows symbolic links to the path that is written: the final file, or the name a dangling
// link points to. Fills info when something other than a link stands there.
int ResolveTarget(const std::string& path, std::string& target, bool& exists, struct stat& info)
{
    std::string current = path;
    for (int hops = 0;; ++hops)
    {
        if (lstat(current.c_str(), &info) != 0)
        {
            if (errno != ENOENT) return errno;
            exists = false;
            target = current;
            return 0;
        }
        if (!S_ISLNK(info.st_mode))
        {
            exists = true;
            target = current;
            return 0;
        }
        if (hops == 40) return ELOOP;
        std::vector<char> text(static_cast<std::size_t>(info.st_size > 0 ? info.st_size : 255) + 2);
        const ssize_t n = readlink(current.c_str(), text.data(), text.size());
        if (n < 0) return errno;
        if (static_cast<std::size_t>(n) >= text.size()) return ENAMETOOLONG; // grew meanwhile
        const std::string to(text.data(), static_cast<std::size_t>(n));
        current = !to.empty() && to[0] == '/' ? to : FolderOf(current) + "/" + to;
    }
}

// 0 when this user may write the regular file at path, else the reason. The permission bits
// decide; root, whom they do not stop, is refused a file that has no write bit at all.
int MayWrite(const std::string& path, const struct stat& info)
{
    if (faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0) return errno;
    if (geteuid() == 0 && (info.st_mode & 0222) == 0) return EACCES;
    return 0;
}

// Creates the temporary file for plan with the target's permission bits and owner.
// 0 and the open descriptor, or the errno of the failure.
int CreateTemp(Plan& plan, int& fd)
{
    const std::string folder = FolderOf(plan.target);
    const mode_t mode = plan.existed ? (plan.info.st_mode & 0777) : 0666;
    for (unsigned attempt = 0; attempt < 16; ++attempt)
    {
        const std::string name = TempNameIn(folder, attempt);
        if (const int injected = HookSays(FileStep::CreateTemp, name)) return injected;
        SignalsHeld held;
        HoldSignals(held);
        const int slot = RegisterTemporaryFile(name.c_str());
        fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, mode);
        const int error = fd < 0 ? errno : 0;
        if (fd < 0)
            ForgetTemporaryFile(slot);
        else
        {
            plan.temp = name;
            plan.tempSlot = slot;
        }
        ReleaseSignals(held);
        if (fd >= 0) break;
        if (error != EEXIST) return error;
    }
    if (fd < 0) return EEXIST;
    if (plan.existed)
    {
        // The replacement keeps the owner and group (root may give any; a user only a group
        // of their own) and then exactly the target's mode bits, which the umask may have cut.
        // Neither can fail in a way that matters more than the contents: the save goes on.
        bool kept = true;
        if (geteuid() == 0)
            kept = fchown(fd, plan.info.st_uid, plan.info.st_gid) == 0;
        else if (plan.info.st_gid != getegid())
            kept = fchown(fd, static_cast<uid_t>(-1), plan.info.st_gid) == 0;
        kept = fchmod(fd, plan.info.st_mode & 07777) == 0 && kept;
        (void)kept;
    }
    return 0;
}

// Reads a writable in-place target's current bytes (when they can be read and are not huge),
// so a failed transaction can write them back.
void KeepOldContents(Plan& plan)
{
    constexpr off_t kMostKept = 64 * 1024 * 1024;
    if (plan.info.st_size > kMostKept) return;
    const int fd = open(plan.target.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return;
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(plan.info.st_size));
    std::size_t done = 0;
    bool ok = true;
    while (done < bytes.size())
    {
        const ssize_t n = read(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0)
        {
            ok = false;
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    close(fd);
    if (!ok) return;
    plan.oldContents.swap(bytes);
    plan.haveOldContents = true;
}

// Opens an in-place or direct target for writing without waiting for a pipe's reader.
int OpenTarget(Plan& plan)
{
    const int fd = open(plan.target.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return errno;
    const int flags = fcntl(fd, F_GETFL);
    if (flags < 0 || fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0)
    {
        const int error = errno;
        close(fd);
        return error;
    }
    plan.fd = fd;
    return 0;
}

// Everything before the first target changes: where each file goes, how, and for the
// renamed ones the complete, synced temporary file. 0 or the errno-style reason.
// A save that was killed (SIGKILL, a power cut) can leave a second name of its target
// behind: a hidden temporary name of ours beside it. Such a name is no link the user made,
// so it is removed before the target is judged hard-linked (which would make it be written
// in place, where a save that is cut short loses the file).
void ForgetStaleNames(Plan& plan)
{
    const std::string folder = FolderOf(plan.target);
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) return;
    while (const dirent* entry = readdir(dir))
    {
        const std::string name = entry->d_name;
        if (name.rfind(".kelmora-", 0) != 0 || name.size() < 13 ||
            name.compare(name.size() - 4, 4, ".tmp") != 0)
            continue;
        const std::string path = folder + "/" + name;
        struct stat other;
        if (lstat(path.c_str(), &other) == 0 && S_ISREG(other.st_mode) && other.st_dev == plan.info.st_dev &&
            other.st_ino == plan.info.st_ino)
            unlink(path.c_str());
    }
    closedir(dir);
    struct stat now;
    if (stat(plan.target.c_str(), &now) == 0) plan.info.st_nlink = now.st_nlink;
}

int Prepare(Plan& plan, bool noClobber, FileError& error)
{
    const OutputFile& file = *plan.file;
    error = FileError::IoError;
    // Without replacing, any name that is taken counts, a dangling link included.
    struct stat own;
    if (noClobber && lstat(file.path.c_str(), &own) == 0)
    {
        error = FileError::Exists;
        return EEXIST;
    }
    if (const int e = ResolveTarget(file.path, plan.target, plan.existed, plan.info))
    {
        error = FileErrorFromErrno(e);
        return e;
    }
    if (plan.existed)
    {
        if (S_ISDIR(plan.info.st_mode))
        {
            error = FileError::IsFolder;
            return EISDIR;
        }
        if (noClobber)
        {
            error = FileError::Exists;
            return EEXIST;
        }
        if (!S_ISREG(plan.info.st_mode))
        {
            plan.mode = Mode::Direct;
            const int e = OpenTarget(plan);
            if (e != 0) error = S_ISFIFO(plan.info.st_mode) ? FileError::IsFifo : FileErrorFromErrno(e);
            return e;
        }
        if (const int e = MayWrite(plan.target, plan.info))
        {
            error = FileErrorFromErrno(e);
            return e;
        }
        if (plan.info.st_nlink > 1) ForgetStaleNames(plan);
        plan.mode = plan.info.st_nlink > 1 ? Mode::InPlace : Mode::Replace;
    }
    else
    {
        plan.mode = noClobber ? Mode::Create : Mode::Replace;
    }

    if (plan.mode != Mode::InPlace)
    {
        int fd = -1;
        const int e = CreateTemp(plan, fd);
        if (e == 0)
        {
            int failure = WriteAll(fd, file.data, file.size);
            if (failure == 0) failure = SyncFd(fd, FileStep::SyncFile, plan.temp);
            if (close(fd) != 0 && failure == 0) failure = errno;
            if (failure != 0) error = FileErrorFromErrno(failure);
            return failure;
        }
        // A folder that takes no new file: a target that may be written is written in place.
        if (!(plan.existed && (e == EACCES || e == EPERM)))
        {
            error = FileErrorFromErrno(e);
            return e;
        }
        plan.mode = Mode::InPlace;
    }
    KeepOldContents(plan);
    const int e = OpenTarget(plan);
    if (e != 0) error = FileErrorFromErrno(e);
    return e;
}

// Rewrites an opened in-place target with data; 0 or the errno of the failure.
int Rewrite(Plan& plan, const void* data, std::size_t size, bool sync)
{
    if (plan.mode == Mode::InPlace && ftruncate(plan.fd, 0) != 0) return errno;
    if (lseek(plan.fd, 0, SEEK_SET) < 0 && plan.mode == Mode::InPlace) return errno;
    if (const int e = WriteAll(plan.fd, data, size)) return e;
    return sync ? SyncFd(plan.fd, FileStep::SyncFile, plan.target) : 0;
}

// Puts the new file at plan's target; 0 or the errno of the failure.
int Commit(Plan& plan)
{
    if (const int injected = HookSays(FileStep::Commit, plan.target)) return injected;
    if (plan.mode == Mode::InPlace || plan.mode == Mode::Direct)
    {
        const int e = Rewrite(plan, plan.file->data, plan.file->size, plan.mode == Mode::InPlace);
        plan.committed = true; // even a failed rewrite may have changed the target
        return e;
    }
    const char* temp = plan.temp.c_str();
    const char* target = plan.target.c_str();
    if (plan.mode == Mode::Create)
    {
#ifdef RENAME_NOREPLACE
        if (renameat2(AT_FDCWD, temp, AT_FDCWD, target, RENAME_NOREPLACE) == 0)
        {
            plan.temp.clear();
            plan.committed = true;
            return 0;
        }
        if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) return errno;
#endif
        // Without an atomic rename that refuses to replace: a hard link does the same.
        if (link(temp, target) == 0)
        {
            unlink(temp);
            plan.temp.clear();
            plan.committed = true;
            return 0;
        }
        if (errno != EPERM && errno != ENOTSUP && errno != EOPNOTSUPP && errno != EMLINK) return errno;
        // A file system without hard links: claim the name with an exclusive create first.
        const int placeholder = open(target, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (placeholder < 0) return errno;
        close(placeholder);
        if (rename(temp, target) != 0)
        {
            const int error = errno;
            unlink(target);
            return error;
        }
        plan.temp.clear();
        plan.committed = true;
        return 0;
    }
#ifdef RENAME_EXCHANGE
    // The new file and the one it replaces swap names in one step: the replaced file stays
    // under the temporary name until the transaction is done, so it can be put back. The
    // target never has a second name, even for an instant, so a save killed at any point
    // cannot make the file look hard-linked to the next save.
    if (plan.existed)
    {
        if (renameat2(AT_FDCWD, temp, AT_FDCWD, target, RENAME_EXCHANGE) == 0)
        {
            plan.backup = plan.temp;
            plan.backupSlot = plan.tempSlot;
            plan.temp.clear();
            plan.tempSlot = -1;
            plan.committed = true;
            return 0;
        }
        if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) return errno;
    }
#endif
    // A second name for the file being replaced, so it can be put back.
    if (plan.existed)
        for (unsigned attempt = 0; attempt < 16; ++attempt)
        {
            const std::string name = TempNameIn(FolderOf(plan.target), attempt);
            const int slot = RegisterTemporaryFile(name.c_str());
            if (link(target, name.c_str()) == 0)
            {
                plan.backup = name;
                plan.backupSlot = slot;
                break;
            }
            ForgetTemporaryFile(slot);
            if (errno != EEXIST) break; // no hard links here: the file cannot be put back
        }
    if (rename(temp, target) != 0) return errno;
    plan.temp.clear();
    plan.committed = true;
    return 0;
}

// Puts plan's target back as it was before its commit (best effort: a name that cannot
// come back stays as the transaction left it).
void Undo(Plan& plan)
{
    if (!plan.committed) return;
    switch (plan.mode)
    {
    case Mode::Replace:
        if (!plan.backup.empty())
        {
            if (rename(plan.backup.c_str(), plan.target.c_str()) == 0) plan.backup.clear();
        }
        else if (!plan.existed)
            unlink(plan.target.c_str());
        break;
    case Mode::Create:
        unlink(plan.target.c_str());
        break;
    case Mode::InPlace:
        if (plan.haveOldContents) Rewrite(plan, plan.oldContents.data(), plan.oldContents.size(), true);
        break;
    case Mode::Direct:
        break;
    }
    plan.committed = false;
}

// Syncs the folder of every renamed target, so the new names survive a power cut.
// 0 or the errno of the first failure.
int SyncFolders(const std::vector<Plan>& plans, std::size_t& failed)
{
    std::vector<std::string> done;
    for (std::size_t i = 0; i < plans.size(); ++i)
    {
        const Plan& plan = plans[i];
        if (plan.mode != Mode::Replace && plan.mode != Mode::Create) continue;
        const std::string folder = FolderOf(plan.target);
        bool seen = false;
        for (const std::string& f : done)
            seen = seen || f == folder;
        if (seen) continue;
        done.push_back(folder);
        failed = i;
        if (const int injected = HookSays(FileStep::SyncFolder, folder)) return injected;
        const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) continue; // a folder this user may not read cannot be synced by anyone but root
        const int e = fsync(fd) != 0 && errno != EINVAL && errno != EROFS ? errno : 0;
        close(fd);
        if (e != 0) return e;
    }
    return 0;
}

// Several kelmora processes writing the same outputs at once must not interleave their
// renames (one's sprites with another's colours): a multi-file transaction holds an
// exclusive lock on each folder it renames into while it puts its files in place.
std::vector<int> LockFolders(const std::vector<Plan>& plans)
{
    std::vector<std::string> folders;
    for (const Plan& plan : plans)
        if (plan.mode == Mode::Replace || plan.mode == Mode::Create) folders.push_back(FolderOf(plan.target));
    std::vector<int> locks;
    if (plans.size() < 2) return locks;
    std::sort(folders.begin(), folders.end()); // one order for every process: no deadlock
    folders.erase(std::unique(folders.begin(), folders.end()), folders.end());
    for (const std::string& folder : folders)
    {
        const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) continue;
        while (flock(fd, LOCK_EX) != 0 && errno == EINTR)
        {
        }
        locks.push_back(fd);
    }
    return locks;
}

void UnlockFolders(const std::vector<int>& locks)
{
    for (const int fd : locks)
        close(fd); // closing the last descriptor releases the lock
}

void CleanUp(std::vector<Plan>& plans)
{
    for (Plan& plan : plans)
    {
        if (plan.fd >= 0) close(plan.fd);
        plan.fd = -1;
        if (!plan.temp.empty()) unlink(plan.temp.c_str()); // gone already when it was renamed
        if (!plan.backup.empty()) unlink(plan.backup.c_str());
        ForgetNames(plan);
    }
}

#else // _WIN32

std::filesystem::path WidePath(const std::string& path)
{
    return std::filesystem::u8path(path);
}

int ErrnoFromWindows(DWORD code)
{
    switch (code)
    {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return EACCES;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return EEXIST;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return ENOSPC;
    case ERROR_FILENAME_EXCED_RANGE:
        return ENAMETOOLONG;
    default:
        return EIO;
    }
}

int Prepare(Plan& plan, bool noClobber, FileError& error)
{
    const OutputFile& file = *plan.file;
    plan.target = file.path;
    std::error_code ec;
    const std::filesystem::path target = WidePath(plan.target);
    const std::filesystem::file_status status = std::filesystem::status(target, ec);
    plan.existed = std::filesystem::exists(status);
    if (std::filesystem::is_directory(status))
    {
        error = FileError::IsFolder;
        return EISDIR;
    }
    if (plan.existed && noClobber)
    {
        error = FileError::Exists;
        return EEXIST;
    }
    if (plan.existed)
    {
        const DWORD attributes = GetFileAttributesW(target.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0)
        {
            error = FileError::NoPermission;
            return EACCES;
        }
    }
    plan.mode = noClobber ? Mode::Create : Mode::Replace;
    std::FILE* out = nullptr;
    for (unsigned attempt = 0; attempt < 16 && out == nullptr; ++attempt)
    {
        plan.temp = TempNameIn(FolderOf(plan.target), attempt);
        if (const int injected = HookSays(FileStep::CreateTemp, plan.temp))
        {
            plan.temp.clear();
            error = FileErrorFromErrno(injected);
            return injected;
        }
        errno = 0;
        out = _wfopen(WidePath(plan.temp).c_str(), L"wbx");
        if (out == nullptr && errno != EEXIST)
        {
            const int e = errno != 0 ? errno : EIO;
            plan.temp.clear();
            error = FileErrorFromErrno(e);
            return e;
        }
    }
    if (out == nullptr)
    {
        plan.temp.clear();
        return EEXIST;
    }
    int failure = 0;
    if (file.size > 0 && std::fwrite(file.data, 1, file.size, out) != file.size)
        failure = errno ? errno : EIO;
    if (std::fflush(out) != 0 && failure == 0) failure = errno ? errno : EIO;
    if (failure == 0) failure = HookSays(FileStep::SyncFile, plan.temp);
    if (failure == 0 && _commit(_fileno(out)) != 0) failure = errno ? errno : EIO;
    if (std::fclose(out) != 0 && failure == 0) failure = errno ? errno : EIO;
    if (failure != 0) error = FileErrorFromErrno(failure);
    return failure;
}

int Commit(Plan& plan)
{
    if (const int injected = HookSays(FileStep::Commit, plan.target)) return injected;
    const std::filesystem::path temp = WidePath(plan.temp), target = WidePath(plan.target);
    if (plan.mode == Mode::Replace && plan.existed)
    {
        const std::string name = TempNameIn(FolderOf(plan.target), 0);
        if (CopyFileW(target.c_str(), WidePath(name).c_str(), TRUE)) plan.backup = name;
    }
    const DWORD flags = MOVEFILE_WRITE_THROUGH | (plan.mode == Mode::Replace ? MOVEFILE_REPLACE_EXISTING : 0);
    if (!MoveFileExW(temp.c_str(), target.c_str(), flags)) return ErrnoFromWindows(GetLastError());
    plan.temp.clear();
    plan.committed = true;
    return 0;
}

void Undo(Plan& plan)
{
    if (!plan.committed) return;
    if (!plan.backup.empty())
    {
        if (MoveFileExW(WidePath(plan.backup).c_str(), WidePath(plan.target).c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            plan.backup.clear();
    }
    else if (!plan.existed)
        DeleteFileW(WidePath(plan.target).c_str());
    plan.committed = false;
}

int SyncFolders(const std::vector<Plan>&, std::size_t&)
{
    return 0; // MOVEFILE_WRITE_THROUGH has already made each rename durable
}

void CleanUp(std::vector<Plan>& plans)
{
    for (Plan& plan : plans)
    {
        if (!plan.temp.empty()) DeleteFileW(WidePath(plan.temp).c_str());
        if (!plan.backup.empty()) DeleteFileW(WidePath(plan.backup).c_str());
        ForgetNames(plan);
    }
}

struct SignalsHeld
{
};
void HoldSignals(SignalsHeld&) {}
void ReleaseSignals(const SignalsHeld&) {}
std::vector<int> LockFolders(const std::vector<Plan>&)
{
    return {};
}
void UnlockFolders(const std::vector<int>&) {}

#endif

} // namespace

bool WriteFilesTogether(const std::vector<OutputFile>& files, bool noClobber, FileResult* why,
                        std::size_t* failedFile)
{
    if (why != nullptr) *why = FileResult{};
    if (failedFile != nullptr) *failedFile = 0;
    for (std::size_t i = 0; i < files.size(); ++i)
    {
        const OutputFile& file = files[i];
        if (file.path.empty() || (file.data == nullptr && file.size > 0))
        {
            if (failedFile != nullptr) *failedFile = i;
            return file.path.empty() ? SetFileResult(why, FileError::NotFound, ENOENT)
                                     : SetFileResult(why, FileError::Invalid);
        }
    }

    std::vector<Plan> plans(files.size());
    std::size_t failed = 0;
    int error = 0;
    FileError reason = FileError::None;
    for (std::size_t i = 0; i < files.size() && error == 0; ++i)
    {
        plans[i].file = &files[i];
        failed = i;
        error = Prepare(plans[i], noClobber, reason);
    }

    if (error == 0)
    {
        SignalsHeld held;
        HoldSignals(held);
        const std::vector<int> locks = LockFolders(plans);
        // Renamed files first, in order; rewritten ones last, since only a rename is atomic.
        for (int pass = 0; pass < 2 && error == 0; ++pass)
            for (std::size_t i = 0; i < plans.size() && error == 0; ++i)
            {
                const bool rewritten = plans[i].mode == Mode::InPlace || plans[i].mode == Mode::Direct;
                if (rewritten != (pass == 1)) continue;
                failed = i;
                error = Commit(plans[i]);
            }
        if (error == 0) error = SyncFolders(plans, failed);
        if (error != 0)
        {
            reason = FileErrorFromErrno(error);
            for (std::size_t i = plans.size(); i-- > 0;)
                Undo(plans[i]);
            std::size_t ignored = 0;
            SyncFolders(plans, ignored);
        }
        CleanUp(plans);
        UnlockFolders(locks);
        ReleaseSignals(held);
    }
    else
    {
        CleanUp(plans);
    }

    if (error == 0) return true;
    if (failedFile != nullptr) *failedFile = failed;
    return SetFileResult(why, reason == FileError::None ? FileErrorFromErrno(error) : reason, error);
}

} // namespace kelmora
