#include "sheet/grid/sheetfinder.h"
#include "sheet/resultsheet.h"
#include "tests/support/casename.h"

#include <gtest/gtest.h>

#include <optional>

namespace {
struct FindCase
{
    const char* name;
    const char* text;
    int row, col;         // the active cell
    int hitRow, hitCol;   // 0: no cell holds it
    bool wrapped = false; // found only after going round to the top
};

class SheetFinderTest : public ::testing::TestWithParam<FindCase>
{
};

// Row by row from the cell after the active one, wrapping at the end and
// coming back to the active cell last; hidden columns are not searched.
TEST_P(SheetFinderTest, FindsTheNextShownCellIgnoringCaseAndAccents)
{
    const FindCase& c = GetParam();
    ResultSheet sheet;
    const char* rows[][4] = {{"11111111111", "JOÃO SÁ", "OK", "NIS inválido"},
                             {"22222222222", "SÔNIA", "OK", "OK"},
                             {"33333333333", "Ana Conceição Sørensen", "CPF inválido", "OK"}};
    for (int r = 0; r < 3; ++r)
        for (int col = 0; col < 4; ++col)
            sheet.SetCellText(r + 1, col + 1, QString::fromUtf8(rows[r][col]));
    sheet.SetRowCount(3);
    sheet.SetColumnsHidden(4, 4, true);

    const std::optional<SheetFinder::Cell> hit =
        SheetFinder(QString::fromUtf8(c.text)).findAfter(sheet, c.row, c.col);
    ASSERT_EQ(hit.has_value(), c.hitRow != 0);
    if (hit) {
        EXPECT_EQ(hit->row, c.hitRow);
        EXPECT_EQ(hit->col, c.hitCol);
        EXPECT_EQ(hit->wrapped, c.wrapped);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SheetFinderTest,
    ::testing::Values(FindCase{"AccentsAndCaseAside", "joao", 1, 1, 1, 2},
                      FindCase{"AccentsInTheSheetOnly", "sonia", 1, 1, 2, 2},
                      FindCase{"AccentsInTheTextOnly", "CONCEICÃO", 1, 1, 3, 2},
                      FindCase{"LetterWrittenWithoutItsStroke", "SORENSEN", 1, 1, 3, 2},
                      FindCase{"InvalidInAShownColumn", "INVALIDO", 1, 1, 3, 3},
                      FindCase{"StartsAfterTheActiveCell", "ok", 2, 3, 1, 3, true},
                      FindCase{"WrapsToTheTop", "11111", 3, 2, 1, 1, true},
                      FindCase{"TheActiveCellLast", "sônia", 2, 2, 2, 2, true},
                      FindCase{"CpfWithItsPunctuation", "333.333.333-33", 1, 2, 3, 1},
                      FindCase{"DigitsWithSlashes", "22/22/2222", 3, 3, 2, 1, true},
                      FindCase{"PunctuationOnlyAmongDigits", "333.333 ana", 1, 1, 0, 0},
                      FindCase{"HiddenColumnNotSearched", "NIS", 1, 1, 0, 0},
                      FindCase{"NoHit", "maria", 1, 1, 0, 0}),
    CaseName());
} // namespace
