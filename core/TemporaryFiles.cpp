// The table of temporary files and the signal handlers that remove them.
#include "core/TemporaryFiles.h"

#include <atomic>
#include <cstddef>
#include <cstring>

#ifdef _WIN32
#include "core/FileIO.h"

#include <string>
#include <windows.h>
#else
#include <cerrno>
#include <csignal>
#include <unistd.h>
#endif

namespace kelmora
{

namespace
{

constexpr int kSlots = 64;
constexpr std::size_t kNameBytes = 4096;

enum SlotState : int
{
    kFree = 0,
    kFilling = 1, // claimed, its name being copied: the handler leaves it alone
    kReady = 2,
};

struct Slot
{
    std::atomic<int> state{kFree};
    char name[kNameBytes];
};

Slot g_slots[kSlots];

static_assert(std::atomic<int>::is_always_lock_free, "the signal handler reads the slots' state");

#ifndef _WIN32

const int kCleanupSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGPIPE};
constexpr int kSignalCount = sizeof kCleanupSignals / sizeof kCleanupSignals[0];
struct sigaction g_previous[kSignalCount];
std::atomic<bool> g_installed[kSignalCount];

void RemoveRegisteredFiles()
{
    for (Slot& slot : g_slots)
        if (slot.state.load() == kReady) unlink(slot.name);
}

void OnSignal(int sig, siginfo_t* info, void* context)
{
    const int savedErrno = errno;
    // A handler the program had installed before decides what happens: the process may
    // live on and finish its saves, so their temporary files stay where they are.
    for (int i = 0; i < kSignalCount; ++i)
    {
        if (kCleanupSignals[i] != sig) continue;
        const struct sigaction& before = g_previous[i];
        if ((before.sa_flags & SA_SIGINFO) != 0 && before.sa_sigaction != nullptr)
        {
            before.sa_sigaction(sig, info, context);
            errno = savedErrno;
            return;
        }
        if (before.sa_handler != SIG_DFL && before.sa_handler != SIG_IGN && before.sa_handler != nullptr)
        {
            before.sa_handler(sig);
            errno = savedErrno;
            return;
        }
    }
    // The default action: end the process by this very signal, once this handler returns
    // and the signal is no longer blocked; nothing of a save in progress stays behind.
    RemoveRegisteredFiles();
    signal(sig, SIG_DFL);
    raise(sig);
    errno = savedErrno;
}

#else

SRWLOCK g_placing = SRWLOCK_INIT; // held while a transaction creates or renames its files
std::atomic<bool> g_consoleHandlerInstalled{false};

BOOL WINAPI OnConsoleEvent(DWORD event)
{
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && event != CTRL_CLOSE_EVENT) return FALSE;
    // This runs on a thread of its own while the program goes on: a transaction that is
    // putting its files in place finishes first, and none starts after.
    AcquireSRWLockExclusive(&g_placing);
    for (Slot& slot : g_slots)
    {
        if (slot.state.load() != kReady) continue;
        std::wstring wide;
        if (WindowsPath(slot.name, wide) == 0)
            DeleteFileW(wide.c_str()); // a file still open goes once its handle closes, as the process ends
    }
    ExitProcess(static_cast<UINT>(STATUS_CONTROL_C_EXIT));
}

#endif

} // namespace

#ifdef _WIN32
void HoldConsoleEvents()
{
    AcquireSRWLockExclusive(&g_placing);
}

void ReleaseConsoleEvents()
{
    ReleaseSRWLockExclusive(&g_placing);
}
#endif

bool InstallTemporaryFileCleanup()
{
#ifdef _WIN32
    if (g_consoleHandlerInstalled.exchange(true)) return true;
    if (SetConsoleCtrlHandler(OnConsoleEvent, TRUE)) return true;
    g_consoleHandlerInstalled = false;
    return false;
#else
    bool ok = signal(SIGXFSZ, SIG_IGN) != SIG_ERR;
    for (int i = 0; i < kSignalCount; ++i)
    {
        if (g_installed[i].load()) continue;
        struct sigaction before;
        if (sigaction(kCleanupSignals[i], nullptr, &before) != 0)
        {
            ok = false;
            continue;
        }
        if ((before.sa_flags & SA_SIGINFO) == 0 && before.sa_handler == SIG_IGN) continue;
        g_previous[i] = before;
        struct sigaction handler;
        std::memset(&handler, 0, sizeof handler);
        handler.sa_sigaction = OnSignal;
        handler.sa_flags = SA_SIGINFO | SA_RESTART;
        sigemptyset(&handler.sa_mask);
        for (int other : kCleanupSignals)
            sigaddset(&handler.sa_mask, other);
        if (sigaction(kCleanupSignals[i], &handler, nullptr) != 0)
        {
            ok = false;
            continue;
        }
        g_installed[i] = true;
    }
    return ok;
#endif
}

int RegisterTemporaryFile(const char* path)
{
    if (path == nullptr) return -1;
    const std::size_t length = std::strlen(path);
    if (length == 0 || length >= kNameBytes) return -1;
    for (int i = 0; i < kSlots; ++i)
    {
        int expected = kFree;
        if (!g_slots[i].state.compare_exchange_strong(expected, kFilling)) continue;
        std::memcpy(g_slots[i].name, path, length + 1);
        g_slots[i].state.store(kReady);
        return i;
    }
    return -1;
}

void ForgetTemporaryFile(int slot)
{
    if (slot < 0 || slot >= kSlots) return;
    g_slots[slot].state.store(kFree);
}

} // namespace kelmora
