#pragma once

#include <QString>

// The return a company's current one is most likely compared with: the
// newest return of the same CNPJ, made before it, in the same folder, as
// the government's names tell. Only the names are read, so a folder of a
// few hundred returns answers at once.
class EarlierReturn
{
public:
    // The earlier return's full path; empty when the current file's name is
    // not the government's or the folder holds no earlier return of its
    // company.
    static QString newestBefore(const QString& currentPath);
    // Whether both names are the government's and `path`'s return was made
    // after `otherPath`'s.
    static bool madeAfter(const QString& path, const QString& otherPath);
};
