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

    bool succeeded() const { return message == CommandMessage::None; }
    QString messageText() const;
    static QString messageTitle();
};
