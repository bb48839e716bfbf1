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
    TooManyRows,
    OutOfMemory,
    LineTooLong,  // a line past LineReader::kMaxLineBytes
    TooManyLines, // blank lines past ImportCommand::kMaxLines

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

    bool succeeded() const { return message == CommandMessage::None; }
    QString messageText() const;
    // What to tell the user about odd lines after a load, empty when every
    // worker line had its 21 fields.
    QString warningText() const;
    static QString messageTitle();
};
