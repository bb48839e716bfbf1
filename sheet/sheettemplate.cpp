#include "sheet/sheettemplate.h"

#include "sheet/returnfields.h"

namespace {
// Wide enough for each column's heading and for the longest message the
// import writes into it.
constexpr std::array<int, ReturnFields::kCount> kWidthUnits = {
    3072,  // CPF
    3072,  // NIS
    10496, // NOME
    2304,  // DN
    3547,  // COD_NIS_INV
    3474,  // COD_CPF_INV
    3986,  // COD_NOME_INV
    3328,  // COD_DN_INV
    3950,  // COD_CNIS_NIS
    8009,  // COD_CNIS_DN
    5120,  // COD_CNIS_OBITO
    4681,  // COD_CNIS_CPF
    6546,  // COD_CNIS_CPF_NAO_INF
    7241,  // COD_CPF_NAO_CONSTA
    6437,  // COD_CPF_NULO
    8009,  // COD_CPF_CANCELADO
    7753,  // COD_CPF_SUSPENSO
    9947,  // COD_CPF_DN
    7022,  // COD_CPF_NOME
    14446, // COD_ORIENTACAO_CPF
    22272, // COD_ORIENTACAO_NIS
};
} // namespace

QString SheetTemplate::heading(int col)
{
    if (col < 1 || col > ReturnFields::kCount)
        return {};
    const std::string_view name = ReturnFields::kNames[static_cast<std::size_t>(col - 1)];
    return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}

int SheetTemplate::columnWidthUnits(int col)
{
    if (col < 1 || col > ReturnFields::kCount)
        return kDefaultColumnWidthUnits;
    return kWidthUnits[static_cast<std::size_t>(col - 1)];
}

int SheetTemplate::columnWidthPixels(int widthUnits, int digitWidthPixels)
{
    // Rounded to the pixel; the padding holds for every non-hidden width.
    const long long scaled = static_cast<long long>(widthUnits) * digitWidthPixels;
    return static_cast<int>((scaled + 128) / 256) + kCellPaddingPixels;
}

QLocale SheetTemplate::locale()
{
    static_assert(kCountryCode == 55, "Brazil");
    static const QLocale brazil(QLocale::Portuguese, QLocale::Brazil);
    return brazil;
}
