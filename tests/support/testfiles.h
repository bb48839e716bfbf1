#pragma once

#include <QString>
#include <QTemporaryDir>

#include <string_view>

// Files for one test, in a folder that goes away with the test.
class TestFiles
{
public:
    TestFiles();
    // Writes the bytes to a file of that name and returns its path.
    QString write(const QString& name, std::string_view bytes);
    QString path(const QString& name) const;
    // A file's bytes, "(missing)" when it cannot be read.
    static QByteArray read(const QString& path);

private:
    QTemporaryDir dir_;
};
