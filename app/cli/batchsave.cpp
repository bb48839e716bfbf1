#include "app/cli/batchsave.h"

#include "app/cli/terminalprogress.h"
#include "app/cli/terminaltext.h"
#include "processing/importcommand.h"
#include "processing/optimizecommand.h"
#include "sheet/resultsheet.h"

#include <QFileInfo>

namespace {
void tell(std::FILE* errors, const QString& returnFile, const QString& text)
{
    TerminalText::write(errors, returnFile + QStringLiteral(": ") + text + u'\n');
}

// Why the file's result was not saved, empty when it was. A warning about
// the file's lines is told on `errors` and the result saved all the same.
QString saveOne(const CommandLine::SaveJob& job, const CommandLine::SavePlan& plan,
                std::FILE* errors)
{
    // Saving over the return file would lose it for good.
    const QString returnFile = QFileInfo(job.returnFile).canonicalFilePath();
    if (!returnFile.isEmpty() && returnFile == QFileInfo(job.output).canonicalFilePath())
        return QStringLiteral("o resultado seria gravado sobre o próprio arquivo de retorno.");

    ResultSheet sheet;
    CommandOutcome outcome = ImportCommand::run(job.returnFile, sheet);
    if (const QString warning = outcome.warningText(); !warning.isEmpty())
        tell(errors, job.returnFile, warning);
    if (outcome.succeeded() && plan.optimize)
        outcome = OptimizeCommand::run(job.returnFile, sheet);
    if (!outcome.succeeded())
        return outcome.messageText();
    for (const auto& [col, texts] : plan.filters)
        sheet.SetColumnFilter(col, texts);
    if (plan.sortColumn != 0)
        sheet.SortRows(plan.sortColumn, plan.sortDirection);
    // Saved all the same, but a mistyped text is told, not met later as
    // an empty file.
    if (!plan.filters.empty() && sheet.ShownRowCount() == 0 && sheet.RowCount() > 0)
        tell(errors, job.returnFile,
             QStringLiteral("nenhum trabalhador passa pelo filtro; o resultado só tem os "
                            "títulos."));
    const QString step =
        plan.format == SheetFile::Format::Pdf ? QStringLiteral("página") : QStringLiteral("linha");
    TerminalProgress progress(errors, QFileInfo(job.returnFile).fileName() +
                                          QStringLiteral(": salvando ") + step +
                                          QStringLiteral(" %1 de %2"));
    const SheetFile::Result saved = SheetFile::save(sheet, job.output, plan.format, &progress);
    return saved.saved() ? QString() : saved.error;
}
} // namespace

int BatchSave::run(const CommandLine::SavePlan& plan, std::FILE* errors)
{
    int status = 0;
    for (const CommandLine::SaveJob& job : plan.jobs) {
        const QString message = saveOne(job, plan, errors);
        if (message.isEmpty())
            continue;
        tell(errors, job.returnFile, message);
        status = 1;
    }
    return status;
}
