#include "processing/importcommand.h"

#include "processing/linereader.h"
#include "processing/pathcheck.h"
#include "processing/returncodes.h"
#include "processing/returnfileparser.h"
#include "processing/textdecoding.h"
#include "processing/utf16device.h"
#include "sheet/resultsheet.h"

#include <QFile>

#include <fcntl.h>
#include <new>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace {
CommandMessage endOf(const LineReader& reader)
{
    if (reader.failed())
        return CommandMessage::CannotRead;
    if (reader.lineTooLong())
        return CommandMessage::LineTooLong;
    return CommandMessage::None;
}

CommandMessage parse(QIODevice& device, ReturnFileParser& parser, int maxRows)
{
    LineReader reader(device);
    std::string_view line;
    if (!reader.next(line)) // the header, whatever it holds
        return endOf(reader);
    int lines = 1;
    while (reader.next(line)) {
        if (++lines > ImportCommand::kMaxLines)
            return CommandMessage::TooManyLines;
        if (parser.rows() == maxRows && !ReturnFileParser::isBlank(line))
            return CommandMessage::TooManyRows;
        parser.addLine(line);
    }
    return endOf(reader);
}

// Opens without waiting (a FIFO or a device put in the file's place after
// the path check would block a plain open) and accepts only what is an
// ordinary file once open. -1 with the message to show otherwise.
int openRegularFile(const QString& path, CommandMessage& message)
{
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        message = CommandMessage::CannotRead;
        return -1;
    }
    struct stat info = {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        message = CommandMessage::FileNotFound;
        return -1;
    }
    // An ordinary file never blocks; clear the flag all the same.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
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
    CommandMessage message = CommandMessage::None;
    const int fd = openRegularFile(path, message);
    if (fd < 0)
        return {message};
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return {CommandMessage::CannotRead};
    }
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
        if (const CommandMessage message = parse(device, parser, maxRows);
            message != CommandMessage::None)
            return {message};
        const int rows = parser.rows();
        const int columns = parser.columns();
        sheet.ReplaceCells(parser.takeCells(), rows, columns);
        return {CommandMessage::None, rows};
    } catch (const std::bad_alloc&) {
        return {CommandMessage::OutOfMemory};
    } catch (const std::length_error&) {
        return {CommandMessage::OutOfMemory};
    }
}
