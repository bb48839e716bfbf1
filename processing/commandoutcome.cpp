#include "processing/commandoutcome.h"

#include "processing/linereader.h"
#include "sheet/resultsheet.h"
#include "sheet/returnfields.h"
#include "sheet/sheettemplate.h"

#include <QLocale>
#include <QStringList>

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
    // Worded as a save that fails for the same reason is.
    case CommandMessage::FileInUse:
        return QStringLiteral("Não foi possível ler o Arquivo Selecionado: o arquivo está aberto "
                              "em outro programa.");
    case CommandMessage::NoPermission:
        return QStringLiteral("Não foi possível ler o Arquivo Selecionado: não há permissão para "
                              "ler esse arquivo.");
    case CommandMessage::TooManyRows:
        return QStringLiteral("O Arquivo Selecionado tem mais de %1 trabalhadores")
            .arg(SheetTemplate::locale().toString(ResultSheet::kMaxRows));
    case CommandMessage::OutOfMemory:
        return QStringLiteral("Memória insuficiente para carregar o Arquivo Selecionado");
    case CommandMessage::LineTooLong:
        return QStringLiteral("O Arquivo Selecionado tem uma linha com mais de %1 bytes")
            .arg(SheetTemplate::locale().toString(
                static_cast<qulonglong>(LineReader::kMaxLineBytes)));
    case CommandMessage::TooManyLines:
        return QStringLiteral("O Arquivo Selecionado tem mais de %1 linhas")
            .arg(SheetTemplate::locale().toString(LineReader::kMaxLines));
    case CommandMessage::NotAReturnFile:
        return QStringLiteral("O Arquivo Selecionado não é um Arquivo de Retorno: nenhuma linha "
                              "tem os %1 campos separados por \";\". Nada foi carregado.")
            .arg(ReturnFields::kCount);
    case CommandMessage::NotAFile:
        return QStringLiteral("O Arquivo Selecionado não é um arquivo comum: é uma pasta, um "
                              "FIFO ou um dispositivo.");
    case CommandMessage::NameNotText:
        return QStringLiteral("O nome do arquivo não é texto UTF-8, e o arquivo não pode ser "
                              "lido. Renomeie o arquivo.");
    }
    return {};
}

QString CommandOutcome::warningText() const
{
    const QLocale brazil = SheetTemplate::locale();
    QStringList told;
    if (noWorkers) {
        told.append(QStringLiteral("O arquivo não tem nenhum trabalhador."));
    } else {
        if (headingMissing)
            told.append(QStringLiteral("O Arquivo Selecionado não começa pela linha de títulos: a "
                                       "primeira linha foi carregada como trabalhador."));
        if (headingLines == 1)
            told.append(QStringLiteral("A linha %1 repete a linha de títulos (arquivos juntados) "
                                       "e não foi carregada.")
                            .arg(brazil.toString(firstHeadingLine)));
        else if (headingLines > 1)
            told.append(QStringLiteral("%1 linhas repetem a linha de títulos (arquivos juntados) e "
                                       "não foram carregadas; a primeira é a linha %2.")
                            .arg(brazil.toString(headingLines), brazil.toString(firstHeadingLine)));
        if (oddLines == 1)
            told.append(QStringLiteral("1 linha do Arquivo Selecionado não tem os %1 campos de um "
                                       "Arquivo de Retorno: a linha %2.")
                            .arg(ReturnFields::kCount)
                            .arg(brazil.toString(firstOddLine)));
        else if (oddLines > 1)
            told.append(QStringLiteral("%1 linhas do Arquivo Selecionado não têm os %2 campos de "
                                       "um Arquivo de Retorno; a primeira é a linha %3.")
                            .arg(brazil.toString(oddLines))
                            .arg(ReturnFields::kCount)
                            .arg(brazil.toString(firstOddLine)));
    }
    // Last, as the line is the file's last; told also when no worker came
    // before it, since the file is then most likely still being copied.
    if (cutLine > 0)
        told.append(QStringLiteral("O Arquivo Selecionado parece cortado na linha %1, a última: "
                                   "ela não tem os %2 campos nem o fim de linha, e não foi "
                                   "carregada. Copie o arquivo de novo.")
                        .arg(brazil.toString(cutLine))
                        .arg(ReturnFields::kCount));
    return told.join(u'\n');
}

QString CommandOutcome::messageTitle()
{
    return QStringLiteral("Atenção");
}
