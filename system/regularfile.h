#pragma once

#include "processing/commandoutcome.h"

#include <QString>

class QFile;

// Opens a return file for reading without ever waiting, and only when what
// was opened is an ordinary file: a FIFO or a device put in the file's place
// after the path check would block a plain open, or never end. The checks
// are made on the very handle that is then read, never on the path again.
// This is the one place the import asks the operating system itself.
class RegularFile
{
public:
    // `file` reads the opened file; else the message to show: FileNotFound
    // for what is not an ordinary file, FileInUse or NoPermission when the
    // system says why it cannot be opened, else CannotRead.
    static CommandMessage open(const QString& path, QFile& file);
};
