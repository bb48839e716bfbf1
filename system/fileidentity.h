#pragma once

#include <QString>

// Whether two paths lead to one file on disk, whatever names lead there: a
// symbolic link, "./" and "..", a hard link or a bind mount. The paths'
// text alone cannot tell a second name of a file from another file.
class FileIdentity
{
public:
    // False when either cannot be looked up: a name that leads to no file
    // yet is not the other one.
    static bool same(const QString& first, const QString& second);
};
