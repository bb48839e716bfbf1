#pragma once

#include "sheet/export/sheetfile.h"

#include <string>
#include <string_view>

class QIODevice;

// The sheet as spreadsheets read CSV in Brazil: UTF-8 with a byte order mark
// so the accents open right, ";" between fields, CRLF after each row, a field
// quoted as RFC 4180 says when it holds ";", '"', CR or LF, and a leading "'"
// before a field that a spreadsheet would run as a formula.
class CsvExport
{
public:
    static SheetFile::Result write(const ResultSheet& sheet, QIODevice& out, Progress* progress);
    // One field as it goes into the file.
    static void appendField(std::string& out, std::string_view field);
};
