#include "sheet/print/wrappedcells.h"

#include "sheet/resultsheet.h"
#include "sheet/sheettemplate.h"

#include <QPaintDevice>
#include <QTextLayout>
#include <QTextOption>

#include <algorithm>

namespace {
constexpr double kSheetDpi = 96.0;
// Names differ from row to row; a cache of them all would grow with the
// sheet, so past this many texts a width's lines are broken each time.
constexpr std::size_t kMostCached = 4096;
// A hostile file's long cell is broken each time rather than kept.
constexpr std::size_t kLongestCached = 2048;
} // namespace

WrappedCells::WrappedCells(const ResultSheet& sheet, const QFont& cellFont,
                           const QPaintDevice& device)
    : sheet_(sheet), font_(cellFont), device_(device), metrics_(cellFont, &device),
      scaleX_(device.logicalDpiX() / kSheetDpi), scaleY_(device.logicalDpiY() / kSheetDpi)
{
}

const QStringList& WrappedCells::lines(int position, int col, int width)
{
    static const QStringList kNone;
    const int row = sheet_.ShownRow(position);
    const std::string_view utf8 = sheet_.CellUtf8(row, col);
    if (utf8.empty())
        return kNone;
    Cache& cache = byWidth_[width];
    if (const auto found = cache.find(utf8); found != cache.end())
        return found->second;
    // Only what can show goes in, as for a cell that does not wrap.
    QStringList broken =
        breakLines(sheet_.CellTextStart(row, col, SheetTemplate::kMostCharsShown), width);
    if (cache.size() >= kMostCached || utf8.size() > kLongestCached) {
        lines_ = std::move(broken);
        return lines_;
    }
    return cache.emplace(std::string(utf8), std::move(broken)).first->second;
}

double WrappedCells::rowHeight(int position, const std::vector<PagePlan::Column>& printed)
{
    qsizetype most = 1;
    for (const PagePlan::Column& column : printed) {
        if (column.wraps)
            most = std::max(most, lines(position, column.col, column.width).size());
    }
    return heightOf(static_cast<int>(std::min<qsizetype>(most, 10'000)));
}

double WrappedCells::heightOf(int lines) const
{
    return PagePlan::kRowHeight + (std::max(lines, 1) - 1) * metrics_.lineSpacing() / scaleY_;
}

QStringList WrappedCells::breakLines(const QString& text, int width) const
{
    const double room = std::max(1.0, (width - 2 * kTextInset) * scaleX_);
    QTextLayout layout(text, font_, &device_);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    QStringList lines;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(room);
        QString part = text.mid(line.textStart(), line.textLength());
        while (!part.isEmpty() && part.back().isSpace())
            part.chop(1);
        lines.append(part);
    }
    layout.endLayout();
    return lines;
}
