#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

// The ordinary files in a folder whose names are no text: on Linux, names
// that are not UTF-8 (a return saved as "b\xe9.txt" by an old system),
// which Qt's listing of a folder leaves out without a word. No path the
// program opens can name them; they are only told. Windows' names are
// always text: none there.
class UntextedNames
{
public:
    // The names' bytes, not sorted; hidden ones (a leading dot) left out as
    // the folder's listing leaves them.
    static std::vector<QByteArray> in(const QString& folder);
};
