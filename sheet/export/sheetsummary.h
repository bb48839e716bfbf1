#pragma once

#include <QString>

#include <vector>

class ResultSheet;

// How many workers each shown check failed, and with which messages: what
// the saved workbook's "Resumo" sheet tells. A check fails for a worker when
// its cell reads anything but "OK".
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

    // The shown check columns of rows 1 to RowCount, in column order.
    static std::vector<Check> of(const ResultSheet& sheet);
};
