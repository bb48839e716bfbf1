#include "sheet/export/csvexport.h"

#include "sheet/progress.h"
#include "sheet/resultsheet.h"
#include "sheet/sheettemplate.h"
#include "sheet/showncolumns.h"
#include "system/replacingfile.h"
#include "text/quotedfield.h"

#include <QIODevice>

#include <cerrno>

namespace {
// Output leaves in pieces of this size; the rows are asked for progress as often.
constexpr std::size_t kChunk = 1 << 20;
constexpr int kRowsPerReport = 4096;

bool flush(QIODevice& out, std::string& pending)
{
    const auto size = static_cast<qint64>(pending.size());
    const bool written = out.write(pending.data(), size) == size;
    pending.clear();
    return written;
}
} // namespace

void CsvExport::appendField(std::string& out, std::string_view field)
{
    // The starts OWASP's CSV-injection guidance lists: a spreadsheet may drop
    // a leading tab or CR and then read the rest as a formula. One character
    // alone (the dash an overview writes for no date) carries none.
    const bool formula = field.size() > 1 &&
                         std::string_view("=+-@\t\r").find(field.front()) != std::string_view::npos;
    QuotedField::append(out, field, ";\"\r\n", formula ? "'" : "");
}

SheetFile::Result CsvExport::write(const ResultSheet& sheet, QIODevice& out, Progress* progress)
{
    const std::vector<int> columns = ShownColumns::of(sheet);
    std::string pending = "\xEF\xBB\xBF";
    pending.reserve(kChunk + 64 * 1024);
    auto endRow = [&] {
        pending.append("\r\n");
        return pending.size() < kChunk || flush(out, pending);
    };

    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (i > 0)
            pending.push_back(';');
        appendField(pending, SheetTemplate::heading(columns[i]).toStdString());
    }
    bool written = endRow();
    const int rows = sheet.ShownRowCount();
    for (int row = 1; row <= rows && written; ++row) {
        if (progress && row % kRowsPerReport == 1 && !progress->advance(row - 1, rows))
            return SheetFile::Result::cancelled();
        for (std::size_t i = 0; i < columns.size(); ++i) {
            if (i > 0)
                pending.push_back(';');
            appendField(pending, sheet.CellUtf8(sheet.ShownRow(row), columns[i]));
        }
        written = endRow();
    }
    if (!written || !flush(out, pending))
        return SheetFile::Result::failed(ReplacingFile::reason(errno));
    return {};
}
