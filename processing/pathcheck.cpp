#include "processing/pathcheck.h"

#include <QFileInfo>

CommandMessage PathCheck::check(const QString& path)
{
    if (path.isEmpty())
        return CommandMessage::SelectFile;
    return findsFile(path) ? CommandMessage::None : CommandMessage::FileNotFound;
}

bool PathCheck::findsFile(const QString& path)
{
    // A NUL would silently cut the path short in the system call.
    if (path.isEmpty() || path.contains(QChar(u'\0')))
        return false;
    const QFileInfo info(path);
    return info.isFile() && !info.isHidden();
}

bool PathCheck::namesOtherThanFile(const QString& path)
{
    if (path.isEmpty() || path.contains(QChar(u'\0')))
        return false;
    const QFileInfo info(path);
    return info.exists() && !info.isFile();
}
