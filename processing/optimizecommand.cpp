#include "optimizecommand.h"

#include "pathcheck.h"
#include "resultsheet.h"

CommandOutcome OptimizeCommand::run(const QString& path, ResultSheet& sheet)
{
    if (const CommandMessage message = PathCheck::check(path); message != CommandMessage::None)
        return {message};
    return {CommandMessage::None, sheet.RowCount()};
}
