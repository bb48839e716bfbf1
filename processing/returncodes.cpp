#include "processing/returncodes.h"

#include "sheet/returnfields.h"

namespace {
// One for each check column, in column order.
constexpr std::array<std::string_view, ReturnFields::kCheckColumnCount> kCheckMessages = {
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

std::string_view ReturnCodes::checkMessage(int column)
{
    if (column < ReturnFields::kFirstCheckColumn || column > ReturnFields::kLastCheckColumn)
        return {};
    return kCheckMessages[static_cast<std::size_t>(column - ReturnFields::kFirstCheckColumn)];
}

const std::array<std::string_view, 3>& ReturnCodes::orientationMessages()
{
    return kOrientationMessages;
}

std::optional<std::string_view> ReturnCodes::orientationText(std::string_view code)
{
    if (code.size() != 1)
        return std::nullopt;
    switch (code[0]) {
    case '0':
        return kOk;
    case '1':
    case '2':
    case '3':
        return kOrientationMessages[static_cast<std::size_t>(code[0] - '1')];
    default:
        return std::nullopt;
    }
}
