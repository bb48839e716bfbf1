#include "app/cli/tablesave.h"

#include "app/cli/terminalprogress.h"
#include "processing/comparisontable.h"
#include "processing/folderoverview.h"
#include "processing/overviewtable.h"
#include "processing/pathcheck.h"
#include "processing/returncomparison.h"
#include "processing/returncounts.h"
#include "processing/returnfilejob.h"
#include "processing/savetarget.h"
#include "sheet/export/tablefile.h"
#include "system/filepattern.h"
#include "system/terminaltext.h"

#include <QDir>
#include <QFileInfo>

#include <iterator>
#include <new>
#include <set>
#include <vector>

namespace {
// A result never takes the place of a return file it was made of, nor of
// any other file that reads as a return file. `what` names the result:
// "a visão geral", "a comparação".
bool refused(const QString& output, const QStringList& inputs, const QString& what,
             std::FILE* errors)
{
    for (const QString& input : inputs) {
        if (ReturnFileJob::savesOver(output, input)) {
            TerminalText::writeAbout(
                errors, input,
                QStringLiteral("o resultado seria gravado sobre o próprio arquivo de retorno."));
            return true;
        }
    }
    if (!SaveTarget::isReturnFile(output))
        return false;
    TerminalText::write(
        errors, QStringLiteral("verinova-cadastral: ") + what + QStringLiteral(" não foi salva: ") +
                    SaveTarget::returnFileText(TerminalText::shownPath(output)) + u'\n');
    return true;
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
    TerminalText::write(errors, QStringLiteral("verinova-cadastral: ") +
                                    QString(saved.error)
                                        .replace(QDir::toNativeSeparators(plan.output),
                                                 TerminalText::shownPath(plan.output)) +
                                    u'\n');
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
    std::set<QString> named; // given on the line, not found in a folder
    std::vector<FolderOverview::Entry> untexted;
    for (const QString& input : plan.inputs) {
        if (plan.unmatched.contains(input)) {
            failed = true;
            TerminalText::writeAbout(errors, input, FilePattern::noMatchText());
            continue;
        }
        const QFileInfo info(input);
        if (!info.isDir()) {
            // A FIFO or a device named on the line is no return file to list.
            if (PathCheck::namesOtherThanFile(input)) {
                failed = true;
                TerminalText::writeAbout(errors, input,
                                         CommandOutcome{CommandMessage::NotAFile}.messageText());
                continue;
            }
            files.append(input);
            named.insert(input);
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
        std::vector<FolderOverview::Entry> unnamed = FolderOverview::untextedIn(input);
        if (found.isEmpty() && unnamed.empty()) {
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
        untexted.insert(untexted.end(), std::make_move_iterator(unnamed.begin()),
                        std::make_move_iterator(unnamed.end()));
    }
    if (refused(plan.output, files, QStringLiteral("a visão geral"), errors))
        return 1;

    try {
        TerminalProgress reading(errors, QStringLiteral("lendo arquivo %1 de %2"));
        FolderOverview::Result read = FolderOverview::readFiles(files, &reading);
        read.entries.insert(read.entries.end(), std::make_move_iterator(untexted.begin()),
                            std::make_move_iterator(untexted.end()));
        for (const FolderOverview::Entry& entry : read.entries) {
            if (!entry.counts.counted()) {
                // An office's folder holds other files too (notes, earlier
                // overviews): listed with their reason, they are no failure.
                // A return that cannot be read is, and so is a file named
                // on the line that is not one.
                failed |= entry.counts.outcome().message != CommandMessage::NotAReturnFile ||
                          named.contains(entry.path);
                TerminalText::writeAbout(errors, entry.path, entry.counts.reason());
            } else if (entry.counts.outcome().noWorkers) {
                // A return of no worker is a failed download; a one-line
                // note reads as one too, but not as a return file.
                failed |= named.contains(entry.path) || SaveTarget::isReturnFile(entry.path);
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
    for (const QString& file : {plan.earlier, current}) {
        if (plan.unmatched.contains(file)) {
            TerminalText::writeAbout(errors, file, FilePattern::noMatchText());
            return 1;
        }
    }
    if (refused(plan.output, {plan.earlier, current}, QStringLiteral("a comparação"), errors))
        return 1;
    for (const QString& file : {plan.earlier, current}) {
        if (PathCheck::namesOtherThanFile(file)) {
            TerminalText::writeAbout(errors, file,
                                     CommandOutcome{CommandMessage::NotAFile}.messageText());
            return 1;
        }
    }
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
