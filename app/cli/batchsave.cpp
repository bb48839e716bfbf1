#include "app/cli/batchsave.h"

#include "app/cli/terminalprogress.h"
#include "processing/pathcheck.h"
#include "processing/returnfilejob.h"
#include "processing/savetarget.h"
#include "sheet/resultsheet.h"
#include "system/fileidentity.h"
#include "system/filepattern.h"
#include "system/terminaltext.h"

#include <QDir>
#include <QFileInfo>

#include <new>
#include <stdexcept>
#include <vector>

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
    if (plan.unmatched.contains(job.returnFile))
        return FilePattern::noMatchText();
    // The window says a path that leads to no file does not exist; a name
    // typed on the command line is told for what it is.
    if (PathCheck::namesOtherThanFile(job.returnFile))
        return CommandOutcome{CommandMessage::NotAFile}.messageText();
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
    return QString(saved.error)
        .replace(QDir::toNativeSeparators(job.output), TerminalText::shownPath(job.output));
}

// Why the result may not be written where it goes, empty when it may: over
// its own return file, any other file of the batch, by whatever name, or any
// file that reads as a return file.
QString refusalOf(const CommandLine::SaveJob& job, const QStringList& inputs)
{
    // A file that is not there is told as missing, not by where its result
    // would have gone.
    if (!QFileInfo::exists(job.returnFile))
        return {};
    if (ReturnFileJob::savesOver(job.output, job.returnFile))
        return QStringLiteral("o resultado seria gravado sobre o próprio arquivo de retorno.");
    return SaveTarget::refusalText(job.output, inputs, QStringLiteral("o resultado não foi salvo"),
                                   QStringLiteral("um dos arquivos dados para salvar"),
                                   TerminalText::shownPath(job.output));
}
} // namespace

int BatchSave::run(const CommandLine::SavePlan& plan, std::FILE* errors)
{
    // Every result is checked before the first is written: one written
    // through a link would otherwise replace a later return file of the
    // batch before that file's own turn came.
    QStringList inputs;
    for (const CommandLine::SaveJob& job : plan.jobs)
        inputs.append(job.returnFile);
    std::vector<QString> refusals;
    refusals.reserve(plan.jobs.size());
    for (const CommandLine::SaveJob& job : plan.jobs)
        refusals.push_back(refusalOf(job, inputs));

    bool failed = false;
    for (std::size_t i = 0; i < plan.jobs.size(); ++i) {
        const CommandLine::SaveJob& job = plan.jobs[i];
        bool untold = false;
        bool cut = false;
        const QString message =
            refusals[i].isEmpty() ? saveOne(job, plan, errors, untold, cut) : refusals[i];
        if (!message.isEmpty()) {
            TerminalText::writeAbout(errors, job.returnFile, message);
            failed = true;
        }
        failed |= untold || cut;
    }
    return failed ? 1 : 0;
}
