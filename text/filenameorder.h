#pragma once

#include <QString>

// The order file names are listed in wherever the program lists several:
// case aside, as Windows' folders list them, and names that differ only in
// case (POSIX allows both) in a fixed order between them.
class FileNameOrder
{
public:
    static bool before(const QString& a, const QString& b);
};
