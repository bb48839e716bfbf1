#pragma once

#include <array>
#include <string_view>

// The fields of a worker's line in the return file, in file order. Their
// names are also the sheet's column headings, and the import, the
// optimisation, the template and the tools all count columns from here.
class ReturnFields
{
public:
    static constexpr std::array<std::string_view, 21> kNames = {
        "CPF",
        "NIS",
        "NOME",
        "DN",
        "COD_NIS_INV",
        "COD_CPF_INV",
        "COD_NOME_INV",
        "COD_DN_INV",
        "COD_CNIS_NIS",
        "COD_CNIS_DN",
        "COD_CNIS_OBITO",
        "COD_CNIS_CPF",
        "COD_CNIS_CPF_NAO_INF",
        "COD_CPF_NAO_CONSTA",
        "COD_CPF_NULO",
        "COD_CPF_CANCELADO",
        "COD_CPF_SUSPENSO",
        "COD_CPF_DN",
        "COD_CPF_NOME",
        "COD_ORIENTACAO_CPF",
        "COD_ORIENTACAO_NIS",
    };

    static constexpr int kCount = static_cast<int>(kNames.size());

    // 1-based columns. The first say whose line it is, then comes the date
    // of birth.
    static constexpr int kCpfColumn = 1;
    static constexpr int kNisColumn = 2;
    static constexpr int kNomeColumn = 3;
    static constexpr int kDnColumn = 4;

    // The code columns run from the first check to the orientation column,
    // the last field; every code column but that one is a check with a
    // message of its own.
    static constexpr int kFirstCodeColumn = kDnColumn + 1;
    static constexpr int kFirstCheckColumn = kFirstCodeColumn;
    static constexpr int kOrientationColumn = kCount;
    static constexpr int kLastCheckColumn = kOrientationColumn - 1;
    static constexpr int kCheckColumnCount = kLastCheckColumn - kFirstCheckColumn + 1;

    // What a worker's line says, read as the clerk reads it rather than as
    // the import translates it: verifications of the data sent (5 to 19),
    // each "OK" or what failed, then what to do about it, for the CPF (20)
    // and for the NIS (21). The import gives column 20 a message of its own
    // as it does the checks, which is why the code columns above count it
    // among them.
    static constexpr int kFirstVerificationColumn = kFirstCodeColumn;
    static constexpr int kLastVerificationColumn = 19;
    static constexpr int kFirstOrientationColumn = kLastVerificationColumn + 1;
    static constexpr int kLastOrientationColumn = kOrientationColumn;

    static_assert(kNames[kCpfColumn - 1] == "CPF");
    static_assert(kNames[kNisColumn - 1] == "NIS");
    static_assert(kNames[kNomeColumn - 1] == "NOME");
    static_assert(kNames[kDnColumn - 1] == "DN");
    static_assert(kNames[kFirstCodeColumn - 1] == "COD_NIS_INV");
    static_assert(kNames[kLastVerificationColumn - 1] == "COD_CPF_NOME");
    static_assert(kNames[kFirstOrientationColumn - 1] == "COD_ORIENTACAO_CPF");
    static_assert(kNames[kOrientationColumn - 1] == "COD_ORIENTACAO_NIS");
    static_assert(kCheckColumnCount == 16);
};
