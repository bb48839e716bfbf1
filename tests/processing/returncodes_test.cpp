#include "processing/returncodes.h"
#include "sheet/returnfields.h"
#include "tests/support/casename.h"

#include <QFile>

#include <gtest/gtest.h>

#include <optional>
#include <set>
#include <string>

namespace {
struct CheckCase
{
    int column;
    std::string_view message;
};

class CheckColumn : public ::testing::TestWithParam<CheckCase>
{
};

// The exact Portuguese message of every check column.
TEST_P(CheckColumn, HasItsMessage)
{
    const CheckCase& c = GetParam();
    EXPECT_EQ(ReturnCodes::checkMessage(c.column), c.message);
}

INSTANTIATE_TEST_SUITE_P(
    Columns, CheckColumn,
    ::testing::Values(
        CheckCase{5, "NIS inválido"}, CheckCase{6, "CPF inválido"}, CheckCase{7, "NOME inválido"},
        CheckCase{8, "DN inválida"}, CheckCase{9, "NIS inconsistente"},
        CheckCase{10, "Data de Nascimento diverge no CNIS"}, CheckCase{11, "NIS com óbito no CNIS"},
        CheckCase{12, "CPF diverge no CNIS"}, CheckCase{13, "CPF não preenchido no CNIS"},
        CheckCase{14, "CPF não consta o Cadastro CPF"}, CheckCase{15, "CPF NULO no Cadastro CPF"},
        CheckCase{16, "CPF CANCELADO no Cadastro CPF"},
        CheckCase{17, "CPF SUSPENSO no Cadastro CPF"},
        CheckCase{18, "Data de Nascimento diverge no Cadastro CPF"},
        CheckCase{19, "NOME diverge no Cadastro CPF"},
        CheckCase{20, "Procurar Conveniadas da RFB: Correios, Banco do Brasil ou CAIXA"}),
    [](const auto& info) { return "Column" + std::to_string(info.param.column); });

struct OrientationCase
{
    const char* name;
    std::string_view code;
    std::optional<std::string_view> shown; // none: the import shows the code as it is
};

class Orientation : public ::testing::TestWithParam<OrientationCase>
{
};

TEST_P(Orientation, TranslatesOnlyKnownCodes)
{
    EXPECT_EQ(ReturnCodes::orientationText(GetParam().code), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, Orientation,
    ::testing::Values(
        OrientationCase{"Zero", "0", "OK"},
        OrientationCase{"One", "1", "Atualizar NIS no INSS - Ligar 135 para agendar atendimento"},
        OrientationCase{"Two", "2",
                        "Atualizar Cadastro NIS da CAIXA-Usar Cadastro NIS Empresa pelo Conect. "
                        "Social ou uma ag. da CAIXA"},
        OrientationCase{"Three", "3", "Atualizar o Cadastro NIS em uma agência do Banco do Brasil"},
        OrientationCase{"Four", "4", std::nullopt}, OrientationCase{"Seven", "7", std::nullopt},
        OrientationCase{"TwoDigits", "10", std::nullopt},
        OrientationCase{"Empty", "", std::nullopt},
        OrientationCase{"LeadingSpace", " 1", std::nullopt},
        OrientationCase{"TrailingSpace", "2 ", std::nullopt},
        OrientationCase{"Text", "OK", std::nullopt}),
    CaseName());

// Every check column has a message of its own; no other column has one.
TEST(ReturnCodes, EachCheckColumnHasItsOwnMessage)
{
    std::set<std::string_view> messages;
    for (int col = 0; col <= ReturnFields::kCount + 1; ++col) {
        const bool check =
            col >= ReturnFields::kFirstCheckColumn && col <= ReturnFields::kLastCheckColumn;
        const std::string_view message = ReturnCodes::checkMessage(col);
        EXPECT_EQ(message.empty(), !check) << col;
        if (check) {
            EXPECT_TRUE(messages.insert(message).second) << col;
        }
    }
}

// The bundled sample's header is the field names joined by ";".
TEST(ReturnFields, NamesAreTheReturnFileHeader)
{
    QFile sample(QStringLiteral(VERINOVA_SAMPLE_FILE));
    ASSERT_TRUE(sample.open(QIODevice::ReadOnly));
    const QByteArray header = sample.readLine().trimmed();
    std::string joined;
    for (const std::string_view name : ReturnFields::kNames)
        joined += std::string(joined.empty() ? "" : ";") + std::string(name);
    EXPECT_EQ(header.toStdString(), joined);
}
} // namespace
