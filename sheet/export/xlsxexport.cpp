#include "sheet/export/xlsxexport.h"

#include "sheet/cellstore.h"
#include "sheet/export/fastdeflate.h"
#include "sheet/export/xlsxcell.h"
#include "sheet/progress.h"
#include "sheet/resultsheet.h"
#include "sheet/sheetsummary.h"
#include "sheet/sheettemplate.h"
#include "sheet/showncolumns.h"
#include "system/pagemapping.h"
#include "system/quietstderr.h"
#include "system/replacingfile.h"
#include "system/systempath.h"

#include <QFile>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <utility>
#include <xlsxwriter.h>

namespace {
constexpr int kRowsPerReport = 4096;

// The uncompressed workbook can only be smaller than this: each cell's tags
// with its reference, each row's, and a worksheet's fixed parts, plus the
// text at its largest once escaped, counted twice for the summary's messages.
// A prepared cell is at most 32,767 characters of at most five bytes each
// (as "&amp;").
constexpr std::uint64_t kCellTagBytes = 80;
constexpr std::uint64_t kRowTagBytes = 64;
constexpr std::uint64_t kSheetBytes = 64 * 1024;
constexpr std::uint64_t kMaxCellTextBytes = 5 * XlsxCell::kMaxUnits;

// The most bytes one byte of a cell's text can become in the XML: a control
// character the seven of "_xHHHH_", "_" the seven of "_x005F_", "&" "&amp;",
// the 0xEF that leads U+FFFE or U+FFFF the five its escape adds to the two
// bytes after it, and any other byte past ASCII the three of U+FFFD, should it
// not be UTF-8. Tighter than seven for every byte, so that only a workbook
// that may really pass the limit gets ZIP64.
constexpr std::array<std::uint8_t, 256> kMostXmlBytes = [] {
    std::array<std::uint8_t, 256> most{};
    for (std::size_t b = 0; b < most.size(); ++b)
        most[b] = b < 0x20 ? 7 : b < 0x80 ? 1 : 3;
    most['\t'] = most['\n'] = 1;
    most['_'] = 7;
    most['&'] = 5;
    most['<'] = most['>'] = 4;
    most[0xEF] = 5;
    return most;
}();

std::uint64_t mostXmlBytes(std::string_view text)
{
    std::uint64_t bytes = 0;
    for (const char c : text)
        bytes += kMostXmlBytes[static_cast<unsigned char>(c)];
    return std::min(bytes, kMaxCellTextBytes);
}

// libxlsxwriter does not check every allocation it makes (a row's attributes,
// for one): out of memory it can crash instead of failing. So before it
// starts on a worksheet, every few thousand rows, and before it packs the
// zip, the memory it may need is asked for and given back at once; when that
// fails the save ends with "memória insuficiente" before the library can
// crash. Asked of the kernel, so that no allocator keeps it or skips it.
bool hasHeadroom()
{
    constexpr std::size_t kHeadroom = 8 << 20;
    char* room = PageMapping::map(kHeadroom);
    if (!room)
        return false;
    PageMapping::unmap(room, kHeadroom);
    return true;
}

QString libraryReason(lxw_error error)
{
    switch (error) {
    case LXW_ERROR_MEMORY_MALLOC_FAILED:
        return QStringLiteral("memória insuficiente");
    case LXW_ERROR_CREATING_XLSX_FILE:
    case LXW_ERROR_CREATING_TMPFILE:
    case LXW_ERROR_READING_TMPFILE:
    case LXW_ERROR_ZIP_FILE_OPERATION:
    case LXW_ERROR_ZIP_PARAMETER_ERROR:
    case LXW_ERROR_ZIP_BAD_ZIP_FILE:
    case LXW_ERROR_ZIP_INTERNAL_ERROR:
    case LXW_ERROR_ZIP_FILE_ADD:
    case LXW_ERROR_ZIP_CLOSE:
        return ReplacingFile::reason(errno);
    default:
        return QStringLiteral("erro %1 da biblioteca libxlsxwriter").arg(int(error));
    }
}

// The page setup of the sheet's printout, so that a workbook printed from a
// spreadsheet looks like the program's own printout: paper, margins, the
// sheet's name on top and the page number below, gridlines.
lxw_error applyPrintSettings(lxw_worksheet* ws)
{
    const SheetTemplate::PrintSettings settings = SheetTemplate::printSettings();
    worksheet_set_paper(ws, static_cast<uint8_t>(settings.paperSizeCode));
    if (settings.landscape)
        worksheet_set_landscape(ws);
    else
        worksheet_set_portrait(ws);
    worksheet_set_margins(ws, settings.leftMargin, settings.rightMargin, settings.topMargin,
                          settings.bottomMargin);
    if (settings.printGridlines)
        worksheet_gridlines(ws, LXW_SHOW_ALL_GRIDLINES);
    if (settings.centerHorizontally)
        worksheet_center_horizontally(ws);
    if (settings.centerVertically)
        worksheet_center_vertically(ws);
    // The template's codes are the spreadsheets' own: &A the sheet's name,
    // &P the page number. Centred, as the printout has them, said with &C:
    // some readers drop a header that names no section.
    const QString centred = QStringLiteral("&C");
    lxw_header_footer_options header{};
    header.margin = settings.headerMargin;
    lxw_header_footer_options footer{};
    footer.margin = settings.footerMargin;
    lxw_error error =
        worksheet_set_header_opt(ws, (centred + settings.header).toUtf8().constData(), &header);
    if (error == LXW_NO_ERROR)
        error =
            worksheet_set_footer_opt(ws, (centred + settings.footer).toUtf8().constData(), &footer);
    return error;
}

class Workbook
{
public:
    // The library opens both by their narrow names: a name that has none
    // which the system reads back as itself makes no workbook (see named()).
    Workbook(const QString& path, const QString& temporaryFolder, bool zip64)
        : path_(SystemPath::narrow(path)), folder_(SystemPath::narrow(temporaryFolder))
    {
        named_ = !path_.isEmpty() && (folder_.size() > 0 || temporaryFolder.isEmpty());
        if (!named_)
            return;
        lxw_workbook_options options{};
        options.constant_memory = LXW_TRUE;
        options.tmpdir = folder_.isEmpty() ? nullptr : folder_.data();
        options.use_zip64 = zip64 ? LXW_TRUE : LXW_FALSE;
        book_ = workbook_new_opt(path_.constData(), &options);
        if (book_) {
            bold_ = workbook_add_format(book_);
            format_set_bold(bold_);
        }
    }
    ~Workbook()
    {
        if (!book_)
            return;
        // Freed without being closed (the save was stopped or failed), the
        // library leaves each worksheet's temporary file open: on Windows
        // the file and its folder then stay on the disk until the program
        // ends, on Linux its space stays taken. The list and the member are
        // the library's own, as in DataSheets::write.
        lxw_worksheet* ws = nullptr;
        STAILQ_FOREACH(ws, book_->worksheets, list_pointers)
        {
            if (ws->optimize_tmpfile) {
                std::fclose(ws->optimize_tmpfile);
                ws->optimize_tmpfile = nullptr;
                ws->file = nullptr;
            }
        }
        lxw_workbook_free(book_);
    }
    Workbook(const Workbook&) = delete;
    Workbook& operator=(const Workbook&) = delete;

    lxw_workbook* book() const { return book_; }
    // False when the path or the folder has no narrow name for the library.
    bool named() const { return named_; }
    lxw_format* bold() const { return bold_; }

    lxw_error close()
    {
        lxw_workbook* book = std::exchange(book_, nullptr);
        errno = 0;
        // The parts are deflated into the zip here, all at once.
        const FastDeflate fast;
        return workbook_close(book);
    }

private:
    QByteArray path_;
    QByteArray folder_;
    bool named_ = false;
    lxw_workbook* book_ = nullptr;
    lxw_format* bold_ = nullptr;
};

// The progress told with stderr given back, where the command line draws its
// progress line.
class HeardProgress final : public Progress
{
public:
    HeardProgress(Progress* progress, QuietStderr& quiet) : progress_(progress), quiet_(quiet) {}
    bool advance(int done, int total) override
    {
        quiet_.pause();
        const bool goOn = progress_->advance(done, total);
        quiet_.resume();
        return goOn;
    }

private:
    Progress* progress_;
    QuietStderr& quiet_;
};

// Whether the file holds a zip from its first byte: a workbook, not the empty
// file a library that wrote elsewhere would leave.
bool startsAsZip(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.read(4) == QByteArray("PK\x03\x04", 4);
}

// Writes one worksheet's share of the rows; false when the user stopped. A
// failure is not a stop: it ends the worksheet with true and error() set.
class DataSheets
{
public:
    DataSheets(const ResultSheet& sheet, Workbook& book, Progress* progress)
        : sheet_(sheet), book_(book), columns_(ShownColumns::of(sheet)),
          frozen_(static_cast<std::size_t>(
              std::count_if(columns_.begin(), columns_.end(),
                            [&](int col) { return col <= sheet.FrozenColumnCount(); }))),
          progress_(progress)
    {
    }

    lxw_error error() const { return error_; }
    // The system's error number of a failed write to the library's
    // temporary file, 0 when there was none.
    int temporaryError() const { return temporaryError_; }

    // Shown rows first to last (1-based) into the worksheet `name`.
    bool write(const std::string& name, int first, int last)
    {
        if (!hasHeadroom())
            return endWith(LXW_ERROR_MEMORY_MALLOC_FAILED);
        lxw_worksheet* ws = workbook_add_worksheet(book_.book(), name.c_str());
        if (!ws)
            return endWith(LXW_ERROR_MEMORY_MALLOC_FAILED);
        const auto lastCol = static_cast<lxw_col_t>(std::max<std::size_t>(columns_.size(), 1) - 1);
        const auto lastRow = static_cast<lxw_row_t>(std::max(last - first + 1, 0));
        for (std::size_t i = 0; i < columns_.size(); ++i) {
            const double width = SheetTemplate::columnWidthUnits(columns_[i]) / 256.0;
            const auto col = static_cast<lxw_col_t>(i);
            check(worksheet_set_column(ws, col, col, width, nullptr));
        }
        // Frozen as the grid is, and printed as the program prints: every
        // page shows the headings and, while CPF, NIS and NOME are frozen,
        // those of them shown, so a page to the right still says whose
        // checks it holds.
        worksheet_freeze_panes(ws, 1, static_cast<lxw_col_t>(frozen_));
        check(applyPrintSettings(ws));
        check(worksheet_repeat_rows(ws, 0, 0));
        if (frozen_ > 0 && columns_.size() > frozen_)
            check(worksheet_repeat_columns(ws, 0, static_cast<lxw_col_t>(frozen_ - 1)));
        if (!columns_.empty()) {
            check(worksheet_autofilter(ws, 0, 0, lastRow, lastCol));
            // Digits written as text are meant as text here.
            char range[32];
            lxw_rowcol_to_range(range, 0, 0, lastRow, lastCol);
            check(worksheet_ignore_errors(ws, LXW_IGNORE_NUMBER_STORED_AS_TEXT, range));
        }
        for (std::size_t i = 0; i < columns_.size(); ++i)
            writeText(ws, 0, i, SheetTemplate::heading(columns_[i]).toStdString(), book_.bold());
        for (int row = first; row <= last && error_ == LXW_NO_ERROR; ++row) {
            if ((row - 1) % kRowsPerReport == 0) {
                if (progress_ && !progress_->advance(row - 1, sheet_.ShownRowCount()))
                    return false;
                if (!hasHeadroom())
                    return endWith(LXW_ERROR_MEMORY_MALLOC_FAILED);
            }
            const auto xlsxRow = static_cast<lxw_row_t>(row - first + 1);
            const int sheetRow = sheet_.ShownRow(row);
            for (std::size_t i = 0; i < columns_.size(); ++i)
                writeText(ws, xlsxRow, i, sheet_.CellUtf8(sheetRow, columns_[i]), nullptr);
        }
        // The rows wait in a temporary file whose write errors the library
        // does not check: a full disk would end in a workbook cut short and
        // reported as saved. So the last row is written out and the file
        // asked. Both are the library's internals, checked against
        // libxlsxwriter 1.1.4 (Debian 12): in constant-memory mode a row goes
        // to `optimize_tmpfile` when the next one starts, and this writes out
        // the last. Should either change, the full-disk save tests (the disk
        // full among the rows, and only at the last) no longer see a failure.
        lxw_worksheet_write_single_row(ws);
        errno = 0;
        if (ws->optimize_tmpfile &&
            (std::fflush(ws->optimize_tmpfile) != 0 || std::ferror(ws->optimize_tmpfile)))
            temporaryError_ = errno ? errno : EIO;
        return true;
    }

private:
    void writeText(lxw_worksheet* ws, lxw_row_t row, std::size_t col, std::string_view text,
                   lxw_format* format)
    {
        if (text.empty())
            return;
        XlsxCell::prepare(text, text_);
        check(worksheet_write_string(ws, row, static_cast<lxw_col_t>(col), text_.c_str(), format));
    }
    void check(lxw_error error)
    {
        if (error_ == LXW_NO_ERROR)
            error_ = error;
    }
    bool endWith(lxw_error error)
    {
        check(error);
        return true;
    }

    const ResultSheet& sheet_;
    Workbook& book_;
    std::vector<int> columns_;
    std::size_t frozen_; // the first of columns_, those of the sheet's frozen columns shown
    Progress* progress_;
    std::string text_;
    lxw_error error_ = LXW_NO_ERROR;
    int temporaryError_ = 0;
};

lxw_error writeSummary(lxw_workbook* book, lxw_format* bold, const SheetSummary::Totals& totals,
                       const std::vector<SheetSummary::Check>& checks,
                       const std::vector<SheetSummary::Check>& orientations,
                       const std::vector<SheetSummary::Filter>& filters)
{
    lxw_worksheet* ws = workbook_add_worksheet(book, "Resumo");
    if (!ws)
        return LXW_ERROR_MEMORY_MALLOC_FAILED;
    lxw_error error = applyPrintSettings(ws);
    auto check = [&error](lxw_error e) {
        if (error == LXW_NO_ERROR)
            error = e;
    };
    std::string prepared;
    auto text = [&](lxw_row_t row, lxw_col_t col, const QString& s, lxw_format* format) {
        XlsxCell::prepare(s.toStdString(), prepared);
        check(worksheet_write_string(ws, row, col, prepared.c_str(), format));
    };
    check(worksheet_set_column(ws, 0, 0, 24, nullptr));
    check(worksheet_set_column(ws, 1, 1, 60, nullptr));
    check(worksheet_set_column(ws, 2, 2, 14, nullptr));
    // The three columns fit the width of a portrait page.
    worksheet_set_print_scale(ws, 80);

    lxw_row_t row = 0;
    for (const auto& [label, workers] :
         {std::pair{QStringLiteral("Trabalhadores na planilha"), totals.workers},
          std::pair{QStringLiteral("Trabalhadores com alguma verificação diferente de OK"),
                    totals.withProblems},
          std::pair{QStringLiteral("Trabalhadores com orientação"), totals.withOrientation}}) {
        text(row, 0, label, bold);
        check(worksheet_write_number(ws, row, 2, workers, nullptr));
        ++row;
    }
    // The counts are of the rows shown: the filter that chose them is said,
    // so nobody takes them for the whole file's.
    for (const SheetSummary::Filter& filter : filters) {
        text(row, 0, QStringLiteral("Filtro: %1").arg(filter.heading), bold);
        text(row, 1, filter.texts.join(QStringLiteral(" ou ")), nullptr);
        ++row;
    }

    // Checks and their problem counts, which the chart shows.
    ++row;
    text(row, 0, QStringLiteral("Verificação"), bold);
    text(row, 1, QStringLiteral("Trabalhadores com problema"), bold);
    const lxw_row_t firstCheck = ++row;
    for (const SheetSummary::Check& c : checks) {
        text(row, 0, c.heading, nullptr);
        check(worksheet_write_number(ws, row, 1, c.problems, nullptr));
        ++row;
    }
    const lxw_row_t lastCheck = row - 1;
    // The orientations are not checks: their own heading, and no bar.
    if (!orientations.empty()) {
        text(row, 0, QStringLiteral("Orientação"), bold);
        text(row, 1, QStringLiteral("Trabalhadores com orientação"), bold);
        ++row;
    }
    for (const SheetSummary::Check& o : orientations) {
        text(row, 0, o.heading, nullptr);
        check(worksheet_write_number(ws, row, 1, o.problems, nullptr));
        ++row;
    }
    // Under them, each check's messages, then the orientations' instructions.
    ++row;
    text(row, 0, QStringLiteral("Verificação"), bold);
    text(row, 1, QStringLiteral("Mensagem"), bold);
    text(row, 2, QStringLiteral("Trabalhadores"), bold);
    ++row;
    auto messages = [&](const SheetSummary::Check& c) {
        for (const SheetSummary::Message& m : c.messages) {
            text(row, 0, c.heading, nullptr);
            text(row, 1, m.text, nullptr);
            check(worksheet_write_number(ws, row, 2, m.workers, nullptr));
            ++row;
        }
    };
    for (const SheetSummary::Check& c : checks)
        messages(c);
    for (const SheetSummary::Check& o : orientations)
        messages(o);

    if (!checks.empty()) {
        lxw_chart* chart = workbook_add_chart(book, LXW_CHART_BAR);
        if (!chart)
            return LXW_ERROR_MEMORY_MALLOC_FAILED;
        lxw_chart_series* series = chart_add_series(chart, nullptr, nullptr);
        chart_series_set_categories(series, "Resumo", firstCheck, 0, lastCheck, 0);
        chart_series_set_values(series, "Resumo", firstCheck, 1, lastCheck, 1);
        chart_title_set_name(chart, "Trabalhadores com problema por verificação");
        chart_legend_set_position(chart, LXW_CHART_LEGEND_NONE);
        // Checks read top to bottom in the sheet's order.
        chart_axis_set_reverse(chart->y_axis);
        // Under the tables, on a page of its own, as large as a page holds
        // at the sheet's scale.
        const lxw_row_t chartRow = row + 1;
        lxw_row_t breaks[] = {chartRow, 0};
        check(worksheet_set_h_pagebreaks(ws, breaks));
        lxw_chart_options placement{};
        placement.x_scale = 1.4;
        placement.y_scale = std::min(2.5, std::max(1.0, static_cast<double>(checks.size()) / 8));
        check(worksheet_insert_chart_opt(ws, chartRow, 0, chart, &placement));
    }
    return error;
}
} // namespace

std::uint64_t XlsxExport::xmlBytesBound(const ResultSheet& sheet, int rowsPerSheet,
                                        std::uint64_t enough)
{
    const std::vector<int> columns = ShownColumns::of(sheet);
    const int rows = sheet.ShownRowCount();
    const auto sheets = std::uint64_t(rows / std::max(rowsPerSheet, 1) + 2); // with "Resumo"
    std::uint64_t bound = sheets * kSheetBytes + std::uint64_t(rows + 1) * kRowTagBytes +
                          std::uint64_t(rows + 1) * columns.size() * kCellTagBytes;
    // Most cells hold one of the few interned texts ("OK", the messages):
    // each is measured once.
    const CellStore& cells = sheet.Cells();
    std::array<std::uint64_t, CellStore::kMaxInterned + 1> interned{};
    std::array<bool, CellStore::kMaxInterned + 1> measured{};
    for (int row = 1; row <= rows && bound <= enough; ++row) {
        for (const int col : columns) {
            const CellStore::Handle h = cells.handle(sheet.ShownRow(row) - 1, col - 1);
            if (!CellStore::isInterned(h)) {
                bound += 2 * mostXmlBytes(cells.utf8(h));
                continue;
            }
            if (!measured[h]) {
                interned[h] = mostXmlBytes(cells.utf8(h));
                measured[h] = true;
            }
            bound += 2 * interned[h];
        }
    }
    return bound;
}

SheetFile::Result XlsxExport::write(const ResultSheet& sheet, const QString& path,
                                    const QString& temporaryFolder,
                                    const SheetFile::Options& options, Progress* progress)
{
    const int rowsPerSheet = std::max(options.xlsxRowsPerSheet, 1);
    auto failure = [](lxw_error error) { return SheetFile::Result::failed(libraryReason(error)); };
    // Counted before any row is written: the constant-memory mode writes each
    // worksheet in one pass.
    const std::vector<SheetSummary::Check> summary = SheetSummary::of(sheet);
    const std::vector<SheetSummary::Check> orientations = SheetSummary::orientationsOf(sheet);
    const SheetSummary::Totals totals = SheetSummary::totalsOf(sheet);
    const std::vector<SheetSummary::Filter> filters = SheetSummary::filtersOf(sheet);

    // Without ZIP64 a part or the whole past 4 GiB makes a zip no reader
    // takes. It is asked for only when needed: files keep the form every
    // reader has always read.
    const bool zip64 =
        xmlBytesBound(sheet, rowsPerSheet, options.xlsxZip64Above) > options.xlsxZip64Above;
    // The library's own English lines say nothing the result does not.
    QuietStderr quiet;
    HeardProgress heard(progress, quiet);
    if (progress)
        progress = &heard;
    Workbook book(path, temporaryFolder, zip64);
    if (!book.named())
        return SheetFile::Result::failed(
            QStringLiteral("o nome da pasta ou do arquivo tem caracteres que o sistema não "
                           "consegue passar à biblioteca que grava o XLSX; use um nome sem eles, "
                           "ou salve em CSV ou PDF"));
    if (!book.book())
        return SheetFile::Result::failed(ReplacingFile::reason(errno));
    DataSheets data(sheet, book, progress);
    const int rows = sheet.ShownRowCount();
    int first = 1;
    for (int n = 1; first == 1 || first <= rows; ++n, first += rowsPerSheet) {
        const int last = std::min(rows, first + rowsPerSheet - 1);
        // Numbered on from the grid's own "Planilhas1".
        const std::string name = QStringLiteral("Planilhas%1").arg(n).toStdString();
        if (!data.write(name, first, last))
            return SheetFile::Result::cancelled();
        if (data.error() != LXW_NO_ERROR)
            return failure(data.error());
        if (data.temporaryError() != 0)
            return SheetFile::Result::failed(ReplacingFile::reason(data.temporaryError()));
    }
    if (!hasHeadroom())
        return failure(LXW_ERROR_MEMORY_MALLOC_FAILED);
    if (const lxw_error error =
            writeSummary(book.book(), book.bold(), totals, summary, orientations, filters))
        return failure(error);
    if (progress && !progress->advance(rows, rows))
        return SheetFile::Result::cancelled();
    if (!hasHeadroom())
        return failure(LXW_ERROR_MEMORY_MALLOC_FAILED);
    if (const lxw_error error = book.close())
        return failure(error);
    // Success is taken only from the file itself: a library that opened
    // another name (a look-alike of this one) would say it saved.
    if (!startsAsZip(path))
        return SheetFile::Result::failed(
            QStringLiteral("a biblioteca de planilhas não gravou a pasta de trabalho no arquivo "
                           "temporário"));
    return {};
}
