#include "tests/support/testfiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <stdexcept>

TestFiles::TestFiles()
{
    if (!dir_.isValid())
        throw std::runtime_error("no temporary folder");
}

QString TestFiles::write(const QString& name, std::string_view bytes)
{
    const QString target = path(name);
    QFileInfo(target).dir().mkpath(QStringLiteral("."));
    QFile file(target);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(bytes.data(), static_cast<qint64>(bytes.size())) !=
            static_cast<qint64>(bytes.size()))
        throw std::runtime_error("cannot write test file");
    return target;
}

QByteArray TestFiles::read(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

QString TestFiles::path(const QString& name) const
{
    return dir_.filePath(name);
}
