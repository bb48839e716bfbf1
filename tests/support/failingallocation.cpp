#include "tests/support/failingallocation.h"

#include <cstdlib>
#include <new>

namespace {
// Constant-initialised, so reading them costs no guard in operator new.
thread_local long allocationsToFailure = -1;
thread_local std::size_t failingBytes = 0;
thread_local bool allocationFailed = false;
thread_local long allocationsSeen = 0;

void* allocate(std::size_t bytes)
{
    if (allocationsToFailure >= 0 && bytes >= failingBytes) {
        ++allocationsSeen;
        if (allocationsToFailure-- == 0) {
            allocationFailed = true;
            throw std::bad_alloc();
        }
    }
    if (void* p = std::malloc(bytes == 0 ? 1 : bytes))
        return p;
    throw std::bad_alloc();
}
} // namespace

FailingAllocation::FailingAllocation(long n, std::size_t bytes)
{
    failingBytes = bytes;
    allocationFailed = false;
    allocationsSeen = 0;
    allocationsToFailure = n;
}

FailingAllocation::~FailingAllocation()
{
    allocationsToFailure = -1;
}

bool FailingAllocation::failed() const
{
    return allocationFailed;
}

long FailingAllocation::seen() const
{
    return allocationsSeen;
}

// Every form that pairs with these is replaced too, the sized and nothrow
// deletes among them: the runtime's own (AddressSanitizer's) would take
// memory from malloc for its own and report a mismatch. The aligned forms
// stay the runtime's, in pairs of their own.
void* operator new(std::size_t bytes)
{
    return allocate(bytes);
}

void* operator new[](std::size_t bytes)
{
    return allocate(bytes);
}

void* operator new(std::size_t bytes, const std::nothrow_t&) noexcept
{
    try {
        return allocate(bytes);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

void* operator new[](std::size_t bytes, const std::nothrow_t&) noexcept
{
    try {
        return allocate(bytes);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

void operator delete(void* p) noexcept
{
    std::free(p);
}

void operator delete[](void* p) noexcept
{
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}

void operator delete[](void* p, std::size_t) noexcept
{
    std::free(p);
}

void operator delete(void* p, const std::nothrow_t&) noexcept
{
    std::free(p);
}

void operator delete[](void* p, const std::nothrow_t&) noexcept
{
    std::free(p);
}
