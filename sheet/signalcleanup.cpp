#include "sheet/signalcleanup.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <mutex>
#include <pthread.h>
#include <unistd.h>

using SignalAction = struct sigaction;

namespace {
constexpr int kSignals[] = {SIGTERM, SIGHUP, SIGINT};

// A slot is claimed by its registration, then filled, then marked in use:
// the handler reads only slots in use, whose path is complete.
char paths[SignalCleanup::kSlots][PATH_MAX];
std::atomic<bool> claimed[SignalCleanup::kSlots];
std::atomic<bool> inUse[SignalCleanup::kSlots];
static_assert(std::atomic<bool>::is_always_lock_free, "the handler reads these flags");

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
    pthread_sigmask(SIG_BLOCK, &held, &before_);
}

SignalCleanup::Defer::~Defer()
{
    pthread_sigmask(SIG_SETMASK, &before_, nullptr);
}

SignalCleanup::SignalCleanup(const QByteArray& path)
{
    if (path.isEmpty() || path.size() >= PATH_MAX || path.contains('\0'))
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
