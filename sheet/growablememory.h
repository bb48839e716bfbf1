#pragma once

#include <cstddef>
#include <type_traits>
#include <utility>

// One contiguous, growable block of memory for the big arrays of a sheet.
// Small blocks come from malloc; from a quarter of a megabyte on, the block
// is a PageMapping, given back whole when the sheet goes. So a folder's
// files read one after another each cost one sheet: glibc, once a large
// block is freed, serves the next ones of that size from its heap, where
// growing them left old copies behind (1.6 times one sheet). A mapping grows
// without copying bytes (mremap on Linux, pages committed in a reserved
// range on Windows) and, on Linux, asks for transparent huge pages, which
// cuts the page faults of a million-row sheet by hundreds. Growing zeroes
// nothing: the owner writes what it appends before reading it
// (GrowableArray::push_back); only GrowableArray::resize value-initialises
// the elements it adds. Only the pages touched cost memory, so doubling the
// capacity costs none.
class GrowableMemory
{
public:
    GrowableMemory() = default;
    ~GrowableMemory();
    GrowableMemory(GrowableMemory&& other) noexcept;
    GrowableMemory& operator=(GrowableMemory&& other) noexcept;
    GrowableMemory(const GrowableMemory&) = delete;
    GrowableMemory& operator=(const GrowableMemory&) = delete;

    char* data() { return data_; }
    const char* data() const { return data_; }
    std::size_t capacity() const { return capacity_; }
    // Makes the capacity at least `bytes`, keeping the contents; throws
    // std::bad_alloc when the memory cannot be had.
    void reserve(std::size_t bytes)
    {
        if (bytes > capacity_)
            grow(bytes);
    }
    // Gives the memory back.
    void release();

    // From this size on the memory is mapped rather than allocated.
    static constexpr std::size_t kMapFrom = std::size_t{256} << 10;

private:
    void grow(std::size_t bytes);

    char* data_ = nullptr;
    std::size_t capacity_ = 0;
    bool mapped_ = false;
};

// A growable array of trivially copyable T on GrowableMemory.
template <typename T> class GrowableArray
{
    static_assert(std::is_trivially_copyable_v<T>);

public:
    GrowableArray() = default;
    // A moved-from array is empty: its size goes with its memory.
    GrowableArray(GrowableArray&& other) noexcept
        : memory_(std::move(other.memory_)), size_(std::exchange(other.size_, 0))
    {
    }
    GrowableArray& operator=(GrowableArray&& other) noexcept
    {
        memory_ = std::move(other.memory_);
        size_ = std::exchange(other.size_, 0);
        return *this;
    }

    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    T* data() { return reinterpret_cast<T*>(memory_.data()); }
    const T* data() const { return reinterpret_cast<const T*>(memory_.data()); }
    T& operator[](std::size_t i) { return data()[i]; }
    const T& operator[](std::size_t i) const { return data()[i]; }

    T& push_back(const T& value)
    {
        if (size_ == capacity())
            memory_.reserve(growTo(size_ + 1));
        T* slot = data() + size_++;
        *slot = value;
        return *slot;
    }
    // Grows with value-initialised elements or drops the tail.
    void resize(std::size_t n)
    {
        if (n > capacity())
            memory_.reserve(n * sizeof(T));
        for (std::size_t i = size_; i < n; ++i)
            data()[i] = T{};
        size_ = n;
        if (n == 0)
            memory_.release();
    }
    void clear() { resize(0); }
    std::size_t allocatedBytes() const { return memory_.capacity(); }

private:
    std::size_t capacity() const { return memory_.capacity() / sizeof(T); }
    static std::size_t growTo(std::size_t n)
    {
        constexpr std::size_t kFirst = 16;
        std::size_t bytes = kFirst * sizeof(T);
        while (bytes < n * sizeof(T))
            bytes *= 2;
        return bytes;
    }

    GrowableMemory memory_;
    std::size_t size_ = 0;
};
