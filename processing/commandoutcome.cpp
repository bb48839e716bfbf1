#include "commandoutcome.h"

QString CommandOutcome::messageText() const
{
    switch (message) {
    case CommandMessage::None:
        return {};
    case CommandMessage::SelectFile:
        return QStringLiteral("Selecione um Arquivo de Retorno");
    case CommandMessage::FileNotFound:
        return QStringLiteral("Arquivo Selecionado Não Existe");
    case CommandMessage::CannotRead:
        return QStringLiteral("Não foi possível ler o Arquivo Selecionado");
    case CommandMessage::TooManyRows:
        return QStringLiteral("O Arquivo Selecionado tem mais de 16.777.216 trabalhadores");
    case CommandMessage::OutOfMemory:
        return QStringLiteral("Memória insuficiente para carregar o Arquivo Selecionado");
    }
    return {};
}

QString CommandOutcome::messageTitle()
{
    return QStringLiteral("Atenção");
}
