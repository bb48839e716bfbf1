#include "app/cli/tablesave.h"

#include "app/cli/terminalprogress.h"
#include "processing/comparisontable.h"
#include "processing/folderoverview.h"
#include "processing/overviewtable.h"
#include "processing/returncomparison.h"
#include "processing/returncounts.h"
#include "processing/returnfilejob.h"
#include "sheet/export/tablefile.h"
#include "system/terminaltext.h"

#include <QDir>
#include <QFileInfo>

#include <new>

namespace {
// A result never takes the place of a return file it was made of.
bool savesOverInput(const QString& output, const QStringList& inputs, std::FILE* errors)
{
    for (const QString& input : inputs) {
        if (ReturnFileJob::savesOver(output, input)) {
            TerminalText::writeAbout(
                errors, input,
                QStringLiteral("o resultado seria gravado sobre o próprio arquivo de retorno."));
            return true;
        }
    }
    return false;
}

// Saves the table; false, with the reason told, when it was not saved.
bool saveTable(const Table& table, const CommandLine::TablePlan& plan, std::FILE* errors)
{
    const QString step =
        plan.format == SheetFile::Format::Pdf ? QStringLiteral("página") : QStringLiteral("linha");
    TerminalProgress progress(errors,
                              QStringLiteral("salvando ") + step + QStringLiteral(" %1 de %2"));
    const SheetFile::Result saved = TableFile::save(table, plan.output, plan.format, &progress);
    if (saved.saved())
        return true;
    const QString output = QDir::toNativeSeparators(plan.output);
    TerminalText::write(
        errors, QStringLiteral("verinova-cadastral: ") +
                    QString(saved.error).replace(output, TerminalText::shown(output)) + u'\n');
    return false;
}

QString memoryShort()
{
    return QStringLiteral("memória insuficiente; nada foi gravado.");
}
} // namespace

int TableSave::overview(const CommandLine::TablePlan& plan, std::FILE* errors)
{
    bool failed = false;
    QStringList files;
    for (const QString& input : plan.inputs) {
        const QFileInfo info(input);
        if (!info.isDir()) {
            files.append(input);
            continue;
        }
        QStringList found = FolderOverview::filesIn(input);
        // An overview saved into the folder it lists is not listed the next
        // time: it is no company's. A return file there is refused below.
        found.removeIf([&plan](const QString& file) {
            if (!ReturnFileJob::savesOver(plan.output, file))
                return false;
            const ReturnCounts counts = ReturnCounts::ofFile(file);
            return !counts.counted() || counts.outcome().noWorkers;
        });
        if (found.isEmpty()) {
            // Nothing of it in the overview: the clerk must not read its
            // absence as a folder without problems.
            failed = true;
            TerminalText::writeAbout(
                errors, input,
                info.isReadable()
                    ? QStringLiteral("a pasta não tem nenhum arquivo.")
                    : FolderOverview::statusText(FolderOverview::Status::FolderUnreadable));
        }
        files.append(found);
    }
    if (savesOverInput(plan.output, files, errors))
        return 1;

    try {
        TerminalProgress reading(errors, QStringLiteral("lendo arquivo %1 de %2"));
        const FolderOverview::Result read = FolderOverview::readFiles(files, &reading);
        for (const FolderOverview::Entry& entry : read.entries) {
            if (!entry.counts.counted()) {
                failed = true;
                TerminalText::writeAbout(errors, entry.path, entry.counts.reason());
            } else if (entry.counts.outcome().noWorkers) {
                failed = true;
                TerminalText::writeAbout(errors, entry.path, entry.counts.warning());
            } else if (!entry.counts.warning().isEmpty()) {
                failed |= !TerminalText::writeAbout(errors, entry.path, entry.counts.warning());
                // Counted short of the workers after the cut.
                failed |= entry.counts.outcome().cutLine > 0;
            }
        }
        if (!saveTable(OverviewTable::of(read.entries), plan, errors))
            return 1;
    } catch (const std::bad_alloc&) {
        TerminalText::write(errors, QStringLiteral("verinova-cadastral: ") + memoryShort() + u'\n');
        return 1;
    }
    return failed ? 1 : 0;
}

int TableSave::compare(const CommandLine::TablePlan& plan, std::FILE* errors)
{
    using Side = ReturnComparison::Side;
    const QString& current = plan.inputs.front();
    if (savesOverInput(plan.output, {plan.earlier, current}, errors))
        return 1;
    try {
        const ReturnComparison comparison = ReturnComparison::compare(plan.earlier, current);
        bool untold = false;
        bool cut = false;
        for (const Side side : {Side::Earlier, Side::Current}) {
            const QString& file = side == Side::Earlier ? plan.earlier : current;
            if (!comparison.succeeded() && comparison.failedSide() == side) {
                TerminalText::writeAbout(errors, file, comparison.outcome(side).messageText());
                return 1;
            }
            // A file without a worker, a failed download, would make every
            // worker of the other look gone or new.
            if (comparison.succeeded() && comparison.outcome(side).noWorkers) {
                TerminalText::writeAbout(errors, file, comparison.warning(side));
                return 1;
            }
            if (!comparison.warning(side).isEmpty())
                untold |= !TerminalText::writeAbout(errors, file, comparison.warning(side));
            // The workers after the cut would look gone or new: saved all
            // the same, but not passed for a whole comparison.
            cut |= comparison.succeeded() && comparison.outcome(side).cutLine > 0;
        }
        if (!comparison.succeeded())
            return 1;
        const Table table = ComparisonTable::of(comparison, QFileInfo(plan.earlier).fileName(),
                                                QFileInfo(current).fileName());
        if (!saveTable(table, plan, errors))
            return 1;
        return untold || cut ? 1 : 0;
    } catch (const std::bad_alloc&) {
        TerminalText::write(errors, QStringLiteral("verinova-cadastral: ") + memoryShort() + u'\n');
        return 1;
    }
}
