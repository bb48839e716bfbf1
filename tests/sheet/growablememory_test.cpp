#include "sheet/growablememory.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <utility>

namespace {
// The contents survive every way the block grows: within malloc, from
// malloc into a mapping across kMapFrom, and a mapping moved by mremap;
// shrinking to nothing gives the memory back, and a move hands it over.
TEST(GrowableArray, KeepsItsContentsAcrossEveryKindOfGrowth)
{
    constexpr std::size_t kPast = 3 * GrowableMemory::kMapFrom / sizeof(std::uint32_t);
    GrowableArray<std::uint32_t> numbers;
    const std::size_t checkpoints[] = {1, 1000,
                                       GrowableMemory::kMapFrom / sizeof(std::uint32_t) - 1,
                                       GrowableMemory::kMapFrom / sizeof(std::uint32_t) + 1, kPast};
    std::size_t next = 0;
    for (const std::size_t upTo : checkpoints) {
        while (next < upTo)
            numbers.push_back(static_cast<std::uint32_t>(next++ * 2654435761u));
        ASSERT_EQ(numbers.size(), upTo);
        ASSERT_GE(numbers.allocatedBytes(), upTo * sizeof(std::uint32_t));
        for (std::size_t i = 0; i < upTo; i += 997)
            ASSERT_EQ(numbers[i], static_cast<std::uint32_t>(i * 2654435761u)) << upTo << ' ' << i;
        ASSERT_EQ(numbers[upTo - 1], static_cast<std::uint32_t>((upTo - 1) * 2654435761u));
    }

    // resize() adds value-initialised elements and drops the tail.
    numbers.resize(kPast + 3);
    EXPECT_EQ(numbers[kPast], 0u);
    EXPECT_EQ(numbers[kPast + 2], 0u);
    numbers.resize(10);
    EXPECT_EQ(numbers[9], static_cast<std::uint32_t>(9 * 2654435761u));

    GrowableArray<std::uint32_t> moved = std::move(numbers);
    EXPECT_EQ(moved.size(), 10u);
    EXPECT_EQ(numbers.size(), 0u); // NOLINT(bugprone-use-after-move): what is left is empty
    numbers.push_back(7);
    EXPECT_EQ(numbers[0], 7u);
    EXPECT_EQ(moved[9], static_cast<std::uint32_t>(9 * 2654435761u));
    moved.clear();
    EXPECT_EQ(moved.allocatedBytes(), 0u);
}
} // namespace
