#include "system/signalcleanup.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <mutex>
#include <pthread.h>
#include <unistd.h>

using SignalAction = struct sigaction;

namespace {
constexpr int kSignals[] = {SIGTERM, SIGHUP, SIGINT};
constexpr int kPathMax = PATH_MAX;
char paths[SignalCleanup::kSlots][kPathMax];

extern "C" void removeAndEnd(int signal)
{
    const int saved = errno;
    for (int i = 0; i < SignalCleanup::kSlots; ++i) {
        const char* path = SignalCleanup::registeredPath(i);
        if (path && unlink(path) != 0 && errno == EISDIR)
            rmdir(path);
    }
    // The signal is blocked while its handler runs: raised again with the
    // default action, it ends the program as soon as the handler returns.
    std::signal(signal, SIG_DFL);
    std::raise(signal);
    errno = saved;
}
} // namespace

void SignalCleanup::installOnce()
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

bool SignalCleanup::takesPath(qsizetype bytes)
{
    return bytes <= kPathMax;
}

char* SignalCleanup::slotPath(int slot)
{
    return paths[slot];
}

struct SignalCleanup::Defer::Mask
{
    sigset_t signals;
};

SignalCleanup::Defer::Defer() : before_(std::make_unique<Mask>())
{
    installOnce();
    sigset_t held;
    sigemptyset(&held);
    for (const int signal : kSignals)
        sigaddset(&held, signal);
    pthread_sigmask(SIG_BLOCK, &held, &before_->signals);
}

SignalCleanup::Defer::~Defer()
{
    pthread_sigmask(SIG_SETMASK, &before_->signals, nullptr);
}
