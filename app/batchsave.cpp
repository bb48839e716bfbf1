#include "app/batchsave.h"

#include "processing/importcommand.h"
#include "processing/optimizecommand.h"
#include "sheet/resultsheet.h"

#include <QFileInfo>

namespace {
// Why the file's result was not saved, empty when it was.
QString saveOne(const CommandLine::SaveJob& job, const CommandLine::SavePlan& plan)
{
    // Saving over the return file would lose it for good.
    const QString returnFile = QFileInfo(job.returnFile).canonicalFilePath();
    if (!returnFile.isEmpty() && returnFile == QFileInfo(job.output).canonicalFilePath())
        return QStringLiteral("o resultado seria gravado sobre o próprio arquivo de retorno.");

    ResultSheet sheet;
    CommandOutcome outcome = ImportCommand::run(job.returnFile, sheet);
    if (outcome.succeeded() && plan.optimize)
        outcome = OptimizeCommand::run(job.returnFile, sheet);
    if (!outcome.succeeded())
        return outcome.messageText();
    const SheetFile::Result saved = SheetFile::save(sheet, job.output, plan.format);
    return saved.saved() ? QString() : saved.error;
}
} // namespace

int BatchSave::run(const CommandLine::SavePlan& plan, std::FILE* errors)
{
    int status = 0;
    for (const CommandLine::SaveJob& job : plan.jobs) {
        const QString message = saveOne(job, plan);
        if (message.isEmpty())
            continue;
        std::fprintf(errors, "%s: %s\n", job.returnFile.toLocal8Bit().constData(),
                     message.toLocal8Bit().constData());
        status = 1;
    }
    return status;
}
