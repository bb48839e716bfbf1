#include "sheet/export/tablefile.h"

#include "sheet/export/checkedfile.h"
#include "sheet/export/csvexport.h"
#include "sheet/export/fastdeflate.h"
#include "sheet/export/xlsxcell.h"
#include "sheet/progress.h"
#include "sheet/sheettemplate.h"
#include "system/replacingfile.h"
#include "system/systempath.h"

#include <QDir>
#include <QFile>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <new>
#include <string>
#include <utility>
#include <xlsxwriter.h>

namespace {
constexpr int kRowsPerReport = 4096;

QString textOf(const Table::Cell& cell)
{
    if (const auto* number = std::get_if<std::int64_t>(&cell))
        return QString::number(*number);
    return std::get<QString>(cell);
}

// The longest line of a cell, in characters: what a column must show.
qsizetype widestLine(const QString& text)
{
    qsizetype widest = 0;
    for (const QStringView line : QStringView(text).split(u'\n'))
        widest = std::max(widest, line.size());
    return widest;
}

SheetFile::Result saveCsv(const Table& table, const QString& path, Progress* progress)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return SheetFile::Result::failed(ReplacingFile::reason(errno));
    std::string out = "\xEF\xBB\xBF";
    for (qsizetype i = 0; i < table.headings.size(); ++i) {
        if (i > 0)
            out.push_back(';');
        CsvExport::appendField(out, table.headings[i].toStdString());
    }
    out.append("\r\n");
    const int rows = static_cast<int>(table.rows.size());
    for (int row = 0; row < rows; ++row) {
        if (progress && row % kRowsPerReport == 0 && !progress->advance(row, rows))
            return SheetFile::Result::cancelled();
        bool first = true;
        for (const Table::Cell& cell : table.rows[static_cast<std::size_t>(row)]) {
            if (!std::exchange(first, false))
                out.push_back(';');
            // A number is read as one: its sign is no formula's.
            if (const auto* number = std::get_if<std::int64_t>(&cell))
                out.append(std::to_string(*number));
            else
                CsvExport::appendField(out, std::get<QString>(cell).toStdString());
        }
        out.append("\r\n");
    }
    errno = 0;
    const bool written =
        file.write(out.data(), static_cast<qint64>(out.size())) == static_cast<qint64>(out.size());
    file.close();
    if (!written || file.error() != QFileDevice::NoError)
        return SheetFile::Result::failed(ReplacingFile::reason(errno));
    return {};
}

// A workbook the library frees whatever ends the save. Freed without being
// closed, it would leave its worksheet's working file open.
struct Book
{
    lxw_workbook* book = nullptr;
    ~Book()
    {
        if (!book)
            return;
        lxw_worksheet* ws = nullptr;
        STAILQ_FOREACH(ws, book->worksheets, list_pointers)
        {
            if (ws->optimize_tmpfile) {
                std::fclose(ws->optimize_tmpfile);
                ws->optimize_tmpfile = nullptr;
                ws->file = nullptr;
            }
        }
        lxw_workbook_free(book);
    }
};

QString libraryReason(lxw_error error)
{
    if (error == LXW_ERROR_MEMORY_MALLOC_FAILED)
        return QStringLiteral("memória insuficiente");
    if (errno != 0)
        return ReplacingFile::reason(errno);
    // The library's numbers mean nothing to a clerk; what is left to do does.
    return QStringLiteral("a biblioteca que grava o XLSX recusou a planilha; salve em CSV ou PDF");
}

// The spreadsheets' header and footer codes start with "&": a title's own
// "&" is doubled. Spreadsheets cut a header past 255 bytes, codes included:
// a longer title is cut before that, at a whole character, and says so.
QString headerText(const QString& title)
{
    constexpr qsizetype kMostBytes = 255;
    const QString code = QStringLiteral("&C");
    const QString whole = code + QString(title).replace(u'&', QStringLiteral("&&"));
    if (whole.toUtf8().size() <= kMostBytes)
        return whole;
    const QString cut = QStringLiteral("…");
    const qsizetype room = kMostBytes - cut.toUtf8().size();
    qsizetype bytes = 0;
    qsizetype end = 0;
    while (end < whole.size()) {
        const qsizetype next =
            end + (whole.at(end).isHighSurrogate() && end + 1 < whole.size() ? 2 : 1);
        const qsizetype size = QStringView(whole).sliced(end, next - end).toUtf8().size();
        if (bytes + size > room)
            break;
        bytes += size;
        end = next;
    }
    QString text = whole.left(end);
    // An "&" left alone would start a code with the cut's first character.
    qsizetype ampersands = 0;
    while (ampersands < text.size() && text.at(text.size() - 1 - ampersands) == u'&')
        ++ampersands;
    if (ampersands % 2 != 0)
        text.chop(1);
    return text + cut;
}

// The rows `first` to `last` (0-based, past the end when none) as a
// worksheet of their own, under the heading row.
lxw_error writeRows(lxw_workbook* book, lxw_format* bold, const char* name, const Table& table,
                    const std::vector<qsizetype>& widths, std::size_t first, std::size_t last,
                    Progress* progress, bool& cancelled)
{
    lxw_worksheet* ws = workbook_add_worksheet(book, name);
    if (!ws)
        return LXW_ERROR_MEMORY_MALLOC_FAILED;
    const auto columns = static_cast<lxw_col_t>(table.headings.size());
    const auto rows = static_cast<lxw_row_t>(last - first);
    lxw_error error = LXW_NO_ERROR;
    auto check = [&error](lxw_error step) {
        if (error == LXW_NO_ERROR)
            error = step;
    };
    for (lxw_col_t col = 0; col < columns; ++col)
        check(worksheet_set_column(
            ws, col, col, static_cast<double>(std::clamp<qsizetype>(widths[col], 6, 60) + 2),
            nullptr));

    const SheetTemplate::PrintSettings settings = SheetTemplate::printSettings();
    worksheet_set_paper(ws, static_cast<uint8_t>(settings.paperSizeCode));
    worksheet_set_landscape(ws);
    worksheet_fit_to_pages(ws, 1, 0);
    worksheet_gridlines(ws, LXW_SHOW_ALL_GRIDLINES);
    check(worksheet_repeat_rows(ws, 0, 0));
    check(worksheet_set_header(ws, headerText(table.title).toUtf8().constData()));
    check(worksheet_set_footer(ws, "&CPágina &P de &N"));
    worksheet_freeze_panes(ws, 1, 0);
    if (columns > 0)
        check(worksheet_autofilter(ws, 0, 0, rows, columns - 1));

    std::string prepared;
    auto writeText = [&](lxw_row_t row, lxw_col_t col, const QString& text, lxw_format* format) {
        if (text.isEmpty())
            return;
        XlsxCell::prepare(text.toStdString(), prepared);
        check(worksheet_write_string(ws, row, col, prepared.c_str(), format));
    };
    for (lxw_col_t col = 0; col < columns; ++col)
        writeText(0, col, table.headings[col], bold);
    const int total = static_cast<int>(table.rows.size());
    for (std::size_t at = first; at < last && error == LXW_NO_ERROR; ++at) {
        if (progress && at % kRowsPerReport == 0 &&
            !progress->advance(static_cast<int>(at), total)) {
            cancelled = true;
            return error;
        }
        const auto row = static_cast<lxw_row_t>(at - first + 1);
        const std::vector<Table::Cell>& cells = table.rows[at];
        for (lxw_col_t col = 0; col < cells.size() && col < columns; ++col) {
            if (const auto* number = std::get_if<std::int64_t>(&cells[col]))
                check(worksheet_write_number(ws, row, col, static_cast<double>(*number), nullptr));
            else
                writeText(row, col, std::get<QString>(cells[col]), nullptr);
        }
    }
    return error;
}

// The counts, a label and its number a row, under the title.
lxw_error writeCounts(lxw_workbook* book, lxw_format* bold, const Table& table)
{
    lxw_worksheet* ws = workbook_add_worksheet(book, "Contagens");
    if (!ws)
        return LXW_ERROR_MEMORY_MALLOC_FAILED;
    lxw_error error = LXW_NO_ERROR;
    auto check = [&error](lxw_error step) {
        if (error == LXW_NO_ERROR)
            error = step;
    };
    qsizetype widest = 6;
    for (const auto& [label, number] : table.counts)
        widest = std::max(widest, label.size());
    check(worksheet_set_column(ws, 0, 0, static_cast<double>(std::min<qsizetype>(widest, 60) + 2),
                               nullptr));
    check(worksheet_set_column(ws, 1, 1, 14, nullptr));
    const SheetTemplate::PrintSettings settings = SheetTemplate::printSettings();
    worksheet_set_paper(ws, static_cast<uint8_t>(settings.paperSizeCode));
    check(worksheet_set_header(ws, headerText(table.title).toUtf8().constData()));
    std::string prepared;
    XlsxCell::prepare(table.title.toStdString(), prepared);
    check(worksheet_write_string(ws, 0, 0, prepared.c_str(), bold));
    lxw_row_t row = 1;
    for (const auto& [label, number] : table.counts) {
        XlsxCell::prepare(label.toStdString(), prepared);
        check(worksheet_write_string(ws, row, 0, prepared.c_str(), nullptr));
        check(worksheet_write_number(ws, row, 1, static_cast<double>(number), nullptr));
        ++row;
    }
    return error;
}

// Worksheet names are at most 31 characters: a long name is cut before its
// number.
QString sheetName(const QString& name, int n)
{
    if (n == 1)
        return name;
    const QString number = QStringLiteral(" %1").arg(n);
    return name.left(31 - number.size()) + number;
}

SheetFile::Result saveXlsx(const Table& table, const QString& path, const QString& work,
                           Progress* progress, const SheetFile::Options& options)
{
    const QByteArray narrowPath = SystemPath::narrow(path);
    QByteArray narrowWork = SystemPath::narrow(work);
    if (narrowPath.isEmpty() || narrowWork.isEmpty())
        return SheetFile::Result::failed(
            QStringLiteral("o nome não pode ser aberto pela biblioteca libxlsxwriter"));

    // Wide enough for the longest line of each column, within reason; and
    // the most bytes the sheets' text can take, which past 4 GiB needs ZIP64.
    std::vector<qsizetype> widths;
    std::uint64_t bytes = 0;
    for (const QString& heading : table.headings)
        widths.push_back(heading.size());
    for (const std::vector<Table::Cell>& row : table.rows) {
        for (std::size_t col = 0; col < row.size() && col < widths.size(); ++col) {
            const QString text = textOf(row[col]);
            widths[col] = std::max(widths[col], widestLine(text));
            // Three bytes a character, doubled for the escapes, and the tags.
            bytes += static_cast<std::uint64_t>(text.size()) * 6 + 64;
        }
    }

    lxw_workbook_options libraryOptions{};
    // Rows go out as they are written, so a long comparison costs a row.
    libraryOptions.constant_memory = LXW_TRUE;
    libraryOptions.tmpdir = narrowWork.data();
    libraryOptions.use_zip64 = bytes > options.xlsxZip64Above ? LXW_TRUE : LXW_FALSE;
    Book book{workbook_new_opt(narrowPath.constData(), &libraryOptions)};
    if (!book.book)
        return SheetFile::Result::failed(ReplacingFile::reason(errno != 0 ? errno : ENOMEM));
    lxw_format* bold = workbook_add_format(book.book);
    if (!bold)
        return SheetFile::Result::failed(libraryReason(LXW_ERROR_MEMORY_MALLOC_FAILED));
    format_set_bold(bold);

    const QString name =
        table.sheetName.isEmpty() ||
                workbook_validate_sheet_name(book.book, table.sheetName.toUtf8().constData()) !=
                    LXW_NO_ERROR
            ? QStringLiteral("Planilha")
            : table.sheetName;
    const auto perSheet = static_cast<std::size_t>(std::max(options.xlsxRowsPerSheet, 1));
    std::size_t first = 0;
    for (int n = 1; first == 0 || first < table.rows.size(); ++n, first += perSheet) {
        const std::size_t last = std::min(table.rows.size(), first + perSheet);
        bool cancelled = false;
        const lxw_error error = writeRows(book.book, bold, sheetName(name, n).toUtf8().constData(),
                                          table, widths, first, last, progress, cancelled);
        if (cancelled)
            return SheetFile::Result::cancelled();
        if (error != LXW_NO_ERROR)
            return SheetFile::Result::failed(libraryReason(error));
    }
    if (!table.counts.empty()) {
        if (const lxw_error error = writeCounts(book.book, bold, table))
            return SheetFile::Result::failed(libraryReason(error));
    }
    errno = 0;
    // The parts are deflated here, at the fastest level as the grid's are.
    const FastDeflate fast;
    const lxw_error error = workbook_close(std::exchange(book.book, nullptr));
    if (error != LXW_NO_ERROR)
        return SheetFile::Result::failed(libraryReason(error));
    return {};
}

// The title, and under it the counts, on top of each page.
QString pageTitle(const Table& table)
{
    QStringList counts;
    for (const auto& [label, number] : table.counts)
        counts.append(QStringLiteral("%1: %2").arg(
            label, SheetTemplate::locale().toString(static_cast<qlonglong>(number))));
    if (counts.isEmpty())
        return table.title;
    return table.title + u'\n' + counts.join(QStringLiteral("; "));
}

// The pages of a PDF: the title on top of each, then the heading row, then
// as many rows as fit, each as tall as its longest wrapped cell; the page
// number and the count of pages below.
class TablePages
{
public:
    TablePages(const Table& table, QPdfWriter& writer) : table_(table), title_(pageTitle(table))
    {
        titleFont_ = QFont(QStringLiteral("DejaVu Sans"), 9);
        titleFont_.setBold(true);
        const QRect paint = writer.pageLayout().paintRectPixels(writer.resolution());
        page_ = QSizeF(paint.size());
        // Many columns take a smaller type before their words are cut.
        for (const qreal points : {7.0, 6.5, 6.0, 5.5, 5.0}) {
            font_ = QFont(QStringLiteral("DejaVu Sans"));
            font_.setPointSizeF(points);
            bold_ = font_;
            bold_.setBold(true);
            if (layColumns(writer, points == 5.0))
                break;
        }
        const QFontMetricsF metrics(font_, &writer);
        const QFontMetricsF boldMetrics(bold_, &writer);
        titleHeight_ = QFontMetricsF(titleFont_, &writer)
                           .boundingRect(QRectF(0, 0, page_.width(), 1e9),
                                         Qt::AlignLeft | Qt::TextWordWrap, title_)
                           .height() +
                       lineHeight_;
        headingHeight_ = heightOf(headings_, boldMetrics);
        const qreal rowRoom = page_.height() - titleHeight_ - headingHeight_ - footerHeight_;
        qreal used = 0;
        firstRows_.push_back(0);
        for (const std::vector<Table::Cell>& row : table.rows) {
            QStringList texts;
            for (const Table::Cell& cell : row)
                texts.append(breakable(textOf(cell)));
            // A row taller than a page is cut at the page's foot.
            const qreal height = std::min(heightOf(texts, metrics), rowRoom);
            if (used + height > rowRoom) {
                firstRows_.push_back(heights_.size());
                used = 0;
            }
            heights_.push_back(height);
            used += height;
        }
    }

    // The columns' widths in the current type; false when its words do not
    // fit the page and `lastTry` is not set.
    bool layColumns(QPdfWriter& writer, bool lastTry)
    {
        // Each column gets at least its longest word (held to a tenth of
        // the page), so that a CNPJ or a date never breaks; the room left is
        // shared towards each column's longest line, the widest narrowed to
        // one width, so that short columns stay whole.
        const QFontMetricsF metrics(font_, &writer);
        const QFontMetricsF boldMetrics(bold_, &writer);
        pad_ = metrics.height() * 0.25;
        lineHeight_ = metrics.height();
        footerHeight_ = lineHeight_ * 2;
        headings_.clear();
        widths_.clear();
        const qreal most = page_.width() / 10;
        std::vector<qreal> least;
        std::vector<qreal> natural;
        auto measure = [&](std::size_t col, const QString& text, const QFontMetricsF& m) {
            for (const QString& line : text.split(u'\n')) {
                natural[col] = std::max(natural[col], m.horizontalAdvance(line) + 2 * pad_);
                for (const QString& word : line.split(u' '))
                    least[col] =
                        std::max(least[col], std::min(most, m.horizontalAdvance(word) + 2 * pad_));
            }
        };
        for (const QString& heading : table_.headings) {
            headings_.append(breakable(heading));
            least.push_back(0);
            natural.push_back(0);
            for (const QString& word : heading.split(QRegularExpression(QStringLiteral("[ _]"))))
                measure(least.size() - 1, word + u'_', boldMetrics);
        }
        for (const std::vector<Table::Cell>& row : table_.rows) {
            for (std::size_t col = 0; col < row.size() && col < natural.size(); ++col)
                measure(col, textOf(row[col]), metrics);
        }
        qreal room = page_.width();
        for (const qreal width : least)
            room -= width;
        if (room <= 0 && !lastTry)
            return false;
        if (room <= 0) {
            for (const qreal width : least)
                widths_.push_back(width * page_.width() / (page_.width() - room));
        } else {
            std::vector<qreal> wanted;
            for (std::size_t col = 0; col < least.size(); ++col)
                wanted.push_back(std::max<qreal>(0, natural[col] - least[col]));
            std::vector<qreal> sorted = wanted;
            std::sort(sorted.begin(), sorted.end());
            qreal cap = sorted.empty() ? 0 : sorted.back();
            for (std::size_t i = 0; i < sorted.size(); ++i) {
                const auto left = static_cast<qreal>(sorted.size() - i);
                if (sorted[i] * left > room) {
                    cap = room / left;
                    break;
                }
                room -= sorted[i];
            }
            for (std::size_t col = 0; col < least.size(); ++col)
                widths_.push_back(least[col] + std::min(wanted[col], cap));
        }
        return true;
    }

    int pageCount() const { return static_cast<int>(firstRows_.size()); }

    void paint(QPainter& painter, int page) const
    {
        const qreal width = page_.width();
        painter.setFont(titleFont_);
        painter.drawText(QRectF(0, 0, width, titleHeight_),
                         Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, title_);
        qreal y = titleHeight_;
        painter.setFont(bold_);
        paintRow(painter, y, headingHeight_, headings_, {}, true);
        y += headingHeight_;
        painter.setFont(font_);
        const std::size_t first = firstRows_[static_cast<std::size_t>(page)];
        const std::size_t end = page + 1 < pageCount()
                                    ? firstRows_[static_cast<std::size_t>(page) + 1]
                                    : heights_.size();
        for (std::size_t row = first; row < end; ++row) {
            QStringList texts;
            std::vector<bool> numbers;
            for (const Table::Cell& cell : table_.rows[row]) {
                texts.append(breakable(textOf(cell)));
                numbers.push_back(std::holds_alternative<std::int64_t>(cell));
            }
            paintRow(painter, y, heights_[row], texts, numbers, false);
            y += heights_[row];
        }
        painter.drawText(QRectF(0, page_.height() - lineHeight_, width, lineHeight_),
                         Qt::AlignHCenter | Qt::AlignBottom,
                         QStringLiteral("Página %1 de %2").arg(page + 1).arg(pageCount()));
    }

private:
    static constexpr int kWrap = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;

    // A long name may wrap after a dot, a slash or an underscore.
    static QString breakable(QString text)
    {
        static const QRegularExpression breaks(QStringLiteral("([._/])"));
        return text.replace(breaks, QStringLiteral("\\1\u200B"));
    }

    qreal heightOf(const QStringList& texts, const QFontMetricsF& metrics) const
    {
        qreal height = metrics.height();
        for (qsizetype col = 0; col < texts.size() && col < qsizetype(widths_.size()); ++col) {
            if (texts[col].isEmpty())
                continue;
            const qreal width = widths_[static_cast<std::size_t>(col)] - 2 * pad_;
            // Most cells are one line that fits: no wrapping to lay out.
            if (!texts[col].contains(u'\n') && metrics.horizontalAdvance(texts[col]) <= width)
                continue;
            const QRectF box(0, 0, width, 1e9);
            height = std::max(height, metrics.boundingRect(box, kWrap, texts[col]).height());
        }
        return height + 2 * pad_;
    }

    void paintRow(QPainter& painter, qreal y, qreal height, const QStringList& texts,
                  const std::vector<bool>& numbers, bool heading) const
    {
        qreal x = 0;
        for (std::size_t col = 0; col < widths_.size(); ++col) {
            const QRectF cell(x, y, widths_[col], height);
            if (heading)
                painter.fillRect(cell, QColor(230, 230, 230));
            painter.setPen(QColor(160, 160, 160));
            painter.drawRect(cell);
            painter.setPen(Qt::black);
            const int align =
                col < numbers.size() && numbers[col] ? Qt::AlignRight | Qt::AlignTop : kWrap;
            painter.save();
            painter.setClipRect(cell);
            painter.drawText(cell.adjusted(pad_, pad_, -pad_, -pad_), align,
                             texts.value(static_cast<qsizetype>(col)));
            painter.restore();
            x += widths_[col];
        }
    }

    const Table& table_;
    QString title_;
    QStringList headings_; // with a break allowed after each "_"
    QFont font_;
    QFont bold_;
    QFont titleFont_;
    QSizeF page_;
    qreal pad_ = 0;
    qreal lineHeight_ = 0;
    qreal titleHeight_ = 0;
    qreal footerHeight_ = 0;
    qreal headingHeight_ = 0;
    std::vector<qreal> widths_;
    std::vector<qreal> heights_;
    std::vector<std::size_t> firstRows_; // of each page
};

SheetFile::Result savePdf(const Table& table, const QString& path, Progress* progress)
{
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return SheetFile::Result::failed(QStringLiteral("não há fontes para desenhar as páginas"));
    // QPdfWriter does not check its device's writes; this device does.
    CheckedFile file(path);
    if (!file.openForWriting())
        return SheetFile::Result::failed(ReplacingFile::reason(file.failure()));
    SheetFile::Result result;
    {
        QPdfWriter writer(&file);
        writer.setResolution(300);
        writer.setTitle(table.title);
        writer.setCreator(QCoreApplication::applicationName());
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                                         QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter));
        const TablePages pages(table, writer);
        QPainter painter(&writer);
        if (!painter.isActive())
            return SheetFile::Result::failed(ReplacingFile::reason(file.failure()));
        for (int page = 0; page < pages.pageCount(); ++page) {
            if (progress && !progress->advance(page, pages.pageCount())) {
                result = SheetFile::Result::cancelled();
                break;
            }
            if (page > 0)
                writer.newPage();
            pages.paint(painter, page);
        }
        painter.end();
    }
    if (!file.finish() && result.saved())
        return SheetFile::Result::failed(ReplacingFile::reason(file.failure()));
    return result;
}
} // namespace

SheetFile::Result TableFile::save(const Table& table, const QString& path, SheetFile::Format format,
                                  Progress* progress)
{
    return save(table, path, format, progress, SheetFile::Options{});
}

SheetFile::Result TableFile::save(const Table& table, const QString& path, SheetFile::Format format,
                                  Progress* progress, const SheetFile::Options& options)
{
    const QString kind = SheetFile::extension(format).toUpper();
    ReplacingFile file(path, kind);
    if (!file.create())
        return SheetFile::Result::failed(file.error());
    SheetFile::Result result;
    try {
        switch (format) {
        case SheetFile::Format::Xlsx: {
            const QString work = file.makeWorkFolder();
            if (work.isEmpty())
                return SheetFile::Result::failed(file.error());
            result = saveXlsx(table, file.writePath(), work, progress, options);
            break;
        }
        case SheetFile::Format::Csv:
            result = saveCsv(table, file.writePath(), progress);
            break;
        case SheetFile::Format::Pdf:
            result = savePdf(table, file.writePath(), progress);
            break;
        }
    } catch (const std::bad_alloc&) {
        result = SheetFile::Result::failed(ReplacingFile::reason(ENOMEM));
    }
    if (result.status == SheetFile::Result::Status::Failed)
        result.error = QStringLiteral("Não foi possível gravar o arquivo %1 \"%2\": %3.")
                           .arg(kind, QDir::toNativeSeparators(path), result.error);
    if (result.saved() && progress && !progress->finish())
        result = SheetFile::Result::cancelled();
    if (!result.saved())
        return result;
    if (!file.commit())
        return SheetFile::Result::failed(file.error());
    return result;
}
