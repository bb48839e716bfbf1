#include "processing/commandoutcome.h"

#include "processing/importcommand.h"
#include "processing/linereader.h"
#include "sheet/resultsheet.h"
#include "sheet/returnfields.h"

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

QString CommandOutcome::warningText() const
{
    if (oddLines == 0)
        return {};
    const QLocale brazil(QLocale::Portuguese, QLocale::Brazil);
    // Not a single worker line in the format: a shopping list, a report,
    // anything but a return file.
    if (oddLines == rows)
        return QStringLiteral("O Arquivo Selecionado não parece um Arquivo de Retorno: nenhuma "
                              "linha tem os %1 campos separados por \";\".")
            .arg(ReturnFields::kCount);
    if (oddLines == 1)
        return QStringLiteral("1 linha do Arquivo Selecionado não tem os %1 campos de um Arquivo "
                              "de Retorno: a linha %2.")
            .arg(ReturnFields::kCount)
            .arg(brazil.toString(firstOddLine));
    return QStringLiteral("%1 linhas do Arquivo Selecionado não têm os %2 campos de um Arquivo de "
                          "Retorno; a primeira é a linha %3.")
        .arg(brazil.toString(oddLines))
        .arg(ReturnFields::kCount)
        .arg(brazil.toString(firstOddLine));
}

QString CommandOutcome::messageTitle()
{
    return QStringLiteral("Atenção");
}
