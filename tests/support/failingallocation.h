#pragma once

#include <cstddef>

// While one lives, the `n`th allocation (0: the next) of at least `bytes`
// bytes that this thread asks of operator new throws std::bad_alloc, as when
// memory runs out at that point; the others succeed. A test fails each
// allocation of a step in turn, or the first big one, and needs no memory
// limit, which would be flaky and which AddressSanitizer does not take.
// Only a test binary that uses it has its operator new replaced.
class FailingAllocation
{
public:
    explicit FailingAllocation(long n, std::size_t bytes = 0);
    ~FailingAllocation();
    FailingAllocation(const FailingAllocation&) = delete;
    FailingAllocation& operator=(const FailingAllocation&) = delete;

    // Whether the allocation has failed yet.
    bool failed() const;
    // How many allocations of at least `bytes` bytes it has seen, the failed
    // one included: where to fail the next step after a first one.
    long seen() const;
};
