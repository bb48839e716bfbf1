#pragma once

#include <QString>
#include <QStringList>

#include <vector>

class ResultSheet;

// How many workers each shown check failed, and with which messages; which
// instructions each shown orientation column gives; and how many workers
// there are in all: what the saved workbook's "Resumo" sheet tells, of the
// rows shown, with the filter that chose them. A check fails for a worker
// when its cell reads anything but "OK"; a worker has an orientation when
// either orientation cell holds something other than "OK".
class SheetSummary
{
public:
    struct Message
    {
        QString text;
        int workers = 0;
    };

    struct Check
    {
        int col = 0;
        QString heading;
        int problems = 0;
        std::vector<Message> messages; // most workers first, then by text
    };

    // A filtered column and the texts it lets through.
    struct Filter
    {
        QString heading;
        QStringList texts; // quoted, the empty text as ""
    };

    struct Totals
    {
        int workers = 0;         // the shown rows
        int withProblems = 0;    // with any check not "OK"
        int withOrientation = 0; // with either orientation other than "OK" or none
    };

    // The shown check columns of the shown rows, in column order.
    static std::vector<Check> of(const ResultSheet& sheet);
    // The shown orientation columns' instructions, CPF's then NIS's, empty
    // cells and "OK" left out.
    static std::vector<Check> orientationsOf(const ResultSheet& sheet);
    static Totals totalsOf(const ResultSheet& sheet);
    // The filtered columns, first to last; none without a filter.
    static std::vector<Filter> filtersOf(const ResultSheet& sheet);
};
