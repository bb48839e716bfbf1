#pragma once

#include "processing/commandoutcome.h"

#include <QString>

// The check that the import and the optimisation make before anything else:
// the path box must name an ordinary file that is not hidden.
class PathCheck
{
public:
    // CommandMessage::None when the path names such a file; SelectFile for an
    // empty path; FileNotFound for anything else (a directory, a device, a
    // FIFO, a hidden file, a path that cannot be looked up).
    static CommandMessage check(const QString& path);
    static bool findsFile(const QString& path);
    // Whether the path names something that is there but is no ordinary
    // file (a folder, a FIFO, a device), links followed: what the command
    // line tells apart from a file that does not exist.
    static bool namesOtherThanFile(const QString& path);
};
