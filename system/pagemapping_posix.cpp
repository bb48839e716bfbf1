#include "sheet/pagemapping.h"

#ifdef _WIN32

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

#else

#include <sys/mman.h>

namespace {
// Whole huge pages, so that the last one can be a huge one too.
constexpr std::size_t kHugePage = std::size_t{2} << 20;

char* advisedHuge(void* data, std::size_t bytes)
{
    if (data == MAP_FAILED)
        return nullptr;
#ifdef MADV_HUGEPAGE
    // Only a wish: where the kernel offers no huge pages nothing changes.
    ::madvise(data, bytes, MADV_HUGEPAGE);
#endif
    return static_cast<char*>(data);
}
} // namespace

std::size_t PageMapping::granularity()
{
    return kHugePage;
}

char* PageMapping::map(std::size_t bytes)
{
    return advisedHuge(
        ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0), bytes);
}

// mremap moves page tables, never bytes.
char* PageMapping::grow(char* data, std::size_t bytes, std::size_t newBytes)
{
    return advisedHuge(::mremap(data, bytes, newBytes, MREMAP_MAYMOVE), newBytes);
}

void PageMapping::unmap(char* data, std::size_t bytes)
{
    ::munmap(data, bytes);
}

#endif
