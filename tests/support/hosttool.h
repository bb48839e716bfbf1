#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Debian's programs the tests read results back with (pdftotext, python3),
// run from the test program. Under Wine a Windows program can start a Linux
// one; it then needs the Linux names of the program and of its files.
namespace HostTool {
// The program to start for /usr/bin/`name`: on Linux, `name` found on the
// PATH; under Wine, the same file through drive Z:. Empty when there is none.
QString program(const QString& name);
// `path` as the Linux program must be given it: itself on Linux, the Unix
// name under Wine.
QString path(const QString& path);
// Runs `program` (from program()) and gives its standard output; `exitCode`
// is -1 when it could not be run or did not end within a minute.
QByteArray run(const QString& program, const QStringList& arguments, int* exitCode);
} // namespace HostTool
