#include "sheet/grid/sheetstyle.h"

#include "sheet/sheettemplate.h"

#include <QFontMetrics>
#include <QPaintDevice>

namespace {
QFont templateFont(const SheetTemplate::Font& font)
{
    QFont result(QString::fromLatin1(font.family), font.pointSize);
    // Where no Arial (or metric twin such as Liberation Sans) is installed, a
    // sans-serif keeps the widths close.
    result.setStyleHint(QFont::SansSerif);
    return result;
}

constexpr int kTwipsPerInch = 1440;
} // namespace

QFont SheetStyle::cellFont()
{
    return templateFont(SheetTemplate::kCellFont);
}

QFont SheetStyle::standardFont()
{
    return templateFont(SheetTemplate::kStandardFont);
}

int SheetStyle::digitWidthPixels(const QPaintDevice& device)
{
    // Spreadsheets use whole pixels for the digit; a fractional advance would
    // make every column a little wider than they draw it.
    const QFontMetrics metrics(standardFont(), &device);
    return metrics.horizontalAdvance(QLatin1Char('0'));
}

int SheetStyle::columnWidthPixels(int col, int digitWidthPixels)
{
    return SheetTemplate::columnWidthPixels(SheetTemplate::columnWidthUnits(col), digitWidthPixels);
}

int SheetStyle::rowHeightPixels(int dpi)
{
    return (SheetTemplate::kRowHeightTwips * dpi + kTwipsPerInch / 2) / kTwipsPerInch;
}
