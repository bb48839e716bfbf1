#include "processing/importcommand.h"

#include "processing/linereader.h"
#include "processing/pathcheck.h"
#include "processing/returncodes.h"
#include "processing/returnfileparser.h"
#include "processing/textdecoding.h"
#include "processing/utf16device.h"
#include "sheet/resultsheet.h"
#include "sheet/returnfields.h"
#include "system/regularfile.h"

#include <QFile>

#include <algorithm>
#include <new>
#include <stdexcept>
#include <string>

namespace {
// A file of workers alone is told it has too many of them, not too many lines.
static_assert(LineReader::kMaxLines > ResultSheet::kMaxRows);

// Why the system did not open the file, as the user is told it: what is no
// ordinary file is no file to import.
CommandMessage toldAs(RegularFile::Refusal refusal)
{
    switch (refusal) {
    case RegularFile::Refusal::None:
        return CommandMessage::None;
    case RegularFile::Refusal::NotAFile:
        return CommandMessage::FileNotFound;
    case RegularFile::Refusal::InUse:
        return CommandMessage::FileInUse;
    case RegularFile::Refusal::NoPermission:
        return CommandMessage::NoPermission;
    case RegularFile::Refusal::CannotRead:
        break;
    }
    return CommandMessage::CannotRead;
}

struct Loaded
{
    CommandMessage message = CommandMessage::None;
    int oddLines = 0;
    int firstOddLine = 0;
    bool headingMissing = false;
    int headingLines = 0;
    int firstHeadingLine = 0;
    // Workers with the return file's 21 fields: without any, the file is
    // something else.
    int returnLines = 0;
    // The file line of a last line cut short, which is not loaded.
    int cutLine = 0;
};

CommandMessage endOf(const LineReader& reader)
{
    if (reader.failed())
        return CommandMessage::CannotRead;
    if (reader.lineTooLong())
        return CommandMessage::LineTooLong;
    return CommandMessage::None;
}

void add(std::string_view line, int lineNumber, ReturnFileParser& parser, Loaded& loaded)
{
    if (parser.addLine(line) != ReturnFileParser::LineResult::Added)
        return;
    if (parser.lastLineHadReturnFields())
        ++loaded.returnLines;
    else if (loaded.oddLines++ == 0)
        loaded.firstOddLine = lineNumber;
}

Loaded parse(QIODevice& device, ReturnFileParser& parser, int maxRows)
{
    LineReader reader(device);
    std::string_view line;
    if (!reader.next(line))
        return {endOf(reader)};
    Loaded loaded;
    // The first line is the heading, which is not loaded; but a file that
    // starts with a worker (its heading cut off) keeps that worker.
    if (!ReturnFileParser::isHeading(line) && ReturnFileParser::looksLikeWorker(line)) {
        loaded.headingMissing = true;
        add(line, 1, parser, loaded);
    }
    const bool returnHeading = ReturnFileParser::isHeading(line);
    // Copied no further than into its heading: not a worker yet.
    if (!returnHeading && !reader.lineEnded() && ReturnFileParser::isCutHeading(line)) {
        loaded.cutLine = 1;
        return loaded;
    }
    int lines = 1;
    // A file still being copied stops in the middle of a line: that last
    // line, short of the 21 fields and without its end, is the start of a
    // worker, not one, and loaded it would add a worker failing every check.
    std::string cut;
    while (reader.next(line)) {
        if (++lines > LineReader::kMaxLines)
            return {CommandMessage::TooManyLines};
        // Where two files were joined, the second one's heading is no worker.
        if (ReturnFileParser::isHeading(line)) {
            if (loaded.headingLines++ == 0)
                loaded.firstHeadingLine = lines;
            continue;
        }
        if (!reader.lineEnded() && !ReturnFileParser::isBlank(line) &&
            std::count(line.begin(), line.end(), ';') + 1 < ReturnFields::kCount) {
            cut.assign(line);
            loaded.cutLine = lines;
            continue;
        }
        if (parser.rows() == maxRows && !ReturnFileParser::isBlank(line))
            return {CommandMessage::TooManyRows};
        add(line, lines, parser, loaded);
    }
    loaded.message = endOf(reader);
    // Only a return file is cut short: any other file's last line is loaded
    // as before, and the file told for what it is.
    if (loaded.cutLine > 0 && loaded.returnLines == 0 && !returnHeading) {
        if (parser.rows() == maxRows)
            return {CommandMessage::TooManyRows};
        add(cut, loaded.cutLine, parser, loaded);
        loaded.cutLine = 0;
    }
    return loaded;
}
} // namespace

CommandOutcome ImportCommand::run(const QString& path, ResultSheet& sheet)
{
    return run(path, sheet, Options{});
}

CommandOutcome ImportCommand::run(const QString& path, ResultSheet& sheet, const Options& options)
{
    // Columns an earlier optimisation hid come back even when the path is wrong.
    sheet.SetColumnsHidden(1, ReturnFields::kCount, false);
    if (const CommandMessage message = PathCheck::check(path); message != CommandMessage::None)
        return {message};
    if (options.afterPathCheck)
        options.afterPathCheck();
    QFile file;
    if (const CommandMessage message = toldAs(RegularFile::open(path, file));
        message != CommandMessage::None)
        return {message};
    return load(file, sheet, options);
}

CommandOutcome ImportCommand::load(QIODevice& device, ResultSheet& sheet, const Options& options)
{
    const int maxRows = options.maxRows > 0 ? options.maxRows : ResultSheet::kMaxRows;
    // A UTF-16 file is read through a device that hands it out as UTF-8,
    // which is always valid: the rest of the reading is the same.
    const QByteArray start = device.peek(2);
    if (const TextDecoding::Utf16 order =
            TextDecoding::utf16Bom(std::string_view(start.constData(), start.size()));
        order != TextDecoding::Utf16::None) {
        device.skip(2);
        Utf16Device decoded(device, order);
        return load(decoded, sheet, options);
    }
    try {
        ReturnFileParser parser;
        const Loaded loaded = parse(device, parser, maxRows);
        if (loaded.message != CommandMessage::None)
            return {loaded.message};
        const int rows = parser.rows();
        // Not one worker line in the return file's form: a spreadsheet, the
        // government's other file, a list. Loading it would only put its
        // bytes where the user's result was.
        if (rows > 0 && loaded.returnLines == 0)
            return {CommandMessage::NotAReturnFile};
        const int columns = parser.columns();
        sheet.ReplaceCells(parser.takeCells(), rows, columns);
        CommandOutcome outcome{CommandMessage::None, rows, loaded.oddLines, loaded.firstOddLine};
        outcome.noWorkers = rows == 0;
        outcome.headingMissing = loaded.headingMissing;
        outcome.headingLines = loaded.headingLines;
        outcome.firstHeadingLine = loaded.firstHeadingLine;
        outcome.cutLine = loaded.cutLine;
        return outcome;
    } catch (const std::bad_alloc&) {
        return {CommandMessage::OutOfMemory};
    } catch (const std::length_error&) {
        return {CommandMessage::OutOfMemory};
    }
}
