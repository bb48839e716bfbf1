#pragma once

#include <QString>
#include <QStringList>

// A file argument's "*" and "?", which a Windows program expands itself:
// cmd passes them on as typed, where a POSIX shell has already put the
// names in their place. Only in the last component, as Windows' own
// commands have them ("C:\Retornos\D.CNS*.PROCESSADO", not
// "C:\Retor*\D.CNS.TXT").
class FilePattern
{
public:
    // Whether the argument's last component holds "*" or "?".
    static bool isPattern(const QString& argument);

    // The files and folders beside it whose names the last component
    // matches, case aside as Windows matches them: "*" any run of
    // characters, "?" any one, and a final ".*" also a name without an
    // extension, as "*.*" is every file there. Each is the argument as typed
    // up to its last component, then the name found, in the order the
    // program lists file names in. Hidden ones are left out, as the folder's
    // overview leaves them out (a save's hidden temporary file among them).
    // Empty when none matches.
    static QStringList matches(const QString& pattern);

    // Told, after the pattern, for one that matches nothing.
    static QString noMatchText();
};
