#include "sheet/cellstore.h"
#include "tests/support/casename.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {
constexpr std::size_t kBlock = std::size_t{1} << 20;

std::string pattern(std::size_t size, int seed)
{
    std::string text(size, ' ');
    for (std::size_t i = 0; i < size; ++i)
        text[i] = static_cast<char>('a' + (i * 7 + static_cast<std::size_t>(seed)) % 26);
    return text;
}

class PoolText : public ::testing::TestWithParam<std::size_t>
{
};

// Lengths around the varint steps and the pool's block size; the texts stay
// readable as many more fill further blocks behind them.
TEST_P(PoolText, ReadsBackWhatWasStored)
{
    CellStore store;
    std::vector<std::pair<CellStore::Handle, std::string>> stored;
    auto add = [&](std::string text) { stored.emplace_back(store.addText(text), std::move(text)); };
    add("a");
    add(pattern(GetParam(), 1));
    add("b");
    for (int i = 0; i < 3000; ++i)
        add(pattern(700 + static_cast<std::size_t>(i % 5), i));
    for (const auto& [handle, text] : stored) {
        ASSERT_FALSE(CellStore::isInterned(handle));
        ASSERT_EQ(store.utf8(handle), text);
    }
    EXPECT_EQ(store.text(stored[1].first).size(), static_cast<qsizetype>(GetParam()));
}

INSTANTIATE_TEST_SUITE_P(Sizes, PoolText,
                         ::testing::Values(1, 127, 128, 16383, 16384, kBlock - 4, kBlock - 3,
                                           kBlock, kBlock + 1, 3 * kBlock));

TEST(CellStore, InternedTextsAreLimited)
{
    CellStore store;
    for (int i = 0; i < CellStore::kMaxInterned; ++i)
        store.intern(std::to_string(i));
    EXPECT_THROW(store.intern("one more"), std::length_error);
    EXPECT_EQ(store.intern("7"), store.findInterned("7"));
    EXPECT_EQ(store.utf8(CellStore::kMaxInterned), std::to_string(CellStore::kMaxInterned - 1));
}

// Rows marked by their first cell, every third one wide.
CellStore markedRows(int rows)
{
    CellStore store;
    for (int r = 0; r < rows; ++r) {
        store.setHandle(r, 0, store.addText(std::to_string(r)));
        if (r % 3 == 0)
            store.setHandle(r, 40, store.addText("w" + std::to_string(r)));
    }
    return store;
}

std::vector<std::string> marks(const CellStore& store)
{
    std::vector<std::string> out;
    for (int r = 0; r < store.rows(); ++r) {
        std::string mark(store.utf8(store.handle(r, 0)));
        if (const std::string_view wide = store.utf8(store.handle(r, 40)); !wide.empty())
            mark += "+" + std::string(wide);
        out.push_back(mark);
    }
    return out;
}

struct RemoveCase
{
    const char* name;
    int first;
    int count;
    std::vector<std::string> left;
};

class RemoveRows : public ::testing::TestWithParam<RemoveCase>
{
};

// The rows below move up with the cells past the inline ones.
TEST_P(RemoveRows, KeepsTheOthersInOrder)
{
    CellStore store = markedRows(5);
    store.removeRows(GetParam().first, GetParam().count);
    EXPECT_EQ(marks(store), GetParam().left);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RemoveRows,
    ::testing::Values(RemoveCase{"First", 0, 1, {"1", "2", "3+w3", "4"}},
                      RemoveCase{"Middle", 1, 2, {"0+w0", "3+w3", "4"}},
                      RemoveCase{"Last", 4, 1, {"0+w0", "1", "2", "3+w3"}},
                      RemoveCase{"PastTheEnd", 3, 10, {"0+w0", "1", "2"}},
                      RemoveCase{"EveryWideRow", 0, 4, {"4"}}, RemoveCase{"All", 0, 5, {}},
                      RemoveCase{"NoCount", 1, 0, {"0+w0", "1", "2", "3+w3", "4"}},
                      RemoveCase{"NegativeFirst", -1, 2, {"0+w0", "1", "2", "3+w3", "4"}},
                      RemoveCase{"FirstPastTheRows", 5, 1, {"0+w0", "1", "2", "3+w3", "4"}}),
    CaseName());

// Rows dropped and grown again come back empty, across chunk boundaries too.
TEST(CellStore, RegrownRowsAreEmpty)
{
    CellStore store = markedRows(10'000);
    store.resizeRows(10);
    store.resizeRows(10'000);
    EXPECT_EQ(marks(store)[9], "9+w9");
    for (int r = 10; r < 10'000; ++r) {
        ASSERT_EQ(store.handle(r, 0), CellStore::kEmpty) << r;
        ASSERT_EQ(store.handle(r, 40), CellStore::kEmpty) << r;
    }
    store.appendRow();
    EXPECT_EQ(store.handle(10'000, 0), CellStore::kEmpty);
}
} // namespace

namespace {
// A sheet of a few rows costs a few kilobytes, not the megabytes a big one
// grows into; a big one still reads back whole as it grows past the first
// chunk.
TEST(CellStore, StartsSmallAndGrows)
{
    CellStore store;
    for (int r = 0; r < 3; ++r) {
        CellStore::RowWriter cells = store.appendRow();
        cells.set(0, store.addText("12345678901"));
        cells.set(2, store.addText("NOME DA PESSOA"));
    }
    EXPECT_LT(store.memoryBytes(), std::size_t{16} << 10);

    const CellStore big = markedRows(100'000);
    EXPECT_EQ(marks(big)[0], "0+w0");
    EXPECT_EQ(marks(big)[99'999], "99999+w99999");
    EXPECT_EQ(marks(big)[4'097], "4097");
}
} // namespace

namespace {
// A check column's cells are one byte inline, yet any text written there
// reads back, also once rows have moved up or gone.
TEST(CellStore, CheckCellsHoldAnyText)
{
    CellStore store;
    const CellStore::Handle ok = store.intern("OK");
    constexpr int kFirstCheck = CellStore::kFirstNarrowColumn;
    constexpr int kLastCheck = kFirstCheck + CellStore::kNarrowColumns - 1;
    for (int r = 0; r < 6; ++r) {
        store.setHandle(r, kFirstCheck, ok);
        store.setHandle(r, kLastCheck, store.addText("texto " + std::to_string(r)));
    }
    store.setHandle(2, kLastCheck, ok);
    store.removeRows(0, 2);
    store.resizeRows(3);
    store.resizeRows(4);
    std::vector<std::string> cells;
    for (int r = 0; r < store.rows(); ++r) {
        cells.push_back(std::string(store.utf8(store.handle(r, kFirstCheck))) + "|" +
                        std::string(store.utf8(store.handle(r, kLastCheck))));
    }
    EXPECT_EQ(cells, (std::vector<std::string>{"OK|OK", "OK|texto 3", "OK|texto 4", "|"}));
}
} // namespace
