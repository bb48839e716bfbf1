#include "processing/returnfilejob.h"

#include "processing/importcommand.h"
#include "processing/optimizecommand.h"
#include "system/fileidentity.h"

ReturnFileJob::Done ReturnFileJob::run(const QString& returnFile, ResultSheet& sheet, bool optimize)
{
    Done done;
    done.outcome = ImportCommand::run(returnFile, sheet);
    done.warning = done.outcome.warningText();
    done.cut = done.outcome.cutLine > 0;
    if (optimize && done.outcome.succeeded() && !done.outcome.noWorkers)
        done.outcome = OptimizeCommand::run(returnFile, sheet);
    return done;
}

bool ReturnFileJob::savesOver(const QString& output, const QString& returnFile)
{
    return FileIdentity::same(output, returnFile);
}
