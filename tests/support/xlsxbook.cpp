#include "tests/support/xlsxbook.h"

#include "tests/support/hosttool.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {
QByteArray runReader(const QStringList& arguments, int* exitCode)
{
    // Debian's python, which python3-openpyxl installs for, whatever else
    // comes first on the PATH.
    const QString python = HostTool::program(QStringLiteral("python3"));
    if (python.isEmpty()) {
        *exitCode = -1;
        return {};
    }
    return HostTool::run(python, arguments, exitCode);
}
} // namespace

bool XlsxBook::available()
{
    int exitCode = 0;
    runReader({QStringLiteral("-c"), QStringLiteral("import openpyxl")}, &exitCode);
    return exitCode == 0;
}

XlsxBook XlsxBook::read(const QString& path)
{
    int exitCode = 0;
    const QByteArray json =
        runReader({QStringLiteral(VERINOVA_XLSX_READER), HostTool::path(path)}, &exitCode);
    XlsxBook book;
    if (exitCode != 0)
        return book;
    const QJsonObject root = QJsonDocument::fromJson(json).object();
    for (const QJsonValue& value : root[QStringLiteral("sheets")].toArray()) {
        const QJsonObject s = value.toObject();
        Sheet sheet;
        sheet.name = s[QStringLiteral("name")].toString();
        for (const QJsonValue& row : s[QStringLiteral("rows")].toArray()) {
            QStringList cells;
            for (const QJsonValue& cell : row.toArray())
                cells.append(cell.toVariant().toString());
            sheet.rows.push_back(cells);
        }
        for (const QJsonValue& type : s[QStringLiteral("types")].toArray())
            sheet.types.append(type.toString());
        sheet.boldHeading = s[QStringLiteral("boldHeading")].toBool();
        sheet.frozen = s[QStringLiteral("frozen")].toString();
        sheet.autofilter = s[QStringLiteral("autofilter")].toString();
        sheet.printSetup = s[QStringLiteral("printSetup")].toString();
        book.sheets.push_back(std::move(sheet));
    }
    for (const QJsonValue& chart : root[QStringLiteral("barCharts")].toArray()) {
        QStringList formulas;
        for (const QJsonValue& f : chart.toArray())
            formulas.append(f.toString());
        book.barCharts.push_back(formulas);
    }
    return book;
}
