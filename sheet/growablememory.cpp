#include "sheet/growablememory.h"

#include "system/pagemapping.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

namespace {
std::size_t roundUp(std::size_t n, std::size_t to)
{
    return (n + to - 1) / to * to;
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
        PageMapping::unmap(data_, capacity_);
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
    capacity = roundUp(capacity, PageMapping::granularity());
    char* bigger =
        mapped_ ? PageMapping::grow(data_, capacity_, capacity) : PageMapping::map(capacity);
    if (!bigger)
        throw std::bad_alloc();
    if (!mapped_ && data_) {
        std::memcpy(bigger, data_, capacity_);
        std::free(data_);
    }
    data_ = bigger;
    capacity_ = capacity;
    mapped_ = true;
}
