#pragma once

#include "processing/returncomparison.h"
#include "sheet/table.h"

#include <QString>

#include <optional>
#include <vector>

// A comparison as a table to save: every entry with its situation, the
// worker's CPF, NIS, NOME and DN, the checks and orientations not "OK"
// before and now ("OK" where there are none, empty where the worker is not
// in that file; an ambiguous worker's other side names its candidates), and
// what of CPF, NIS, NOME and DN was corrected between the two. The count of
// each situation goes with the table: the workbook's sheet of counts, and
// the top of each PDF page under the title.
//
// A table of the entries a window lists, the clerk's filter and order, says
// in its title which situation it lists; the counts are of all.
class ComparisonTable
{
public:
    // The names are the files' as the title shows them.
    static Table of(const ReturnComparison& comparison, const QString& earlierName,
                    const QString& currentName);
    // The entries `listed` (indexes in the comparison) in that order, which
    // are those of `only` when it is given.
    static Table of(const ReturnComparison& comparison, const QString& earlierName,
                    const QString& currentName, const std::vector<int>& listed,
                    std::optional<ReturnComparison::Situation> only);

    // The columns' headings, and an entry's texts under them: what a window
    // shows of the comparison is what a saved one holds.
    static QStringList headings();
    static QStringList row(const ReturnComparison& comparison,
                           const ReturnComparison::Entry& entry);
};
