#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <utility>
#include <variant>
#include <vector>

// A plain table to save beside the grid: a title, the column headings, and
// rows whose cells are text or whole numbers. Numbers stay numbers in a
// workbook, so a spreadsheet sums and sorts them as such.
struct Table
{
    using Cell = std::variant<QString, std::int64_t>;

    // The name of the workbook's worksheet (at most 31 characters, none of
    // []:*?/\), and what the printed pages carry on top.
    QString sheetName;
    QString title;
    QStringList headings;
    std::vector<std::vector<Cell>> rows; // each as long as `headings`
    // What the rows add up to, each a label and its number: a workbook's
    // sheet of its own, and a PDF's pages under the title; none in a CSV.
    std::vector<std::pair<QString, std::int64_t>> counts;
};
