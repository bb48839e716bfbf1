#pragma once

#include <cstddef>
#include <memory>
#include <vector>

// A growable array kept in fixed-size chunks. Unlike std::vector it never
// moves what it holds, so growing a sheet of millions of rows costs no
// transient double allocation and no copy.
template <typename T, int ChunkBits> class ChunkedVector
{
public:
    static constexpr std::size_t kChunkSize = std::size_t{1} << ChunkBits;

    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }

    T& operator[](std::size_t i) { return chunks_[i >> ChunkBits][i & (kChunkSize - 1)]; }
    const T& operator[](std::size_t i) const
    {
        return chunks_[i >> ChunkBits][i & (kChunkSize - 1)];
    }

    void push_back(const T& value)
    {
        if ((size_ & (kChunkSize - 1)) == 0 && (size_ >> ChunkBits) == chunks_.size())
            chunks_.push_back(std::make_unique<T[]>(kChunkSize));
        (*this)[size_++] = value;
    }

    // Grows with value-initialised elements or drops the tail; chunks past
    // the new end are freed.
    void resize(std::size_t n)
    {
        const std::size_t chunksNeeded = (n + kChunkSize - 1) >> ChunkBits;
        while (chunks_.size() < chunksNeeded)
            chunks_.push_back(std::make_unique<T[]>(kChunkSize));
        for (std::size_t i = n; i < size_ && i < chunksNeeded * kChunkSize; ++i)
            (*this)[i] = T{};
        chunks_.resize(chunksNeeded);
        size_ = n;
    }

    void clear()
    {
        chunks_.clear();
        size_ = 0;
    }

    std::size_t allocatedBytes() const
    {
        return chunks_.size() * kChunkSize * sizeof(T) + chunks_.capacity() * sizeof(void*);
    }

private:
    std::vector<std::unique_ptr<T[]>> chunks_;
    std::size_t size_ = 0;
};
