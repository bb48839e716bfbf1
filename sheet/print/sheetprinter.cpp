#include "sheet/print/sheetprinter.h"

#include "sheet/print/headerfooterformatter.h"
#include "sheet/print/wrappedcells.h"
#include "sheet/progress.h"
#include "sheet/resultsheet.h"
#include "sheet/sheettemplate.h"
#include "system/replacingfile.h"

#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPrinter>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <new>
#include <vector>

namespace {
constexpr double kSheetDpi = 96.0;
constexpr double kPointsPerInch = 72.0;
constexpr double kTextInset = WrappedCells::kTextInset;

QPageSize pageSizeFor(int paperSizeCode)
{
    switch (paperSizeCode) {
    case 1:
        return QPageSize(QPageSize::Letter);
    case 9:
    default:
        return QPageSize(QPageSize::A4);
    }
}

QFont fontOf(const SheetTemplate::Font& font)
{
    QFont f(QString::fromLatin1(font.family), font.pointSize);
    // Cell text is measured and drawn at the printer's resolution; hinting
    // for the screen would change its widths.
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

// The page in printer coordinates: where sheet pixels land on the paper,
// and the areas the settings give, all in device pixels.
struct PageFrame
{
    double scaleX;
    double scaleY;
    QRectF paper;
    QRectF printable;
    double headerTop;
    double footerBottom;

    double x(double sheetPixels) const { return sheetPixels * scaleX; }
    double y(double sheetPixels) const { return sheetPixels * scaleY; }

    static PageFrame of(const QPagedPaintDevice& device)
    {
        const SheetTemplate::PrintSettings settings = SheetTemplate::printSettings();
        const QPageLayout layout = device.pageLayout();
        const double dpiX = device.logicalDpiX();
        const double dpiY = device.logicalDpiY();

        const QRectF full = layout.fullRect(QPageLayout::Inch);
        const QMarginsF margins = layout.margins(QPageLayout::Inch);
        // The painter starts at the paper's corner in full-page mode and at
        // the printable area's corner otherwise.
        QPointF origin(0, 0);
        if (layout.mode() != QPageLayout::FullPageMode) {
            const QRectF paint = layout.paintRect(QPageLayout::Inch);
            origin = QPointF(-paint.left() * dpiX, -paint.top() * dpiY);
        }
        // The template prints at 100 %: a sheet pixel is 1/96 inch on paper.
        PageFrame frame;
        frame.scaleX = dpiX / kSheetDpi;
        frame.scaleY = dpiY / kSheetDpi;
        frame.paper = QRectF(origin, QSizeF(full.width() * dpiX, full.height() * dpiY));
        frame.printable = frame.paper.adjusted(margins.left() * dpiX, margins.top() * dpiY,
                                               -margins.right() * dpiX, -margins.bottom() * dpiY);
        frame.headerTop = frame.paper.top() + settings.headerMargin * dpiY;
        frame.footerBottom = frame.paper.bottom() - settings.footerMargin * dpiY;
        return frame;
    }

    PagePlan::Paper sheetPaper() const
    {
        return {printable.width() / scaleX, printable.height() / scaleY};
    }
};

// Why pages printed to a file stopped: the file's write error, as a save
// tells it (a full disk); nothing for a printer, whose errors are its own.
QString writeFailure(const QPagedPaintDevice& device, int error)
{
    const auto* printer = dynamic_cast<const QPrinter*>(&device);
    if (error == 0 || !printer || printer->outputFileName().isEmpty())
        return {};
    return QStringLiteral(": ") + ReplacingFile::reason(error);
}

// Ends a job the user stopped: a printer drops what it spooled, and the
// caller's file is thrown away, as the result says nothing was printed.
SheetPrinter::Result cancel(QPainter& painter, QPagedPaintDevice& device,
                            SheetPrinter::Result result)
{
    if (auto* printer = dynamic_cast<QPrinter*>(&device);
        printer && printer->outputFormat() == QPrinter::NativeFormat)
        printer->abort();
    painter.end();
    result.printed = false;
    result.error.clear();
    return result;
}

class PagePainter
{
public:
    PagePainter(QPainter& painter, const ResultSheet& sheet, const PagePlan& plan,
                const PageFrame& frame, QPaintDevice& device, WrappedCells& wrapped)
        : painter_(painter), sheet_(sheet), plan_(plan), frame_(frame), wrapped_(wrapped),
          settings_(SheetTemplate::printSettings()),
          cellFont_(fontOf(SheetTemplate::kCellFont), &device),
          headingFont_(fontOf(SheetTemplate::kStandardFont), &device),
          cellMetrics_(cellFont_, &device), headingMetrics_(headingFont_, &device),
          // Gridlines print as hairlines: half a point.
          gridPen_(Qt::black, device.logicalDpiY() / (2 * kPointsPerInch))
    {
        gridPen_.setCapStyle(Qt::FlatCap);
    }

    void paint(const PagePlan::Page& page)
    {
        paintHeaderAndFooter(page);

        const PagePlan::Band& band = plan_.bands()[static_cast<std::size_t>(page.band)];
        const std::vector<PagePlan::Column> columns = plan_.columnsOf(band);
        const double rowHeading = frame_.x(plan_.rowHeadingWidth());
        const double blockWidth = rowHeading + frame_.x(band.titlesWidth + band.width);
        const int rows = std::max(page.lastRow - page.firstRow + 1, 0);
        const double rowHeight = frame_.y(PagePlan::kRowHeight);
        // The top of each row under the headings, then the bottom of the last.
        std::vector<double> tops{rowHeight};
        tops.reserve(static_cast<std::size_t>(rows) + 1);
        for (int r = 0; r < rows; ++r)
            tops.push_back(tops.back() + frame_.y(plan_.rowHeight(band, page.firstRow + r)));
        const double blockHeight = tops.back();

        const QRectF& area = frame_.printable;
        double left = area.left();
        double top = area.top();
        // A block wider than the page starts at the margin and is clipped at
        // the other side, never pushed off both.
        if (settings_.centerHorizontally && blockWidth < area.width())
            left += (area.width() - blockWidth) / 2;
        if (settings_.centerVertically && blockHeight < area.height())
            top += (area.height() - blockHeight) / 2;

        std::vector<double> edges; // left edges of the columns, then the right edge of the last
        edges.reserve(columns.size() + 1);
        double x = left + rowHeading;
        for (const PagePlan::Column& column : columns) {
            edges.push_back(x);
            x += frame_.x(column.width);
        }
        edges.push_back(x);

        painter_.save();
        painter_.setClipRect(area);

        // Column headings, then each row under its number.
        painter_.setFont(headingFont_);
        for (std::size_t e = 0; e < columns.size(); ++e)
            centred(SheetTemplate::heading(columns[e].col),
                    QRectF(edges[e], top, edges[e + 1] - edges[e], rowHeight));
        // A row's number on its last line, beside its CPF and NOME.
        for (int r = 0; r < rows; ++r) {
            centred(QString::number(page.firstRow + r),
                    QRectF(left, top + tops[static_cast<std::size_t>(r) + 1] - rowHeight,
                           rowHeading, rowHeight));
        }
        painter_.setFont(cellFont_);
        for (int r = 0; r < rows; ++r) {
            const auto at = static_cast<std::size_t>(r);
            const QRectF row(left, top + tops[at], 0, tops[at + 1] - tops[at]);
            const int sheetRow = sheet_.ShownRow(page.firstRow + r);
            for (std::size_t e = 0; e < columns.size(); ++e) {
                const QRectF box(edges[e], row.top(), edges[e + 1] - edges[e], row.height());
                if (columns[e].wraps) {
                    wrappedCell(wrapped_.lines(page.firstRow + r, columns[e].col, columns[e].width),
                                box);
                    continue;
                }
                // Clipped text still goes into the printout, so only what can show.
                cell(sheet_.CellTextStart(sheetRow, columns[e].col, SheetTemplate::kMostCharsShown),
                     box);
            }
        }

        if (settings_.printGridlines) {
            std::vector<QLineF> lines;
            lines.reserve(static_cast<std::size_t>(rows) + edges.size() + 3);
            lines.emplace_back(left, top, x, top);
            for (double rowTop : tops)
                lines.emplace_back(left, top + rowTop, x, top + rowTop);
            lines.emplace_back(left, top, left, top + blockHeight);
            for (double edge : edges)
                lines.emplace_back(edge, top, edge, top + blockHeight);
            painter_.setPen(gridPen_);
            painter_.drawLines(lines.data(), static_cast<int>(lines.size()));
        }
        painter_.restore();
    }

private:
    void paintHeaderAndFooter(const PagePlan::Page& page)
    {
        const int number = settings_.firstPageNumber + page.index;
        const QString name = SheetTemplate::sheetName();
        const QString header = HeaderFooterFormatter::format(settings_.header, name, number);
        const QString footer = HeaderFooterFormatter::format(settings_.footer, name, number);
        const QRectF& area = frame_.printable;
        painter_.setFont(headingFont_);
        painter_.setPen(Qt::black);
        const double centre = area.left() + area.width() / 2;
        painter_.drawText(QPointF(centre - headingMetrics_.horizontalAdvance(header) / 2,
                                  frame_.headerTop + headingMetrics_.ascent()),
                          header);
        painter_.drawText(QPointF(centre - headingMetrics_.horizontalAdvance(footer) / 2,
                                  frame_.footerBottom - headingMetrics_.descent()),
                          footer);
    }

    void centred(const QString& text, const QRectF& box)
    {
        const double width = headingMetrics_.horizontalAdvance(text);
        const double baseline =
            box.center().y() + (headingMetrics_.ascent() - headingMetrics_.descent()) / 2;
        // A heading wider than its narrowed column shows its start.
        const double x =
            width <= box.width() ? box.center().x() - width / 2 : box.left() + frame_.x(kTextInset);
        drawClipped(text, QPointF(x, baseline), width, box);
    }

    // Cells are bottom-aligned and start at the left, like text in a
    // spreadsheet's general format.
    void cell(const QString& text, const QRectF& box)
    {
        if (text.isEmpty())
            return;
        const double width = cellMetrics_.horizontalAdvance(text);
        const QPointF at(box.left() + frame_.x(kTextInset),
                         box.bottom() - frame_.y(kTextInset) - cellMetrics_.descent());
        drawClipped(text, at, width, box);
    }

    // A wrapped cell's lines, bottom-aligned as a spreadsheet's: the last on
    // the baseline of a one-line cell, the others above it.
    void wrappedCell(const QStringList& lines, const QRectF& box)
    {
        const double lastBaseline = box.bottom() - frame_.y(kTextInset) - cellMetrics_.descent();
        const double x = box.left() + frame_.x(kTextInset);
        for (qsizetype i = 0; i < lines.size(); ++i) {
            const double baseline =
                lastBaseline - static_cast<double>(lines.size() - 1 - i) * wrapped_.lineSpacing();
            if (baseline - cellMetrics_.ascent() < box.top() - 1)
                continue; // a row cut at the page's height shows its last lines
            const QString& text = lines[i];
            drawClipped(text, QPointF(x, baseline), cellMetrics_.horizontalAdvance(text), box);
        }
    }

    // Clipping costs a saved state in the output, so only text that would
    // spill over its cell pays for it.
    void drawClipped(const QString& text, QPointF at, double width, const QRectF& box)
    {
        painter_.setPen(Qt::black);
        if (at.x() >= box.left() && at.x() + width <= box.right()) {
            painter_.drawText(at, text);
            return;
        }
        painter_.save();
        painter_.setClipRect(box, Qt::IntersectClip);
        painter_.drawText(at, text);
        painter_.restore();
    }

    QPainter& painter_;
    const ResultSheet& sheet_;
    const PagePlan& plan_;
    const PageFrame& frame_;
    WrappedCells& wrapped_;
    SheetTemplate::PrintSettings settings_;
    QFont cellFont_;
    QFont headingFont_;
    QFontMetricsF cellMetrics_;
    QFontMetricsF headingMetrics_;
    QPen gridPen_;
};
} // namespace

SheetPrinter::SheetPrinter(const ResultSheet& sheet) : SheetPrinter(sheet, sheet.PrintRange()) {}

SheetPrinter::SheetPrinter(const ResultSheet& sheet, const CellRange& range)
    : sheet_(sheet), range_(range)
{
}

QPageLayout SheetPrinter::pageLayout()
{
    const SheetTemplate::PrintSettings settings = SheetTemplate::printSettings();
    QPageLayout layout(pageSizeFor(settings.paperSizeCode),
                       settings.landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                       QMarginsF(settings.leftMargin, settings.topMargin, settings.rightMargin,
                                 settings.bottomMargin),
                       QPageLayout::Inch);
    // The margins are measured from the paper's edge, and the header and
    // footer print inside them.
    layout.setMode(QPageLayout::FullPageMode);
    return layout;
}

void SheetPrinter::applySettings(QPrinter& printer)
{
    const SheetTemplate::PrintSettings settings = SheetTemplate::printSettings();
    printer.setPageLayout(pageLayout());
    printer.setFullPage(true);
    printer.setColorMode(settings.blackAndWhite ? QPrinter::GrayScale : QPrinter::Color);
    printer.setCopyCount(settings.copies);
    printer.setDocName(SheetTemplate::sheetName());
    printer.setCreator(QStringLiteral("Verinova Cadastral"));
}

int SheetPrinter::digitWidth()
{
    // A 96-dpi image stands in for the screen the widths were made for.
    static const int width = [] {
        QImage image(1, 1, QImage::Format_RGB32);
        constexpr double kMetersPerInch = 0.0254;
        image.setDotsPerMeterX(qRound(kSheetDpi / kMetersPerInch));
        image.setDotsPerMeterY(qRound(kSheetDpi / kMetersPerInch));
        const QFont font(QString::fromLatin1(SheetTemplate::kStandardFont.family),
                         SheetTemplate::kStandardFont.pointSize);
        return QFontMetrics(font, &image).horizontalAdvance(QLatin1Char('0'));
    }();
    return width;
}

std::shared_ptr<WrappedCells> SheetPrinter::wrappedCells(const QPaintDevice& device) const
{
    return std::make_shared<WrappedCells>(sheet_, QFont(fontOf(SheetTemplate::kCellFont), &device),
                                          device);
}

PagePlan SheetPrinter::plan(const QPagedPaintDevice& device) const
{
    return planWith(device, wrappedCells(device));
}

PagePlan SheetPrinter::planWith(const QPagedPaintDevice& device,
                                std::shared_ptr<WrappedCells> wrapped) const
{
    return PagePlan::forRange(
        sheet_, range_, PageFrame::of(device).sheetPaper(), digitWidth(),
        [wrapped = std::move(wrapped)](int row, const std::vector<PagePlan::Column>& printed) {
            return wrapped->rowHeight(row, printed);
        });
}

SheetPrinter::Copies SheetPrinter::Copies::leftBy(const QPrinter& printer)
{
    return {printer.supportsMultipleCopies() ? 1 : std::max(printer.copyCount(), 1),
            printer.collateCopies(), printer.pageOrder() == QPrinter::LastPageFirst};
}

SheetPrinter::Result SheetPrinter::print(QPagedPaintDevice& device, const QPageRanges& pages,
                                         const Copies& copies, Progress* progress) const
{
    auto painter = std::make_unique<QPainter>();
    try {
        return printPages(*painter, device, pages, copies, progress);
    } catch (const std::bad_alloc&) {
        // The pages so far are not a printout: a printer drops them, a file
        // is left to its caller to throw away.
        Result result;
        try {
            if (painter->isActive())
                result = cancel(*painter, device, result);
        } catch (const std::bad_alloc&) {
            // Ending the job takes memory too (a PDF compresses its last
            // page), and the painter would try again when destroyed, outside
            // any handler. It is let go with the job unfinished instead.
            static_cast<void>(painter.release());
        }
        result.printed = false;
        result.error = QStringLiteral("Memória insuficiente para imprimir.");
        return result;
    }
}

SheetPrinter::Result SheetPrinter::printPages(QPainter& painter, QPagedPaintDevice& device,
                                              const QPageRanges& pages, const Copies& copies,
                                              Progress* progress) const
{
    const PageFrame frame = PageFrame::of(device);
    const std::shared_ptr<WrappedCells> wrapped = wrappedCells(device);
    const PagePlan plan = planWith(device, wrapped);

    std::vector<int> chosen; // 0-based, in the order they print
    for (int i = 0; i < plan.pageCount(); ++i) {
        if (pages.isEmpty() || pages.contains(i + 1))
            chosen.push_back(i);
    }
    if (copies.lastPageFirst)
        std::reverse(chosen.begin(), chosen.end());
    Result result;
    if (chosen.empty()) {
        result.error = QStringLiteral("As páginas %1 não existem: a planilha tem %2 página(s).")
                           .arg(pages.toString())
                           .arg(plan.pageCount());
        return result;
    }

    if (!painter.begin(&device)) {
        result.error = QStringLiteral("Não foi possível abrir a impressora.");
        return result;
    }
    PagePainter pagePainter(painter, sheet_, plan, frame, device, *wrapped);
    const std::size_t count = static_cast<std::size_t>(std::max(copies.count, 1));
    const std::size_t total = chosen.size() * count;
    for (std::size_t n = 0; n < total; ++n) {
        const int i = chosen[copies.collate ? n % chosen.size() : n / count];
        if (progress && !progress->advance(result.pages, static_cast<int>(total)))
            return cancel(painter, device, result);
        errno = 0;
        if (n > 0 && !device.newPage()) {
            const QString why = writeFailure(device, errno);
            painter.end();
            result.error = QStringLiteral("A impressão parou na página %1%2.").arg(i + 1).arg(why);
            return result;
        }
        pagePainter.paint(plan.page(i));
        ++result.pages;
    }
    errno = 0;
    if (!painter.end()) {
        result.error = QStringLiteral("Não foi possível concluir a impressão%1.")
                           .arg(writeFailure(device, errno));
        return result;
    }
    result.printed = true;
    return result;
}
