#include "processing/importcommand.h"

#include "processing/linereader.h"
#include "processing/pathcheck.h"
#include "processing/regularfile.h"
#include "processing/returncodes.h"
#include "processing/returnfileparser.h"
#include "processing/textdecoding.h"
#include "processing/utf16device.h"
#include "sheet/resultsheet.h"
#include "sheet/returnfields.h"

#include <QFile>

#include <new>
#include <stdexcept>

namespace {
struct Loaded
{
    CommandMessage message = CommandMessage::None;
    int oddLines = 0;
    int firstOddLine = 0;
};

CommandMessage endOf(const LineReader& reader)
{
    if (reader.failed())
        return CommandMessage::CannotRead;
    if (reader.lineTooLong())
        return CommandMessage::LineTooLong;
    return CommandMessage::None;
}

Loaded parse(QIODevice& device, ReturnFileParser& parser, int maxRows)
{
    LineReader reader(device);
    std::string_view line;
    if (!reader.next(line)) // the header, whatever it holds
        return {endOf(reader)};
    int lines = 1;
    Loaded loaded;
    while (reader.next(line)) {
        if (++lines > ImportCommand::kMaxLines)
            return {CommandMessage::TooManyLines};
        if (parser.rows() == maxRows && !ReturnFileParser::isBlank(line))
            return {CommandMessage::TooManyRows};
        if (parser.addLine(line) == ReturnFileParser::LineResult::Added &&
            parser.lastLineFields() != ReturnFields::kCount && loaded.oddLines++ == 0)
            loaded.firstOddLine = lines;
    }
    loaded.message = endOf(reader);
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
    sheet.SetColumnsHidden(1, ReturnCodes::kFieldCount, false);
    if (const CommandMessage message = PathCheck::check(path); message != CommandMessage::None)
        return {message};
    if (options.afterPathCheck)
        options.afterPathCheck();
    QFile file;
    if (const CommandMessage message = RegularFile::open(path, file);
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
        const int columns = parser.columns();
        sheet.ReplaceCells(parser.takeCells(), rows, columns);
        return {CommandMessage::None, rows, loaded.oddLines, loaded.firstOddLine};
    } catch (const std::bad_alloc&) {
        return {CommandMessage::OutOfMemory};
    } catch (const std::length_error&) {
        return {CommandMessage::OutOfMemory};
    }
}
