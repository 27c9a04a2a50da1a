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
#ifdef _WIN32
    if (path[slash - 1] == ':')
        return path.substr(0, slash + 1); // "C:/x" is in C:/, not in C: (its current folder)
#endif
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
    const bool separated = folder.back() == '/' || folder.back() == '\\';
    return folder + (separated ? "" : "/") + ".kelmora-" + std::to_string(pid) + "-" +
           std::to_string(counter.fetch_add(1)) + "-" + std::to_string(attempt) + "-" +
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
#ifdef _WIN32
    HANDLE handle = INVALID_HANDLE_VALUE; // in-place and direct targets, opened before anything is committed
    DWORD attributes = 0;                 // the target's, when it existed
    bool mayNeedPuttingBack = false;      // another file of the transaction may fail after its rename
#else
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
using FolderLock = int;

std::vector<FolderLock> LockFolders(const std::vector<Plan>& plans)
{
    std::vector<std::string> folders;
    for (const Plan& plan : plans)
        if (plan.mode == Mode::Replace || plan.mode == Mode::Create) folders.push_back(FolderOf(plan.target));
    std::vector<FolderLock> locks;
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

void UnlockFolders(const std::vector<FolderLock>& locks)
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

// The errno for the Windows API's last error.
int LastErrno()
{
    return ErrnoFromWindowsError(GetLastError());
}

// Path in the Windows API's form; 0, EINVAL (not UTF-8) or ENAMETOOLONG.
int Wide(const std::string& path, std::wstring& wide)
{
    return WindowsPath(path.c_str(), wide);
}

std::string Utf8(const std::wstring& wide)
{
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), static_cast<int>(wide.size()), nullptr, 0,
                                          nullptr, nullptr);
    std::string text(bytes > 0 ? static_cast<std::size_t>(bytes) : 0, '\0');
    if (bytes > 0)
        WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), static_cast<int>(wide.size()), text.data(), bytes,
                            nullptr, nullptr);
    return text;
}

// Writes all of data at the file's current position; 0 or the errno of the failure.
int WriteAll(HANDLE file, const void* data, std::size_t size)
{
    const char* bytes = static_cast<const char*>(data);
    std::size_t done = 0;
    while (done < size)
    {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size - done, 1u << 30));
        DWORD written = 0;
        if (!WriteFile(file, bytes + done, chunk, &written, nullptr)) return LastErrno();
        if (written == 0) return EIO;
        done += written;
    }
    return 0;
}

// FlushFileBuffers that counts only real failures: a file system without it is no error.
int SyncHandle(HANDLE file, FileStep step, const std::string& path)
{
    if (const int injected = HookSays(step, path)) return injected;
    if (!FlushFileBuffers(file) && GetLastError() != ERROR_INVALID_FUNCTION) return LastErrno();
    return 0;
}

// The path a symbolic link (or another name-surrogate reparse point) leads to, from a handle
// opened through it; the link's own path when the system cannot name the file.
std::string FinalPath(HANDLE file, const std::string& path)
{
    const DWORD size = GetFinalPathNameByHandleW(file, nullptr, 0, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (size == 0) return path;
    std::wstring final(size, L'\0');
    const DWORD written =
        GetFinalPathNameByHandleW(file, final.data(), size, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (written == 0 || written >= size) return path;
    final.resize(written);
    return Utf8(final);
}

// Creates the temporary file for plan, hidden and system as the target was (the rest of its
// attributes is what any new file gets). 0 and the open handle, or the errno of the failure.
int CreateTemp(Plan& plan, HANDLE& file)
{
    const std::string folder = FolderOf(plan.target);
    const DWORD kept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    const DWORD attributes =
        plan.existed && (plan.attributes & kept) != 0 ? plan.attributes & kept : FILE_ATTRIBUTE_NORMAL;
    for (unsigned attempt = 0; attempt < 16; ++attempt)
    {
        const std::string name = TempNameIn(folder, attempt);
        if (const int injected = HookSays(FileStep::CreateTemp, name)) return injected;
        std::wstring wide;
        if (const int e = Wide(name, wide)) return e;
        // Registered and created as one step for a console event; it may delete the file
        // while it is open, so the process never leaves it behind.
        HoldConsoleEvents();
        const int slot = RegisterTemporaryFile(name.c_str());
        file = CreateFileW(wide.c_str(), GENERIC_WRITE, FILE_SHARE_DELETE, nullptr, CREATE_NEW, attributes,
                           nullptr);
        const DWORD code = file == INVALID_HANDLE_VALUE ? GetLastError() : ERROR_SUCCESS;
        if (file != INVALID_HANDLE_VALUE)
        {
            plan.temp = name;
            plan.tempSlot = slot;
        }
        else
            ForgetTemporaryFile(slot);
        ReleaseConsoleEvents();
        if (file != INVALID_HANDLE_VALUE) return 0;
        if (code == ERROR_PATH_NOT_FOUND) return MissingPathErrno(wide);
        if (code != ERROR_FILE_EXISTS && code != ERROR_ALREADY_EXISTS) return ErrnoFromWindowsError(code);
    }
    return EEXIST;
}

// Reads a writable in-place target's current bytes (when they can be read and are not huge),
// so a failed transaction can write them back.
void KeepOldContents(Plan& plan)
{
    std::wstring wide;
    if (Wide(plan.target, wide) != 0) return;
    const HANDLE file = CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    LARGE_INTEGER size{};
    bool ok = GetFileSizeEx(file, &size) && size.QuadPart <= 64 * 1024 * 1024;
    std::vector<std::uint8_t> bytes(ok ? static_cast<std::size_t>(size.QuadPart) : 0);
    std::size_t done = 0;
    while (ok && done < bytes.size())
    {
        DWORD got = 0;
        ok = ReadFile(file, bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &got, nullptr) &&
             got > 0;
        done += got;
    }
    CloseHandle(file);
    if (!ok) return;
    plan.oldContents.swap(bytes);
    plan.haveOldContents = true;
}

// Opens an in-place or direct target for writing; 0 or the errno.
int OpenTarget(Plan& plan)
{
    std::wstring wide;
    if (const int e = Wide(plan.target, wide)) return e;
    plan.handle = CreateFileW(wide.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    return plan.handle == INVALID_HANDLE_VALUE ? LastErrno() : 0;
}

// 0 when this user may write the file: it is not read-only and the system lets it be
// opened for writing (its access rules allow it).
int MayWrite(const std::wstring& wide, DWORD attributes)
{
    if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) return EACCES;
    const HANDLE file =
        CreateFileW(wide.c_str(), FILE_WRITE_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return LastErrno();
    CloseHandle(file);
    return 0;
}

// Everything before the first target changes: where each file goes, how, and for the
// renamed ones the complete, flushed temporary file. 0 or the errno-style reason.
int Prepare(Plan& plan, bool noClobber, FileError& error)
{
    const OutputFile& file = *plan.file;
    error = FileError::IoError;
    plan.target = file.path;
    std::wstring wide;
    if (const int e = Wide(plan.target, wide))
    {
        error = e == EINVAL ? FileError::Invalid : FileErrorFromErrno(e);
        return e;
    }
    // Without replacing, any name that is taken counts, a dangling link included.
    const DWORD own = GetFileAttributesW(wide.c_str()); // a link itself, not followed
    if (noClobber && own != INVALID_FILE_ATTRIBUTES)
    {
        error = FileError::Exists;
        return EEXIST;
    }
    // What stands there, links followed; a device answers here too (NUL, CON, COM1).
    const HANDLE probe = CreateFileW(wide.c_str(), FILE_READ_ATTRIBUTES,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                     OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (probe == INVALID_HANDLE_VALUE)
    {
        const DWORD code = GetLastError();
        int e = ErrnoFromWindowsError(code);
        if (code == ERROR_PATH_NOT_FOUND) e = MissingPathErrno(wide);
        if (code == ERROR_FILE_NOT_FOUND && own != INVALID_FILE_ATTRIBUTES)
            e = ENOENT; // a link to nothing: where it leads cannot be found out without following it
        else if (code == ERROR_FILE_NOT_FOUND)
            e = 0;
        if (e != 0)
        {
            error = FileErrorFromErrno(e);
            return e;
        }
        plan.existed = false;
        plan.mode = noClobber ? Mode::Create : Mode::Replace;
    }
    else
    {
        BY_HANDLE_FILE_INFORMATION info{};
        const bool onDisk =
            GetFileType(probe) == FILE_TYPE_DISK && GetFileInformationByHandle(probe, &info) != 0;
        if (onDisk && (own & FILE_ATTRIBUTE_REPARSE_POINT) != 0 && own != INVALID_FILE_ATTRIBUTES)
            plan.target = FinalPath(probe, plan.target);
        CloseHandle(probe);
        if (noClobber)
        {
            error = FileError::Exists;
            return EEXIST;
        }
        if (!onDisk)
        {
            plan.mode = Mode::Direct;
            const int e = OpenTarget(plan);
            if (e != 0) error = FileErrorFromErrno(e);
            return e;
        }
        if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        {
            error = FileError::IsFolder;
            return EISDIR;
        }
        plan.existed = true;
        plan.attributes = info.dwFileAttributes;
        if (const int e = Wide(plan.target, wide))
        {
            error = FileErrorFromErrno(e);
            return e;
        }
        if (const int e = MayWrite(wide, info.dwFileAttributes))
        {
            error = FileErrorFromErrno(e);
            return e;
        }
        plan.mode = info.nNumberOfLinks > 1 ? Mode::InPlace : Mode::Replace;
    }

    if (plan.mode != Mode::InPlace)
    {
        HANDLE temp = INVALID_HANDLE_VALUE;
        const int e = CreateTemp(plan, temp);
        if (e == 0)
        {
            int failure = WriteAll(temp, file.data, file.size);
            if (failure == 0) failure = SyncHandle(temp, FileStep::SyncFile, plan.temp);
            if (!CloseHandle(temp) && failure == 0) failure = LastErrno();
            if (failure != 0) error = FileErrorFromErrno(failure);
            return failure;
        }
        // A folder that takes no new file: a target that may be written is written in place.
        if (!(plan.existed && e == EACCES))
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
    if (plan.mode == Mode::InPlace)
    {
        LARGE_INTEGER start{};
        if (!SetFilePointerEx(plan.handle, start, nullptr, FILE_BEGIN) || !SetEndOfFile(plan.handle))
            return LastErrno();
    }
    if (const int e = WriteAll(plan.handle, data, size)) return e;
    return sync ? SyncHandle(plan.handle, FileStep::SyncFile, plan.target) : 0;
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
    std::wstring temp, target;
    if (const int e = Wide(plan.temp, temp)) return e;
    if (const int e = Wide(plan.target, target)) return e;
    // A copy of the file being replaced, so it can be put back when a later file of the
    // transaction fails. A copy, not a second hard link: a process ended before it removes
    // the link would leave the target hard-linked, and every later save would then write it
    // in place, no longer atomically.
    if (plan.mode == Mode::Replace && plan.existed && plan.mayNeedPuttingBack)
        for (unsigned attempt = 0; attempt < 16 && plan.backup.empty(); ++attempt)
        {
            const std::string name = TempNameIn(FolderOf(plan.target), attempt);
            std::wstring backup;
            if (Wide(name, backup) != 0) break;
            const int slot = RegisterTemporaryFile(name.c_str());
            if (CopyFileW(target.c_str(), backup.c_str(), TRUE))
            {
                plan.backup = name;
                plan.backupSlot = slot;
                break;
            }
            const DWORD code = GetLastError();
            ForgetTemporaryFile(slot);
            if (code != ERROR_FILE_EXISTS && code != ERROR_ALREADY_EXISTS) break; // cannot be put back
        }
    // Without replacing, the move refuses a name that was taken meanwhile, atomically.
    const DWORD flags = MOVEFILE_WRITE_THROUGH | (plan.mode == Mode::Replace ? MOVEFILE_REPLACE_EXISTING : 0);
    if (!MoveFileExW(temp.c_str(), target.c_str(), flags)) return LastErrno();
    plan.temp.clear();
    plan.committed = true;
    return 0;
}

// Puts plan's target back as it was before its commit (best effort: a name that cannot
// come back stays as the transaction left it).
void Undo(Plan& plan)
{
    if (!plan.committed) return;
    std::wstring target, backup;
    Wide(plan.target, target);
    switch (plan.mode)
    {
    case Mode::Replace:
        if (!plan.backup.empty())
        {
            if (Wide(plan.backup, backup) == 0 &&
                MoveFileExW(backup.c_str(), target.c_str(),
                            MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
                plan.backup.clear();
        }
        else if (!plan.existed)
            DeleteFileW(target.c_str());
        break;
    case Mode::Create:
        DeleteFileW(target.c_str());
        break;
    case Mode::InPlace:
        if (plan.haveOldContents) Rewrite(plan, plan.oldContents.data(), plan.oldContents.size(), true);
        break;
    case Mode::Direct:
        break;
    }
    plan.committed = false;
}

int SyncFolders(const std::vector<Plan>&, std::size_t&)
{
    return 0; // MOVEFILE_WRITE_THROUGH has already made each rename durable
}

// The Windows form of holding a lock on a folder: a named mutex per folder, shared by every
// process of the session. Several kelmora processes writing the same outputs at once must
// not interleave their renames (one's sprites with another's colours).
using FolderLock = HANDLE;

std::vector<FolderLock> LockFolders(const std::vector<Plan>& plans)
{
    std::vector<FolderLock> locks;
    if (plans.size() < 2) return locks;
    std::vector<std::wstring> folders;
    for (const Plan& plan : plans)
    {
        if (plan.mode != Mode::Replace && plan.mode != Mode::Create) continue;
        std::wstring wide, full(32768, L'\0');
        if (Wide(FolderOf(plan.target), wide) != 0) continue;
        const DWORD n = GetFullPathNameW(wide.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
        if (n == 0 || n >= full.size()) continue;
        full.resize(n);
        while (full.size() > 3 && (full.back() == L'\\' || full.back() == L'/'))
            full.pop_back();
        CharLowerBuffW(full.data(), static_cast<DWORD>(full.size())); // names differ by case only in looks
        folders.push_back(full);
    }
    std::sort(folders.begin(), folders.end()); // one order for every process: no deadlock
    folders.erase(std::unique(folders.begin(), folders.end()), folders.end());
    for (const std::wstring& folder : folders)
    {
        std::uint64_t hash = 14695981039346656037ULL; // FNV-1a: a mutex name is short
        for (const wchar_t c : folder)
            hash = (hash ^ static_cast<std::uint16_t>(c)) * 1099511628211ULL;
        wchar_t name[64];
        swprintf(name, 64, L"Local\\kelmora-folder-%016llx", static_cast<unsigned long long>(hash));
        const HANDLE mutex = CreateMutexW(nullptr, FALSE, name);
        if (mutex == nullptr) continue;
        const DWORD waited = WaitForSingleObject(mutex, INFINITE);
        if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED)
        {
            CloseHandle(mutex);
            continue;
        }
        locks.push_back(mutex);
    }
    return locks;
}

void UnlockFolders(const std::vector<FolderLock>& locks)
{
    for (const FolderLock mutex : locks)
    {
        ReleaseMutex(mutex);
        CloseHandle(mutex);
    }
}

void CleanUp(std::vector<Plan>& plans)
{
    for (Plan& plan : plans)
    {
        if (plan.handle != INVALID_HANDLE_VALUE) CloseHandle(plan.handle);
        plan.handle = INVALID_HANDLE_VALUE;
        std::wstring wide;
        if (!plan.temp.empty() && Wide(plan.temp, wide) == 0) DeleteFileW(wide.c_str());
        if (!plan.backup.empty() && Wide(plan.backup, wide) == 0) DeleteFileW(wide.c_str());
        ForgetNames(plan);
    }
}

// While the files are put in place a console event waits (see core/TemporaryFiles.h).
struct SignalsHeld
{
};

void HoldSignals(SignalsHeld&)
{
    HoldConsoleEvents();
}

void ReleaseSignals(const SignalsHeld&)
{
    ReleaseConsoleEvents();
}

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
#ifdef _WIN32
        plans[i].mayNeedPuttingBack = files.size() > 1; // nothing else can fail after a rename
#endif
        failed = i;
        error = Prepare(plans[i], noClobber, reason);
    }

    if (error == 0)
    {
        SignalsHeld held;
        HoldSignals(held);
        const std::vector<FolderLock> locks = LockFolders(plans);
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
