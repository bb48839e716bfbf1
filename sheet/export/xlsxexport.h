#pragma once

#include "sheet/export/sheetfile.h"

#include <cstdint>

// The sheet as an Excel workbook, written by libxlsxwriter in its
// constant-memory mode, so a million rows cost a row's memory: the rows in
// "Planilhas1" (going on in "Planilhas2", … past a worksheet's capacity),
// each worksheet headed by the bold, frozen heading row with an autofilter
// and the template's column widths, CPF, NIS and NOME frozen too while the
// sheet freezes them; every cell as text, never a number, so CPF, NIS and DN
// keep their leading zeros. Then "Resumo": the workers with problems per
// shown check, those with each orientation, the count of each message, and a
// bar chart of the checks.
class XlsxExport
{
public:
    // `temporaryFolder` takes the library's working files, beside the target
    // so that a large workbook fills the disk it goes to, not /tmp.
    static SheetFile::Result write(const ResultSheet& sheet, const QString& path,
                                   const QString& temporaryFolder,
                                   const SheetFile::Options& options, Progress* progress);

    // More than the workbook's parts take before compression (so more than
    // the zip), or a number past `enough` as soon as that is sure.
    static std::uint64_t xmlBytesBound(const ResultSheet& sheet, int rowsPerSheet,
                                       std::uint64_t enough);
};
