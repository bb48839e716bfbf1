#include "sheettemplate.h"

namespace {
constexpr std::array<SheetTemplate::Column, SheetTemplate::kColumns> kColumnTable = {{
    {"CPF", 3072},
    {"NIS", 3072},
    {"NOME", 10496},
    {"DN", 2304},
    {"COD_NIS_INV", 3547},
    {"COD_CPF_INV", 3474},
    {"COD_NOME_INV", 3986},
    {"COD_DN_INV", 3328},
    {"COD_CNIS_NIS", 3950},
    {"COD_CNIS_DN", 8009},
    {"COD_CNIS_OBITO", 5120},
    {"COD_CNIS_CPF", 4681},
    {"COD_CNIS_CPF_NAO_INF", 6546},
    {"COD_CPF_NAO_CONSTA", 7241},
    {"COD_CPF_NULO", 6437},
    {"COD_CPF_CANCELADO", 8009},
    {"COD_CPF_SUSPENSO", 7753},
    {"COD_CPF_DN", 9947},
    {"COD_CPF_NOME", 7022},
    {"COD_ORIENTACAO_CPF", 14446},
    {"COD_ORIENTACAO_NIS", 22272},
}};
} // namespace

const std::array<SheetTemplate::Column, SheetTemplate::kColumns>& SheetTemplate::columns()
{
    return kColumnTable;
}

QString SheetTemplate::heading(int col)
{
    if (col < 1 || col > kColumns)
        return {};
    return QString::fromLatin1(kColumnTable[static_cast<std::size_t>(col - 1)].heading);
}

int SheetTemplate::columnWidthUnits(int col)
{
    if (col < 1 || col > kColumns)
        return kDefaultColumnWidthUnits;
    return kColumnTable[static_cast<std::size_t>(col - 1)].widthUnits;
}

int SheetTemplate::columnWidthPixels(int widthUnits, int digitWidthPixels)
{
    // Rounded to the pixel; the padding holds for every non-hidden width.
    const long long scaled = static_cast<long long>(widthUnits) * digitWidthPixels;
    return static_cast<int>((scaled + 128) / 256) + kCellPaddingPixels;
}
