#include "sheet/export/sheetfile.h"

#include "sheet/export/checkedfile.h"
#include "sheet/export/csvexport.h"
#include "sheet/export/xlsxexport.h"
#include "sheet/print/sheetprinter.h"
#include "sheet/progress.h"
#include "sheet/resultsheet.h"
#include "sheet/sheettemplate.h"
#include "system/replacingfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPdfWriter>

#include <algorithm>
#include <cerrno>
#include <new>

namespace {
SheetFile::Result saveCsv(const ResultSheet& sheet, const QString& path, Progress* progress)
{
    QFile file(path);
    // The export hands over large pieces; Qt's buffer would only copy them.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        return SheetFile::Result::failed(ReplacingFile::reason(errno));
    SheetFile::Result result = CsvExport::write(sheet, file, progress);
    errno = 0;
    file.close();
    if (result.saved() && file.error() != QFileDevice::NoError)
        result = SheetFile::Result::failed(ReplacingFile::reason(errno));
    return result;
}

SheetFile::Result savePdf(const ResultSheet& sheet, const QString& path, Progress* progress)
{
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return SheetFile::Result::failed(QStringLiteral("não há fontes para desenhar as páginas"));
    // The printer's PDF writes its file unchecked: a page cut short by a
    // full disk would pass for a whole printout. The same pages go through
    // a writer on a device whose every write is checked.
    CheckedFile file(path);
    if (!file.openForWriting())
        return SheetFile::Result::failed(ReplacingFile::reason(file.failure()));
    SheetPrinter::Result printed;
    {
        QPdfWriter writer(&file);
        // The printer's high resolution, at which the grid's printout is
        // measured.
        writer.setResolution(1200);
        writer.setPageLayout(SheetPrinter::pageLayout());
        writer.setTitle(SheetTemplate::sheetName());
        writer.setCreator(QStringLiteral("Verinova Cadastral"));
        // The printer button prints the whole sheet; so does this, without
        // touching the selection or the print range.
        const CellRange whole{1, 1, sheet.ShownRowCount(), sheet.ColCount()};
        printed = SheetPrinter(sheet, whole).print(writer, {}, {}, progress);
    }
    const bool written = file.finish();
    if (!printed.printed && printed.error.isEmpty())
        return SheetFile::Result::cancelled();
    if (!written)
        return SheetFile::Result::failed(ReplacingFile::reason(file.failure()));
    if (!printed.printed)
        return SheetFile::Result::failed(printed.error);
    return {};
}
} // namespace

QString SheetFile::resultName(const QString& returnFile, Format format)
{
    QString name = QFileInfo(returnFile).fileName();
    bool cut = false;
    for (const QLatin1StringView suffix :
         {QLatin1StringView(".PROCESSADO"), QLatin1StringView(".TXT")}) {
        if (name.size() > suffix.size() && name.endsWith(suffix, Qt::CaseInsensitive)) {
            name.chop(suffix.size());
            cut = true;
        }
    }
    if (!cut) {
        // "retorno.csv" gives "retorno.xlsx", not "retorno.csv.xlsx".
        if (const qsizetype dot = name.lastIndexOf(u'.'); dot > 0)
            name.truncate(dot);
    }
    return name + QLatin1Char('.') + extension(format);
}

std::optional<SheetFile::Format> SheetFile::formatOf(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    for (const Format format : {Format::Xlsx, Format::Csv, Format::Pdf}) {
        if (suffix == extension(format))
            return format;
    }
    return std::nullopt;
}

QString SheetFile::extension(Format format)
{
    switch (format) {
    case Format::Xlsx:
        return QStringLiteral("xlsx");
    case Format::Csv:
        return QStringLiteral("csv");
    case Format::Pdf:
        return QStringLiteral("pdf");
    }
    return {};
}

namespace {
constexpr SheetFile::Format kSaveFormats[] = {SheetFile::Format::Xlsx, SheetFile::Format::Csv,
                                              SheetFile::Format::Pdf};
} // namespace

QStringList SheetFile::filters()
{
    QStringList filters;
    for (const Format format : kSaveFormats)
        filters.append(filter(format));
    return filters;
}

QString SheetFile::progressLabel(Format format)
{
    return format == Format::Pdf ? QStringLiteral("Salvando página %1 de %2")
                                 : QStringLiteral("Salvando linha %1 de %2");
}

SheetFile::Format SheetFile::chosenFormat(const QString& path, const QString& chosenFilter)
{
    return formatOf(path).value_or(
        kSaveFormats[std::max<qsizetype>(filters().indexOf(chosenFilter), 0)]);
}

QString SheetFile::filter(Format format)
{
    switch (format) {
    case Format::Xlsx:
        return QStringLiteral("Pasta de trabalho do Excel (*.xlsx)");
    case Format::Csv:
        return QStringLiteral("CSV separado por ponto e vírgula (*.csv)");
    case Format::Pdf:
        return QStringLiteral("PDF (*.pdf)");
    }
    return {};
}

SheetFile::Result SheetFile::save(const ResultSheet& sheet, const QString& path, Format format,
                                  Progress* progress)
{
    return save(sheet, path, format, progress, Options());
}

SheetFile::Result SheetFile::save(const ResultSheet& sheet, const QString& path, Format format,
                                  Progress* progress, const Options& options)
{
    const QString kind = extension(format).toUpper();
    ReplacingFile file(path, kind);
    if (!file.create())
        return Result::failed(file.error());

    Result result;
    try {
        switch (format) {
        case Format::Xlsx: {
            // The library's working files stay in a folder of their own, which
            // goes with the temporary file whatever ends the save.
            const QString work = file.makeWorkFolder();
            if (work.isEmpty())
                return Result::failed(file.error());
            result = XlsxExport::write(sheet, file.writePath(), work, options, progress);
            break;
        }
        case Format::Csv:
            result = saveCsv(sheet, file.writePath(), progress);
            break;
        case Format::Pdf:
            result = savePdf(sheet, file.writePath(), progress);
            break;
        }
    } catch (const std::bad_alloc&) {
        // The writers unwind (the workbook frees itself, the files close)
        // and the temporary file goes with `file`.
        result = Result::failed(ReplacingFile::reason(ENOMEM));
    }
    if (result.status == Result::Status::Failed) {
        // The printout's reasons are sentences of their own.
        if (result.error.endsWith(u'.'))
            result.error.chop(1);
        result.error = QStringLiteral("Não foi possível gravar o arquivo %1 \"%2\": %3.")
                           .arg(kind, QDir::toNativeSeparators(path), result.error);
    }
    // A click on Cancelar while the last of the file was written still
    // counts: the user sees the save running until it has ended.
    if (result.saved() && progress && !progress->finish())
        result = Result::cancelled();
    if (!result.saved())
        return result; // the temporary file goes with `file`
    if (!file.commit())
        return Result::failed(file.error());
    return result;
}
