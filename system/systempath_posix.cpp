#include "system/systempath.h"

#include <QFile>

QByteArray SystemPath::narrow(const QString& path)
{
    // A NUL would cut the name short: another file.
    if (path.isEmpty() || path.contains(QChar(u'\0')))
        return {};
    const QByteArray bytes = QFile::encodeName(path);
    return QFile::decodeName(bytes) == path ? bytes : QByteArray();
}
