#include "sheet/growablememory.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <sys/mman.h>
#include <utility>

namespace {
constexpr std::size_t kHugePage = std::size_t{2} << 20;

std::size_t roundUp(std::size_t n, std::size_t to)
{
    return (n + to - 1) / to * to;
}

void adviseHuge([[maybe_unused]] char* data, [[maybe_unused]] std::size_t bytes)
{
#ifdef MADV_HUGEPAGE
    // Only a wish: where the kernel offers no huge pages nothing changes.
    ::madvise(data, bytes, MADV_HUGEPAGE);
#endif
}
} // namespace

GrowableMemory::~GrowableMemory()
{
    release();
}

GrowableMemory::GrowableMemory(GrowableMemory&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)), capacity_(std::exchange(other.capacity_, 0)),
      mapped_(std::exchange(other.mapped_, false))
{
}

GrowableMemory& GrowableMemory::operator=(GrowableMemory&& other) noexcept
{
    if (this != &other) {
        release();
        data_ = std::exchange(other.data_, nullptr);
        capacity_ = std::exchange(other.capacity_, 0);
        mapped_ = std::exchange(other.mapped_, false);
    }
    return *this;
}

void GrowableMemory::release()
{
    if (mapped_)
        ::munmap(data_, capacity_);
    else
        std::free(data_);
    data_ = nullptr;
    capacity_ = 0;
    mapped_ = false;
}

void GrowableMemory::grow(std::size_t bytes)
{
    std::size_t capacity = std::max(bytes, capacity_ * 2);
    if (capacity < kMapFrom) {
        void* bigger = std::realloc(data_, capacity);
        if (!bigger)
            throw std::bad_alloc();
        data_ = static_cast<char*>(bigger);
        capacity_ = capacity;
        return;
    }
    // Whole huge pages, so that the last one can be a huge one too.
    capacity = roundUp(capacity, kHugePage);
    void* bigger = MAP_FAILED;
    if (mapped_) {
        bigger = ::mremap(data_, capacity_, capacity, MREMAP_MAYMOVE);
    } else {
        bigger =
            ::mmap(nullptr, capacity, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (bigger != MAP_FAILED && data_) {
            std::memcpy(bigger, data_, capacity_);
            std::free(data_);
        }
    }
    if (bigger == MAP_FAILED)
        throw std::bad_alloc();
    data_ = static_cast<char*>(bigger);
    capacity_ = capacity;
    mapped_ = true;
    adviseHuge(data_, capacity_);
}
