#include "returncodes.h"

namespace {
constexpr std::array<std::string_view, ReturnCodes::kFieldCount> kFieldNames = {
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

// Columns 5 to 20.
constexpr std::array<std::string_view, 16> kCheckMessages = {
    "NIS inválido",
    "CPF inválido",
    "NOME inválido",
    "DN inválida",
    "NIS inconsistente",
    "Data de Nascimento diverge no CNIS",
    "NIS com óbito no CNIS",
    "CPF diverge no CNIS",
    "CPF não preenchido no CNIS",
    "CPF não consta o Cadastro CPF",
    "CPF NULO no Cadastro CPF",
    "CPF CANCELADO no Cadastro CPF",
    "CPF SUSPENSO no Cadastro CPF",
    "Data de Nascimento diverge no Cadastro CPF",
    "NOME diverge no Cadastro CPF",
    "Procurar Conveniadas da RFB: Correios, Banco do Brasil ou CAIXA",
};

constexpr std::array<std::string_view, 3> kOrientationMessages = {
    "Atualizar NIS no INSS - Ligar 135 para agendar atendimento",
    "Atualizar Cadastro NIS da CAIXA-Usar Cadastro NIS Empresa pelo Conect. Social ou uma ag. da "
    "CAIXA",
    "Atualizar o Cadastro NIS em uma agência do Banco do Brasil",
};
} // namespace

const std::array<std::string_view, ReturnCodes::kFieldCount>& ReturnCodes::fieldNames()
{
    return kFieldNames;
}

std::string_view ReturnCodes::checkMessage(int column)
{
    if (column < kFirstCheckColumn || column > kLastCheckColumn)
        return {};
    return kCheckMessages[static_cast<std::size_t>(column - kFirstCheckColumn)];
}

const std::array<std::string_view, 3>& ReturnCodes::orientationMessages()
{
    return kOrientationMessages;
}

std::string_view ReturnCodes::translateCheck(int column, std::string_view code)
{
    return code == kPassCode ? kOk : checkMessage(column);
}

std::string_view ReturnCodes::translateOrientation(std::string_view code)
{
    if (code.size() != 1)
        return code;
    switch (code[0]) {
    case '0':
        return kOk;
    case '1':
    case '2':
    case '3':
        return kOrientationMessages[static_cast<std::size_t>(code[0] - '1')];
    default:
        return code;
    }
}
