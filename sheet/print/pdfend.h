#pragma once

#include <QString>

// Whether a PDF the printer wrote to a file holds every byte the printer
// handed over. Qt's printer does not check its writes: past a full disk or
// the file size limit (`ulimit -f`) it goes on as if they were done, and a
// printout to a file would pass for whole. Its last lines give the place of
// its cross-reference table, counted by the printer in the bytes it handed
// over: a file that lost any of them, at its end or anywhere before, no
// longer has the table there, or no last lines at all.
class PdfEnd
{
public:
    static bool whole(const QString& path);
    // The message of a printout to `target` that is not whole.
    static QString cutText(const QString& target);
};
