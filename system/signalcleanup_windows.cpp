#include "system/signalcleanup.h"

#include <mutex>
#include <windows.h>

namespace {
// Room for a long path's UTF-8 bytes.
constexpr int kPathMax = 32768 * 3;
char paths[SignalCleanup::kSlots][kPathMax];

// Runs on a thread of its own, so any call may be made. A file still held
// open goes when the program's handles close, as it ends.
BOOL WINAPI removeOnConsoleEnd(DWORD /*event*/)
{
    for (int i = 0; i < SignalCleanup::kSlots; ++i) {
        const char* registered = SignalCleanup::registeredPath(i);
        if (!registered)
            continue;
        wchar_t path[32768];
        const int size = MultiByteToWideChar(CP_UTF8, 0, registered, -1, path, 32768);
        if (size > 0 && !DeleteFileW(path))
            RemoveDirectoryW(path);
    }
    // Not handled: the system goes on to end the program as it would have.
    return FALSE;
}
} // namespace

void SignalCleanup::installOnce()
{
    static std::once_flag once;
    std::call_once(once, [] { SetConsoleCtrlHandler(removeOnConsoleEnd, TRUE); });
}

bool SignalCleanup::takesPath(qsizetype bytes)
{
    return bytes <= kPathMax;
}

char* SignalCleanup::slotPath(int slot)
{
    return paths[slot];
}

// A console event comes on a thread of its own, never between two
// instructions of this one: there is nothing to hold back.
struct SignalCleanup::Defer::Mask
{
};

SignalCleanup::Defer::Defer()
{
    installOnce();
}

SignalCleanup::Defer::~Defer() = default;
