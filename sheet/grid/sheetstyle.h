#pragma once

#include <QFont>

class QPaintDevice;

// The template's looks in Qt terms: its fonts as QFonts, its widths and row
// height as pixels of the device that draws them.
class SheetStyle
{
public:
    static QFont cellFont();
    // The sheet's standard font: headings are drawn in it and column
    // widths are counted in its characters.
    static QFont standardFont();
    // Width of "0" in the standard font on that device, the character that
    // spreadsheets count column widths in.
    static int digitWidthPixels(const QPaintDevice& device);
    static int columnWidthPixels(int col, int digitWidthPixels);
    static int rowHeightPixels(int dpi);
    // Text is never turned into a number, so the general format draws every
    // cell as text does: left, at the bottom of the row.
    static constexpr Qt::Alignment kCellAlignment = Qt::AlignLeft | Qt::AlignBottom;
};
