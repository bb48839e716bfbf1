#include "system/signalcleanup.h"

#include <atomic>
#include <cstring>

namespace {
// A slot is claimed by its registration, then filled, then marked in use:
// the handler reads only slots in use, whose path is complete.
std::atomic<bool> claimed[SignalCleanup::kSlots];
std::atomic<bool> inUse[SignalCleanup::kSlots];
static_assert(std::atomic<bool>::is_always_lock_free, "the handler reads these flags");
} // namespace

const char* SignalCleanup::registeredPath(int slot)
{
    return inUse[slot].load() ? slotPath(slot) : nullptr;
}

SignalCleanup::SignalCleanup(const QByteArray& path)
{
    if (path.isEmpty() || !takesPath(path.size() + 1) || path.contains('\0'))
        return;
    installOnce();
    for (int i = 0; i < kSlots; ++i) {
        bool expected = false;
        if (!claimed[i].compare_exchange_strong(expected, true))
            continue;
        std::memcpy(slotPath(i), path.constData(), static_cast<std::size_t>(path.size()) + 1);
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
