#include "sheet/export/xlsxcell.h"
#include "tests/support/casename.h"

#include <gtest/gtest.h>

namespace {
struct CellCase
{
    const char* name;
    std::string text;
    std::string prepared;
};

class XlsxCellTest : public ::testing::TestWithParam<CellCase>
{
};

TEST_P(XlsxCellTest, PreparesTheTextForTheLibrary)
{
    std::string out = "earlier";
    XlsxCell::prepare(GetParam().text, out);
    EXPECT_EQ(out, GetParam().prepared);
}

std::string times(int n, std::string_view s)
{
    std::string out;
    for (int i = 0; i < n; ++i)
        out += s;
    return out;
}

const std::string kEmoji = "\xF0\x9F\x98\x80"; // U+1F600, two UTF-16 units

INSTANTIATE_TEST_SUITE_P(
    Cases, XlsxCellTest,
    ::testing::Values(
        CellCase{"Plain", "JOÃO SÁ", "JOÃO SÁ"},
        CellCase{"NulKeepsTheRest", std::string("JO\0AO SILVA", 11), "JO_x0000_AO SILVA"},
        CellCase{"Noncharacters",
                 "a\xEF\xBF\xBE"
                 "b\xEF\xBF\xBF",
                 "a_xFFFE_b_xFFFF_"},
        CellCase{"ControlsButTabAndLineFeed", "a\x01\t\n\r\x1F\x7F",
                 "a_x0001_\t\n_x000D__x001F_\x7F"},
        CellCase{"LiteralEscapesKeptLiteral", "_x0041_ _X00e9_ _x12_ _x00411 x0041_",
                 "_x005F_x0041_ _x005F_X00e9_ _x12_ _x00411 x0041_"},
        CellCase{"NoEscapeCompletedByTheNextOne", std::string("_x0020\0_x0041\x01", 14),
                 "_x005F_x0020_x0000__x005F_x0041_x0001_"},
        CellCase{"XmlMarkupLeftToTheLibrary", "<a & \"b\">", "<a & \"b\">"},
        CellCase{"NotUtf8BecomesReplacement",
                 "A\xC9"
                 "B\xED\xA0\x80",
                 "A\xEF\xBF\xBD"
                 "B\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
        CellCase{"LimitKept", std::string(32'767, 'a'), std::string(32'767, 'a')},
        CellCase{"CutAtTheLimit", std::string(32'768, 'a'), std::string(32'767, 'a')},
        CellCase{"CountedInUtf16Units", times(32'767, kEmoji), times(16'383, kEmoji)},
        CellCase{"PairNeverCut", std::string(32'766, 'a') + kEmoji, std::string(32'766, 'a')},
        CellCase{"EscapesFitTheLibrarysLimit", std::string(32'767, '\0'),
                 times(32'767 / 7, "_x0000_")}),
    CaseName());
} // namespace
