#include "system/pagemapping.h"

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
