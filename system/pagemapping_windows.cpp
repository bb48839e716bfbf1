#include "system/pagemapping.h"

#include <cstring>
#include <windows.h>

// Each block reserves room for the largest it may become (a sheet's text
// pool stops at 4 GiB, its rows at 600 MB), so that growing only commits
// pages behind the ones it has: no copy, and committed pages are zero. A
// block asked for beyond that moves once, by a copy.
namespace {
constexpr std::size_t kReserve = std::size_t{8} << 30;

std::size_t reservation(std::size_t bytes)
{
    return bytes > kReserve ? bytes : kReserve;
}
} // namespace

std::size_t PageMapping::granularity()
{
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    return info.dwAllocationGranularity;
}

char* PageMapping::map(std::size_t bytes)
{
    void* reserved = VirtualAlloc(nullptr, reservation(bytes), MEM_RESERVE, PAGE_NOACCESS);
    if (!reserved)
        return nullptr;
    if (!VirtualAlloc(reserved, bytes, MEM_COMMIT, PAGE_READWRITE)) {
        VirtualFree(reserved, 0, MEM_RELEASE);
        return nullptr;
    }
    return static_cast<char*>(reserved);
}

char* PageMapping::grow(char* data, std::size_t bytes, std::size_t newBytes)
{
    if (newBytes <= reservation(bytes))
        return VirtualAlloc(data, newBytes, MEM_COMMIT, PAGE_READWRITE) ? data : nullptr;
    char* moved = map(newBytes);
    if (!moved)
        return nullptr;
    std::memcpy(moved, data, bytes);
    unmap(data, bytes);
    return moved;
}

void PageMapping::unmap(char* data, std::size_t)
{
    VirtualFree(data, 0, MEM_RELEASE);
}
