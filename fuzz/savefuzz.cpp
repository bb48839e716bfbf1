// Builds a sheet from the fuzz input, saves it as XLSX and as CSV, and reads
// both back: every shown cell must come back as the sheet's text, through
// the escapes the README documents (OOXML "_xHHHH_" in the workbook, the
// formula guard and RFC 4180 quotes in the CSV), the workbook's XML must be
// well formed, and the rows go on in the next worksheet in order.
#include "fuzz/zipreader.h"
#include "sheet/export/sheetfile.h"
#include "sheet/resultsheet.h"
#include "sheet/sheettemplate.h"
#include "sheet/showncolumns.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fuzzer/FuzzedDataProvider.h>
#include <map>
#include <vector>

namespace {
constexpr int kMaxUnits = 32'767;

[[noreturn]] void fail(const char* why)
{
    std::fprintf(stderr, "savefuzz: %s\n", why);
    std::abort();
}

void check(bool holds, const char* why)
{
    if (!holds)
        fail(why);
}

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

int hexValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    return -1;
}

// What a spreadsheet reads in an OOXML string: each "_xHHHH_" is the
// character it names.
QString unescaped(const QString& text)
{
    QString out;
    for (qsizetype i = 0; i < text.size();) {
        if (i + 7 <= text.size() && text[i] == u'_' &&
            (text[i + 1] == u'x' || text[i + 1] == u'X') && text[i + 6] == u'_') {
            int value = 0;
            bool hex = true;
            for (int k = 2; k < 6; ++k) {
                const int v = hexValue(text[i + k]);
                hex &= v >= 0;
                value = value * 16 + v;
            }
            if (hex) {
                out.append(QChar(char16_t(value)));
                i += 7;
                continue;
            }
        }
        out.append(text[i++]);
    }
    return out;
}

bool isXmlSpace(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

struct Cell
{
    QString text;
    bool preserved = false;
};

// A worksheet's inline strings by row and column, 0-based; false when its XML
// is not well formed. `onlyText` tells whether every cell was an inline string.
bool readSheet(const QByteArray& xml, std::map<std::pair<int, int>, Cell>& cells, bool& onlyText)
{
    onlyText = true;
    QXmlStreamReader reader(xml);
    int row = -1;
    int col = -1;
    while (!reader.atEnd()) {
        reader.readNext();
        if (!reader.isStartElement())
            continue;
        if (reader.name() == u"row") {
            row = reader.attributes().value(QLatin1StringView("r")).toInt() - 1;
        } else if (reader.name() == u"c") {
            onlyText &= reader.attributes().value(QLatin1StringView("t")) == u"inlineStr";
            const QStringView ref = reader.attributes().value(QLatin1StringView("r"));
            col = 0;
            qsizetype i = 0;
            for (; i < ref.size() && ref[i].isUpper(); ++i)
                col = col * 26 + (ref[i].unicode() - 'A' + 1);
            --col;
            if (ref.mid(i).toInt() - 1 != row)
                onlyText = false; // a cell outside its row: no cell to compare
        } else if (reader.name() == u"t") {
            Cell cell;
            cell.preserved =
                reader.attributes().value(QLatin1StringView("xml:space")) == u"preserve";
            cell.text = reader.readElementText();
            cells[{row, col}] = cell;
        }
    }
    return !reader.hasError();
}

// The cell as it was written: the sheet's text, cut only near a limit (the
// cell's 32,767 UTF-16 units or the library's 32,767 characters, escapes
// counted), never inside a surrogate pair.
void checkCell(const QString& text, const Cell* written)
{
    if (text.isEmpty()) {
        check(!written, "an empty cell was written");
        return;
    }
    check(written, "a cell is missing");
    const QString read = unescaped(written->text);
    if (read != text) {
        check(text.startsWith(read), "a cell came back different");
        const qsizetype characters = written->text.toUcs4().size();
        check(read.size() > kMaxUnits - 2 || characters > kMaxUnits - 7, "a cell was cut early");
        check(!read.isEmpty() || characters > 0, "a cell was cut to nothing");
    }
    check(read.size() <= kMaxUnits, "a cell is past its limit");
    check(read.isEmpty() || !read.back().isHighSurrogate(), "a pair was cut");
    const QString& raw = written->text;
    check(raw.isEmpty() || written->preserved ||
              (!isXmlSpace(raw.front()) && !isXmlSpace(raw.back())),
          "edge whitespace without xml:space=\"preserve\"");
}

// RFC 4180 records, ";" between fields, CRLF after each record.
std::vector<std::vector<QByteArray>> parseCsv(const QByteArray& csv)
{
    std::vector<std::vector<QByteArray>> records;
    std::vector<QByteArray> record;
    QByteArray field;
    qsizetype i = 0;
    while (i < csv.size()) {
        if (csv[i] == '"') {
            for (++i;; ++i) {
                check(i < csv.size(), "CSV: a quoted field does not end");
                if (csv[i] == '"') {
                    if (i + 1 < csv.size() && csv[i + 1] == '"') {
                        field.append('"');
                        ++i;
                        continue;
                    }
                    ++i;
                    break;
                }
                field.append(csv[i]);
            }
            check(i < csv.size() && (csv[i] == ';' || csv[i] == '\r'),
                  "CSV: text after a closing quote");
        }
        if (csv[i] == ';') {
            record.push_back(std::exchange(field, {}));
            ++i;
        } else if (csv[i] == '\r') {
            check(i + 1 < csv.size() && csv[i + 1] == '\n', "CSV: CR without LF ends no record");
            record.push_back(std::exchange(field, {}));
            records.push_back(std::exchange(record, {}));
            i += 2;
        } else {
            check(csv[i] != '"' && csv[i] != '\n', "CSV: an unquoted quote or line end");
            field.append(csv[i++]);
        }
    }
    check(field.isEmpty() && record.empty(), "CSV: the last record has no CRLF");
    return records;
}

QByteArray csvField(const QString& text)
{
    QByteArray utf8 = text.toUtf8();
    if (!utf8.isEmpty() && QByteArray("=+-@\t\r").contains(utf8.front()))
        utf8.prepend('\'');
    return utf8;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static QTemporaryDir folder;
    FuzzedDataProvider input(data, size);
    ResultSheet sheet;
    const int rows = input.ConsumeIntegralInRange(0, 6);
    const int columns = input.ConsumeIntegralInRange(1, 24);
    const std::uint32_t hidden = input.ConsumeIntegral<std::uint32_t>();
    SheetFile::Options options;
    options.xlsxRowsPerSheet = input.ConsumeIntegralInRange(1, 4);
    for (int row = 1; row <= rows; ++row) {
        for (int col = 1; col <= columns; ++col) {
            // Mostly short cells; now and then one as long as the input allows.
            const std::size_t most = input.ConsumeBool() ? 40 : 70'000;
            const std::string bytes = input.ConsumeRandomLengthString(most);
            sheet.SetCellText(row, col, QString::fromUtf8(bytes.data(), qsizetype(bytes.size())));
        }
    }
    sheet.SetRowCount(rows);
    for (int col = 1; col <= sheet.ColCount() && col <= 32; ++col) {
        if (hidden >> (col - 1) & 1)
            sheet.SetColumnsHidden(col, col, true);
    }
    const std::vector<int> shown = ShownColumns::of(sheet);

    // The rows as the files hold them: the heading row, then the sheet's.
    auto expected = [&](int row, int col) {
        return row == 0 ? SheetTemplate::heading(col) : sheet.CellText(row, col);
    };

    const QString xlsx = QDir(folder.path()).filePath(QStringLiteral("f.xlsx"));
    check(SheetFile::save(sheet, xlsx, SheetFile::Format::Xlsx, nullptr, options).saved(),
          "the workbook was not saved");
    const QByteArray zip = contents(xlsx);
    const int perSheet = options.xlsxRowsPerSheet;
    const int worksheets = rows == 0 ? 1 : (rows + perSheet - 1) / perSheet;
    for (int n = 0; n <= worksheets; ++n) { // the last is "Resumo"
        const QByteArray name = "xl/worksheets/sheet" + QByteArray::number(n + 1) + ".xml";
        const std::optional<QByteArray> xml = ZipReader::part(zip, name);
        check(xml.has_value(), "a worksheet is missing or its part is damaged");
        std::map<std::pair<int, int>, Cell> cells;
        bool onlyText = true;
        check(readSheet(*xml, cells, onlyText), "a worksheet's XML is not well formed");
        if (n == worksheets)
            continue; // "Resumo" holds numbers too
        check(onlyText, "a data cell is not an inline string in its row");
        const int first = n * perSheet + 1;
        const int last = std::min(rows, first + perSheet - 1);
        std::size_t seen = 0;
        for (int row = first - 1; row <= last; ++row) {
            const int xlsxRow = row == first - 1 ? 0 : row - first + 1;
            for (std::size_t i = 0; i < shown.size(); ++i) {
                const auto found = cells.find({xlsxRow, int(i)});
                seen += found != cells.end();
                checkCell(expected(row == first - 1 ? 0 : row, shown[i]),
                          found != cells.end() ? &found->second : nullptr);
            }
        }
        check(seen == cells.size(), "a worksheet holds cells the sheet does not");
    }
    check(
        !ZipReader::part(zip, "xl/worksheets/sheet" + QByteArray::number(worksheets + 2) + ".xml"),
        "a worksheet too many");

    const QString csv = QDir(folder.path()).filePath(QStringLiteral("f.csv"));
    check(SheetFile::save(sheet, csv, SheetFile::Format::Csv).saved(), "the CSV was not saved");
    QByteArray text = contents(csv);
    check(text.startsWith("\xEF\xBB\xBF"), "CSV: no byte order mark");
    const auto records = parseCsv(text.mid(3));
    check(records.size() == std::size_t(rows) + 1, "CSV: not a record per row");
    for (int row = 0; row <= rows; ++row) {
        const auto& record = records[std::size_t(row)];
        check(record.size() == std::max<std::size_t>(shown.size(), 1),
              "CSV: not a field per column");
        for (std::size_t i = 0; i < shown.size(); ++i)
            check(record[i] == csvField(expected(row, shown[i])),
                  "CSV: a field came back different");
    }
    return 0;
}
