#pragma once

#include "sheet/export/sheetfile.h"
#include "sheet/table.h"

class Progress;

// Saves a Table as the grid is saved: the same CSV dialect, a workbook with
// the heading row bold and frozen and a print setup of its own (landscape,
// one page wide, the heading row on every page, the title above and the page
// numbers below), or PDF pages with the title and the heading row on each.
// Rows past a worksheet's room go on in further worksheets, each with its
// heading row; the counts, if any, are a worksheet of their own after them.
// The file is written under a temporary name beside the target and takes
// its place only when complete.
class TableFile
{
public:
    // PDF needs the GUI application's fonts; the others only QtCore.
    static SheetFile::Result save(const Table& table, const QString& path, SheetFile::Format format,
                                  Progress* progress = nullptr);
    // With the options' rows per worksheet.
    static SheetFile::Result save(const Table& table, const QString& path, SheetFile::Format format,
                                  Progress* progress, const SheetFile::Options& options);
};
