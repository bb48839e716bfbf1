#include "sheet/cellstore.h"
#include "sheet/rowsort.h"
#include "tests/support/casename.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace {
using namespace std::string_literals;

enum class Storage
{
    Pool,        // every text in the pool, as a loaded name is
    Interned,    // every text interned, as a loaded check message is
    Alternating, // even rows interned, odd rows in the pool
};

struct SortCase
{
    const char* name;
    int col; // 1-based
    Storage storage;
    std::vector<std::string> cells; // "" is an empty cell
    int rowsPastStore;              // rows asked for beyond the store's
    std::vector<std::int32_t> ascending;
    std::vector<std::int32_t> descending;
};

// A failing case shows its name, not its bytes.
void PrintTo(const SortCase& c, std::ostream* out)
{
    *out << c.name;
}

class RowSortTest : public ::testing::TestWithParam<SortCase>
{
};

CellStore storeOf(const SortCase& c)
{
    CellStore store;
    for (std::size_t r = 0; r < c.cells.size(); ++r) {
        const std::string& text = c.cells[r];
        const bool interned =
            c.storage == Storage::Interned || (c.storage == Storage::Alternating && r % 2 == 0);
        const CellStore::Handle h = interned ? store.intern(text) : store.addText(text);
        store.appendRow().set(c.col - 1, h);
    }
    return store;
}

TEST_P(RowSortTest, OrdersRowsInBothDirections)
{
    const SortCase& c = GetParam();
    const CellStore store = storeOf(c);
    const int rows = static_cast<int>(c.cells.size()) + c.rowsPastStore;
    EXPECT_EQ(RowSort::order(store, rows, c.col, RowSort::Direction::Ascending), c.ascending);
    EXPECT_EQ(RowSort::order(store, rows, c.col, RowSort::Direction::Descending), c.descending);
}

const std::string kTenThousandNines(10'000, '9');
const std::string kOneAndZeros = [] {
    std::string digits(10'000, '0');
    digits[0] = '1';
    return digits;
}();
const std::string kPaddedOneAndZeros = std::string(5'000, '0') + kOneAndZeros;

INSTANTIATE_TEST_SUITE_P(
    Columns, RowSortTest,
    ::testing::Values(
        // Case never decides; accents only after the letters, unaccented first.
        SortCase{"AccentsAfterLettersCaseAside",
                 3,
                 Storage::Pool,
                 {"ALVES", "ÁLVARO", "alvaro", "ALVARO", "Álvaro"},
                 0,
                 {2, 3, 1, 4, 0},
                 {0, 1, 4, 2, 3}},
        // The first letter whose accent differs decides, not the last.
        SortCase{"FirstAccentDecides",
                 3,
                 Storage::Pool,
                 {"ÁLVARO", "ALVARÓ", "ALVARO"},
                 0,
                 {2, 1, 0},
                 {0, 1, 2}},
        // Ç with C; the decomposed "Ç" + "Ã" (combining marks) ties with the composed.
        SortCase{"CedillaWithC",
                 3,
                 Storage::Pool,
                 {"CONCEIÇÃO", "CONCEICAO", "CONCEICOES", "CONCEIDA", "CONCEIÇAO",
                  "CONCEIC\u0327A\u0303O"},
                 0,
                 {1, 4, 0, 5, 2, 3},
                 {3, 2, 0, 5, 4, 1}},
        // Outside Latin-1 and broken UTF-8 keep their bytes, after ASCII; a
        // zero byte in a name is a character like the others.
        SortCase{"BytesBeyondLetters",
                 3,
                 Storage::Pool,
                 {"\xFF\xFE", "Ωmega", "zeta", "\xC3", "É", "e\0"s},
                 0,
                 {4, 5, 2, 3, 1, 0},
                 {0, 1, 3, 2, 5, 4}},
        // Year, then month, then day; other texts after the dates; empty
        // cells, and rows past the store, last.
        SortCase{"DatesThenOtherTexts",
                 4,
                 Storage::Pool,
                 {"31121999", "01012000", "15061999", "14071999", "", "abc", "1999"},
                 2,
                 {2, 3, 0, 1, 6, 5, 4, 7, 8},
                 {5, 6, 1, 0, 3, 2, 4, 7, 8}},
        // Leading zeros aside; ties keep the file's order both ways.
        SortCase{
            "CpfByValue",
            1,
            Storage::Pool,
            {"12345678901", "01234567890", "2", "00000000002", "99999999999", "123.456.789-01", ""},
            0,
            {2, 3, 1, 0, 4, 5, 6},
            {5, 4, 0, 1, 2, 3, 6}},
        // 10,000 digits against 100: lengths past a byte compare whole.
        SortCase{"LongDigitStrings",
                 2,
                 Storage::Pool,
                 {kTenThousandNines, kOneAndZeros, std::string(100, '9'), kPaddedOneAndZeros, "5"},
                 0,
                 {4, 2, 1, 3, 0},
                 {0, 1, 3, 2, 4}},
        // The same text interned and in the pool is the same text; a text only
        // in the pool among interned ones still has its place.
        SortCase{"InternedAndPoolTextsTie",
                 16,
                 Storage::Alternating,
                 {"OK", "OK", "CPF cancelado", "CPF cancelado", "", "Aviso"},
                 0,
                 {5, 2, 3, 0, 1, 4},
                 {0, 1, 2, 3, 5, 4}},
        // Interned texts only: ranked once, "OK" and "ok" one rank.
        SortCase{"CheckColumnRanks",
                 16,
                 Storage::Interned,
                 {"OK", "CPF cancelado", "", "ok", "CPF cancelado"},
                 1,
                 {1, 4, 0, 3, 2, 5},
                 {0, 3, 1, 4, 2, 5}}),
    CaseName());
} // namespace
