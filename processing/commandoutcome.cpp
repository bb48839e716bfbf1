#include "processing/commandoutcome.h"

#include "processing/importcommand.h"
#include "processing/linereader.h"
#include "sheet/resultsheet.h"

#include <QLocale>

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
        return QStringLiteral("O Arquivo Selecionado tem mais de %1 trabalhadores")
            .arg(QLocale(QLocale::Portuguese, QLocale::Brazil).toString(ResultSheet::kMaxRows));
    case CommandMessage::OutOfMemory:
        return QStringLiteral("Memória insuficiente para carregar o Arquivo Selecionado");
    case CommandMessage::LineTooLong:
        return QStringLiteral("O Arquivo Selecionado tem uma linha com mais de %1 bytes")
            .arg(QLocale(QLocale::Portuguese, QLocale::Brazil)
                     .toString(static_cast<qulonglong>(LineReader::kMaxLineBytes)));
    case CommandMessage::TooManyLines:
        return QStringLiteral("O Arquivo Selecionado tem mais de %1 linhas")
            .arg(QLocale(QLocale::Portuguese, QLocale::Brazil).toString(ImportCommand::kMaxLines));
    }
    return {};
}

QString CommandOutcome::messageTitle()
{
    return QStringLiteral("Atenção");
}
