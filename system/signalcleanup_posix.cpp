#include "sheet/signalcleanup.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <mutex>

#ifdef _WIN32
#include <windows.h>
#else
#include <pthread.h>
#include <unistd.h>
#endif

namespace {
#ifdef _WIN32
// Room for a long path's UTF-8 bytes.
constexpr int kPathMax = 32768 * 3;
#else
constexpr int kPathMax = PATH_MAX;
#endif

// A slot is claimed by its registration, then filled, then marked in use:
// the handler reads only slots in use, whose path is complete.
char paths[SignalCleanup::kSlots][kPathMax];
std::atomic<bool> claimed[SignalCleanup::kSlots];
std::atomic<bool> inUse[SignalCleanup::kSlots];
static_assert(std::atomic<bool>::is_always_lock_free, "the handler reads these flags");
} // namespace

#ifdef _WIN32

namespace {
// Runs on a thread of its own, so any call may be made. A file still held
// open goes when the program's handles close, as it ends.
BOOL WINAPI removeOnConsoleEnd(DWORD /*event*/)
{
    for (int i = 0; i < SignalCleanup::kSlots; ++i) {
        if (!inUse[i].load())
            continue;
        wchar_t path[32768];
        const int size = MultiByteToWideChar(CP_UTF8, 0, paths[i], -1, path, 32768);
        if (size > 0 && !DeleteFileW(path))
            RemoveDirectoryW(path);
    }
    // Not handled: the system goes on to end the program as it would have.
    return FALSE;
}

void installOnce()
{
    static std::once_flag once;
    std::call_once(once, [] { SetConsoleCtrlHandler(removeOnConsoleEnd, TRUE); });
}
} // namespace

// A console event comes on a thread of its own, never between two
// instructions of this one: there is nothing to hold back.
SignalCleanup::Defer::Defer()
{
    installOnce();
}

SignalCleanup::Defer::~Defer() = default;

#else

using SignalAction = struct sigaction;
static_assert(sizeof(sigset_t) <= sizeof(SignalCleanup::Defer), "the saved mask fits");

namespace {
constexpr int kSignals[] = {SIGTERM, SIGHUP, SIGINT};

extern "C" void removeAndEnd(int signal)
{
    const int saved = errno;
    for (int i = 0; i < SignalCleanup::kSlots; ++i) {
        if (inUse[i].load() && unlink(paths[i]) != 0 && errno == EISDIR)
            rmdir(paths[i]);
    }
    // The signal is blocked while its handler runs: raised again with the
    // default action, it ends the program as soon as the handler returns.
    std::signal(signal, SIG_DFL);
    std::raise(signal);
    errno = saved;
}

void installOnce()
{
    static std::once_flag once;
    std::call_once(once, [] {
        for (const int signal : kSignals) {
            SignalAction previous = {};
            if (sigaction(signal, nullptr, &previous) != 0 || previous.sa_handler != SIG_DFL)
                continue;
            SignalAction action = {};
            action.sa_handler = removeAndEnd;
            sigemptyset(&action.sa_mask);
            // One signal's cleanup is not cut short by another's.
            for (const int other : kSignals)
                sigaddset(&action.sa_mask, other);
            sigaction(signal, &action, nullptr);
        }
    });
}
} // namespace

SignalCleanup::Defer::Defer()
{
    installOnce();
    sigset_t held;
    sigemptyset(&held);
    for (const int signal : kSignals)
        sigaddset(&held, signal);
    pthread_sigmask(SIG_BLOCK, &held, reinterpret_cast<sigset_t*>(before_));
}

SignalCleanup::Defer::~Defer()
{
    pthread_sigmask(SIG_SETMASK, reinterpret_cast<const sigset_t*>(before_), nullptr);
}

#endif

SignalCleanup::SignalCleanup(const QByteArray& path)
{
    if (path.isEmpty() || path.size() >= kPathMax || path.contains('\0'))
        return;
    installOnce();
    for (int i = 0; i < kSlots; ++i) {
        bool expected = false;
        if (!claimed[i].compare_exchange_strong(expected, true))
            continue;
        std::memcpy(paths[i], path.constData(), static_cast<std::size_t>(path.size()) + 1);
        inUse[i].store(true);
        slot_ = i;
        return;
    }
}

SignalCleanup::~SignalCleanup()
{
    if (slot_ < 0)
        return;
    inUse[slot_].store(false);
    claimed[slot_].store(false);
}
