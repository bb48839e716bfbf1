#pragma once

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
    // Why a file was not opened.
    enum class Refusal
    {
        None,         // opened
        NotAFile,     // a FIFO, a device, a folder: no ordinary file
        InUse,        // another program holds it without letting it be read
        NoPermission, // the user may not read it
        CannotRead,   // any other reason the system gives
    };

    // `file` reads the opened file; else why it was not opened: InUse or
    // NoPermission when the system says so.
    static Refusal open(const QString& path, QFile& file);
};
