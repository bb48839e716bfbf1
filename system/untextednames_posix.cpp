#include "system/untextednames.h"

#include <QFile>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

std::vector<QByteArray> UntextedNames::in(const QString& folder)
{
    std::vector<QByteArray> names;
    if (folder.contains(QChar(u'\0')))
        return names;
    DIR* dir = ::opendir(QFile::encodeName(folder).constData());
    if (!dir)
        return names;
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (name.startsWith('.') || QFile::encodeName(QFile::decodeName(name)) == name)
            continue;
        // Links followed, as the listing follows them.
        struct stat info = {};
        if (::fstatat(::dirfd(dir), name.constData(), &info, 0) == 0 && S_ISREG(info.st_mode))
            names.push_back(name);
    }
    ::closedir(dir);
    return names;
}
