#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <memory>
#include <type_traits>
#include <vector>

// A growable array kept in fixed-size chunks. Unlike std::vector it never
// moves what it holds once a chunk is full, so growing a sheet of millions of
// rows costs no transient double allocation and no copy. The first chunk
// starts small and doubles up to the chunk size, so a small array costs
// little. Memory is not zeroed before it is written.
template <typename T, int ChunkBits> class ChunkedVector
{
    static_assert(std::is_trivially_copyable_v<T>);

public:
    static constexpr std::size_t kChunkSize = std::size_t{1} << ChunkBits;
    static constexpr std::size_t kFirstCapacity = std::min<std::size_t>(kChunkSize, 16);

    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }

    T& operator[](std::size_t i) { return chunks_[i >> ChunkBits][i & (kChunkSize - 1)]; }
    const T& operator[](std::size_t i) const
    {
        return chunks_[i >> ChunkBits][i & (kChunkSize - 1)];
    }

    void push_back(const T& value)
    {
        if (size_ == capacity_)
            grow();
        (*this)[size_++] = value;
    }

    // Grows with value-initialised elements or drops the tail; chunks past
    // the new end are freed.
    void resize(std::size_t n)
    {
        while (capacity_ < n)
            grow();
        for (std::size_t i = size_; i < n; ++i)
            (*this)[i] = T{};
        const std::size_t chunksNeeded = (n + kChunkSize - 1) >> ChunkBits;
        if (chunksNeeded < chunks_.size()) {
            chunks_.resize(chunksNeeded);
            capacity_ = chunksNeeded * kChunkSize;
            if (chunksNeeded == 0)
                capacity_ = 0;
        }
        size_ = n;
    }

    void clear()
    {
        chunks_.clear();
        size_ = 0;
        capacity_ = 0;
    }

    std::size_t allocatedBytes() const
    {
        return capacity_ * sizeof(T) + chunks_.capacity() * sizeof(void*);
    }

private:
    void grow()
    {
        if (chunks_.empty()) {
            chunks_.push_back(std::make_unique_for_overwrite<T[]>(kFirstCapacity));
            capacity_ = kFirstCapacity;
        } else if (capacity_ < kChunkSize) {
            // The first chunk doubles until it is whole.
            const std::size_t capacity = std::min(capacity_ * 2, kChunkSize);
            auto bigger = std::make_unique_for_overwrite<T[]>(capacity);
            std::memcpy(bigger.get(), chunks_[0].get(), size_ * sizeof(T));
            chunks_[0] = std::move(bigger);
            capacity_ = capacity;
        } else {
            chunks_.push_back(std::make_unique_for_overwrite<T[]>(kChunkSize));
            capacity_ += kChunkSize;
        }
    }

    std::vector<std::unique_ptr<T[]>> chunks_;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
};
