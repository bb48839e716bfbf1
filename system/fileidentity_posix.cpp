#include "system/fileidentity.h"

#include <QFile>

#include <sys/stat.h>

bool FileIdentity::same(const QString& first, const QString& second)
{
    // A NUL would cut the path short in the system call: another file.
    if (first.contains(QChar(u'\0')) || second.contains(QChar(u'\0')))
        return false;
    // stat() follows links to what they lead to; the device and the inode
    // are the file's own, shared by every name and mount it is reached by.
    struct stat a = {};
    struct stat b = {};
    return stat(QFile::encodeName(first).constData(), &a) == 0 &&
           stat(QFile::encodeName(second).constData(), &b) == 0 && a.st_dev == b.st_dev &&
           a.st_ino == b.st_ino;
}
