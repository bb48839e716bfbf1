#pragma once

#include <QString>

// Expands the codes of a page header or footer the way spreadsheets print
// them: "&A" the sheet's name, "&P" the page number, "&&" a literal "&".
// Any other "&" sequence, and a lone "&" at the end, print as written, so a
// header that means plain text never loses a character.
class HeaderFooterFormatter
{
public:
    static QString format(const QString& codes, const QString& sheetName, int pageNumber);
};
