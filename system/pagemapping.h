#pragma once

#include <cstddef>

// Large blocks of pages straight from the operating system, zeroed by it,
// that grow without the caller copying them: GrowableMemory's big blocks.
// The one place that knows how each system does it.
class PageMapping
{
public:
    // What block sizes are rounded up to.
    static std::size_t granularity();
    // A new block of `bytes`; nullptr when the memory cannot be had.
    static char* map(std::size_t bytes);
    // The block of `bytes` at `data` grown to `newBytes`, its contents kept;
    // it may move. nullptr when it cannot grow, and the block is then as it was.
    static char* grow(char* data, std::size_t bytes, std::size_t newBytes);
    static void unmap(char* data, std::size_t bytes);
};
