#pragma once

#include <cstdio>
#include <string>

class ResultSheet;

// The plain-text picture of a sheet that the dump tool prints and the
// end-to-end tests compare: row and column counts, hidden columns, then one
// line per row with its cells joined by TAB.
class SheetDump
{
public:
    static std::string summary(const ResultSheet& sheet);
    static void write(const ResultSheet& sheet, std::FILE* out, bool summaryOnly);
    // A cell as it appears in a dump line: TAB as \t, backslash as \\, and
    // the line ends a cell might hold as \n and \r.
    static void appendEscaped(std::string& out, std::string_view cell);
};
