#pragma once

#include <QString>

// Why a command ended early, if it did: the text of the "Atenção" box the
// window shows for it.
enum class CommandMessage
{
    None,
    SelectFile,
    FileNotFound,
    CannotRead,
    FileInUse,    // another program holds the file without letting it be read
    NoPermission, // the user may not read the file
    TooManyRows,
    OutOfMemory,
    LineTooLong,    // a line past LineReader::kMaxLineBytes
    TooManyLines,   // more lines than LineReader::kMaxLines, blank ones included
    NotAReturnFile, // not one worker line has the return file's fields
    // The command line's word for a folder, a FIFO or a device given as a
    // return file; the window says FileNotFound of its path box.
    NotAFile,
    // A name in a folder that is not UTF-8 (saved by an old system), which
    // no path the program can open holds.
    NameNotText,
};

struct CommandOutcome
{
    CommandMessage message = CommandMessage::None;
    int rows = 0; // rows in the sheet when the command ended normally
    // After an import: the worker lines that did not have the return file's
    // 21 fields, and the file's line number (the header is line 1) of the
    // first of them. They are loaded all the same.
    int oddLines = 0;
    int firstOddLine = 0;
    // After an import: the file held no worker at all (empty, a heading
    // alone, blank lines). The sheet is as empty as the file, which is
    // told, never taken for a result without problems.
    bool noWorkers = false;
    // After an import: the file started with a worker, loaded as such,
    // instead of its heading line.
    bool headingMissing = false;
    // After an import: heading lines after the first line (files joined one
    // after the other), skipped, and the file line of the first of them.
    int headingLines = 0;
    int firstHeadingLine = 0;
    // After an import: the file line of the return file's last line when it
    // stops without a line end and short of the 21 fields, as a file still
    // being copied does; that line is not loaded. 0 when the file ends well.
    int cutLine = 0;

    bool succeeded() const { return message == CommandMessage::None; }
    QString messageText() const;
    // What to tell the user after a load that read the file but found it
    // not quite as the government writes it: no worker, no heading, a
    // heading among the workers, lines without the 21 fields, a last line
    // cut short. Empty when there is nothing to tell.
    QString warningText() const;
    static QString messageTitle();
};
