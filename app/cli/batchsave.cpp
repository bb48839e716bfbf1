#include "app/cli/batchsave.h"

#include "app/cli/terminalprogress.h"
#include "processing/returnfilejob.h"
#include "sheet/resultsheet.h"
#include "system/fileidentity.h"
#include "system/terminaltext.h"

#include <QDir>
#include <QFileInfo>

#include <new>
#include <stdexcept>

namespace {
// The rows --filtro and --ordenar ask for; why they could not be had,
// empty when they were. Short of memory nothing is saved: other rows than
// those asked for would pass for them.
QString chooseRows(ResultSheet& sheet, const CommandLine::SavePlan& plan)
{
    QString step = QStringLiteral("filtrar");
    try {
        for (const auto& [col, texts] : plan.filters)
            sheet.SetColumnFilter(col, texts);
        step = QStringLiteral("classificar");
        if (plan.sortColumn != 0)
            sheet.SortRows(plan.sortColumn, plan.sortDirection);
        return {};
    } catch (const std::bad_alloc&) {
    } catch (const std::length_error&) {
    }
    return QStringLiteral("memória insuficiente para %1 as linhas; nada foi gravado.").arg(step);
}

// Why the file's result was not saved, empty when it was. A warning about
// the file's lines is told on `errors` and the result saved all the same;
// `untold` is set when it could not be, `cut` when the file seems cut off,
// its result short of the workers the rest of the file holds.
QString saveOne(const CommandLine::SaveJob& job, const CommandLine::SavePlan& plan,
                std::FILE* errors, bool& untold, bool& cut)
{
    if (ReturnFileJob::savesOver(job.output, job.returnFile))
        return QStringLiteral("o resultado seria gravado sobre o próprio arquivo de retorno.");

    ResultSheet sheet;
    const ReturnFileJob::Done done = ReturnFileJob::run(job.returnFile, sheet, plan.optimize);
    // An empty result from a file with no worker would read as a file
    // without problems: a failed download must not pass for one.
    if (done.outcome.succeeded() && done.outcome.noWorkers)
        return done.warning;
    if (!done.warning.isEmpty())
        untold |= !TerminalText::writeAbout(errors, job.returnFile, done.warning);
    cut = done.cut;
    if (!done.outcome.succeeded())
        return done.outcome.messageText();
    if (const QString message = chooseRows(sheet, plan); !message.isEmpty())
        return message;
    // Saved all the same, but a mistyped text is told, not met later as
    // an empty file.
    if (!plan.filters.empty() && sheet.ShownRowCount() == 0 && sheet.RowCount() > 0)
        untold |= !TerminalText::writeAbout(
            errors, job.returnFile,
            QStringLiteral("nenhum trabalhador passa pelo filtro; o resultado só tem "
                           "os títulos."));
    const QString step =
        plan.format == SheetFile::Format::Pdf ? QStringLiteral("página") : QStringLiteral("linha");
    TerminalProgress progress(errors, TerminalText::shown(QFileInfo(job.returnFile).fileName()) +
                                          QStringLiteral(": salvando ") + step +
                                          QStringLiteral(" %1 de %2"));
    const SheetFile::Result saved = SheetFile::save(sheet, job.output, plan.format, &progress);
    if (saved.saved())
        return {};
    // The save's message names the result as given, in the system's
    // separators.
    const QString output = QDir::toNativeSeparators(job.output);
    return QString(saved.error).replace(output, TerminalText::shown(output));
}
} // namespace

int BatchSave::run(const CommandLine::SavePlan& plan, std::FILE* errors)
{
    bool failed = false;
    for (const CommandLine::SaveJob& job : plan.jobs) {
        bool untold = false;
        bool cut = false;
        const QString message = saveOne(job, plan, errors, untold, cut);
        if (!message.isEmpty()) {
            TerminalText::writeAbout(errors, job.returnFile, message);
            failed = true;
        }
        failed |= untold || cut;
    }
    return failed ? 1 : 0;
}
