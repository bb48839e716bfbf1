#pragma once

#include <QByteArray>
#include <QString>

#include <string>

// A path as the system's own calls take it, where Qt does not open the file.
class SystemPath
{
public:
    // For a C library that opens files by a narrow name (libxlsxwriter's
    // fopen): the bytes the system reads back as this very name. Empty when
    // there are none: on Windows whose code page is not UTF-8 (older than
    // Windows 10 1903, where the manifest's code page is not honoured), a
    // name with a character that code page lacks ("Łódź" under Windows-1252),
    // which the system would otherwise replace by a look-alike ("Lódz") and
    // so name another file.
    static QByteArray narrow(const QString& path);

    // For Windows' wide calls (CreateFileW, MoveFileExW, FindFirstFileW…):
    // backslashes, and a long path (near the 260 characters the calls stop at
    // otherwise) absolute in the "\\?\" form, which takes 32,767. A short
    // path is left in its ordinary form, in which device names ("NUL") still
    // name their device. Defined on Windows alone, where those calls are.
    static std::wstring wide(const QString& path);
};
