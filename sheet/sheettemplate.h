#pragma once

#include "sheet/returnfields.h"

#include <QLocale>
#include <QString>

#include <array>

// What the result sheet holds before any import: its name, the 21 headed
// columns sized to the messages the import writes, the cell format and the
// print settings the printer button prints with. Plain data; the grid and
// the printout turn it into fonts and pixels.
class SheetTemplate
{
public:
    // Column widths are in 1/256 of the width of a character of the standard font.
    static constexpr int kDefaultColumnWidthUnits = 2342;
    // More characters than the widest column (87 digits) shows even in the
    // narrowest letters: cells are painted and printed from that much of
    // their text, however long it is.
    static constexpr int kMostCharsShown = 1024;

    struct Font
    {
        const char* family;
        int pointSize;
    };

    struct PrintSettings
    {
        QString header = QStringLiteral("&A");
        QString footer = QStringLiteral("Página &P");
        // Inches.
        double leftMargin = 0.75;
        double rightMargin = 0.75;
        double topMargin = 1.0;
        double bottomMargin = 1.0;
        double headerMargin = 0.5;
        double footerMargin = 0.5;
        int paperSizeCode = 9; // A4
        bool landscape = false;
        bool blackAndWhite = true;
        int scalePercent = 100;
        int firstPageNumber = 1;
        int copies = 1;
        bool printRowHeadings = true;
        bool printColumnHeadings = true;
        bool printGridlines = true;
        bool centerHorizontally = true;
        bool centerVertically = false;
    };

    static QString sheetName() { return QStringLiteral("Planilhas1"); }
    // The heading of a 1-based column: its field's name. Columns past the
    // last field have none.
    static QString heading(int col);
    static int columnWidthUnits(int col);

    // Cells: Arial 9 pt regular, general format, bottom-aligned. The
    // sheet's standard font, which the column widths count in: Arial 10 pt.
    static constexpr Font kCellFont{"Arial", 9};
    static constexpr Font kStandardFont{"Arial", 10};
    static constexpr int kRowHeightTwips = 255;
    static constexpr int kCountryCode = 55;
    // The country's locale, in which every number the program shows is
    // written ("100.000 trabalhadores").
    static QLocale locale();

    // A width in 1/256 characters as pixels, the way spreadsheets draw it:
    // the characters at the standard font's digit width, plus the cell's
    // padding.
    static int columnWidthPixels(int widthUnits, int digitWidthPixels);
    static constexpr int kCellPaddingPixels = 5;

    static PrintSettings printSettings() { return {}; }
};
