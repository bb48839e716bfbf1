#include "processing/importcommand.h"

#include "processing/linereader.h"
#include "processing/pathcheck.h"
#include "processing/returncodes.h"
#include "processing/returnfileparser.h"
#include "sheet/resultsheet.h"

#include <QFile>

#include <new>
#include <optional>
#include <stdexcept>

namespace {
struct Loaded
{
    CommandMessage message = CommandMessage::None;
    bool notUtf8 = false;
};

Loaded parse(QIODevice& device, ReturnFileParser& parser, int maxRows)
{
    LineReader reader(device);
    std::string_view line;
    if (!reader.next(line)) // the header, whatever it holds
        return {reader.failed() ? CommandMessage::CannotRead : CommandMessage::None};
    while (reader.next(line)) {
        if (parser.rows() == maxRows && !ReturnFileParser::isBlank(line))
            return {CommandMessage::TooManyRows};
        if (parser.addLine(line) == ReturnFileParser::LineResult::NotUtf8)
            return {CommandMessage::None, true};
    }
    return {reader.failed() ? CommandMessage::CannotRead : CommandMessage::None};
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
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {CommandMessage::CannotRead};
    return load(file, sheet, options);
}

CommandOutcome ImportCommand::load(QIODevice& device, ResultSheet& sheet, const Options& options)
{
    const int maxRows = options.maxRows > 0 ? options.maxRows : ResultSheet::kMaxRows;
    try {
        std::optional<ReturnFileParser> parser(std::in_place, ReturnFileParser::Encoding::Utf8);
        Loaded loaded = parse(device, *parser, maxRows);
        if (loaded.notUtf8) {
            // Valid UTF-8 or not is a property of the whole file: start over.
            parser.reset();
            if (!device.reset())
                return {CommandMessage::CannotRead};
            parser.emplace(ReturnFileParser::Encoding::Windows1252);
            loaded = parse(device, *parser, maxRows);
        }
        if (loaded.message != CommandMessage::None)
            return {loaded.message};
        const int rows = parser->rows();
        const int columns = parser->columns();
        sheet.ReplaceCells(parser->takeCells(), rows, columns);
        return {CommandMessage::None, rows};
    } catch (const std::bad_alloc&) {
        return {CommandMessage::OutOfMemory};
    } catch (const std::length_error&) {
        return {CommandMessage::OutOfMemory};
    }
}
