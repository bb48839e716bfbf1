#include "processing/overviewtable.h"

#include "processing/returncounts.h"
#include "sheet/sheettemplate.h"

Table OverviewTable::of(const std::vector<FolderOverview::Entry>& entries)
{
    Table table;
    table.sheetName = QStringLiteral("Visão geral");
    table.headings = {QStringLiteral("CNPJ"),         QStringLiteral("Data do retorno"),
                      QStringLiteral("Arquivo"),      QStringLiteral("Trabalhadores"),
                      QStringLiteral("Com problema"), QStringLiteral("Com orientação")};
    for (int col = ReturnCounts::kFirstColumn; col <= ReturnCounts::kLastColumn; ++col)
        table.headings.append(SheetTemplate::heading(col));
    table.headings.append(QStringLiteral("Observação"));

    int notReturns = 0;
    table.rows.reserve(entries.size());
    for (const FolderOverview::Entry& entry : entries) {
        std::vector<Table::Cell> row{entry.name.formattedCnpj(), entry.name.formattedDateTime(),
                                     entry.fileName};
        const ReturnCounts& counts = entry.counts;
        // A file with no worker is a failed download, not a company without
        // problems: its counts are left empty like those of a file not read.
        if (counts.counted() && !counts.outcome().noWorkers) {
            row.insert(row.end(),
                       {std::int64_t{counts.workers()}, std::int64_t{counts.withProblems()},
                        std::int64_t{counts.withOrientation()}});
            for (int col = ReturnCounts::kFirstColumn; col <= ReturnCounts::kLastColumn; ++col)
                row.emplace_back(std::int64_t{counts.notOk(col)});
            row.emplace_back(counts.warning());
        } else {
            // Empty, not 0: a file never read has no workers to count.
            row.resize(table.headings.size() - 1, QString());
            row.emplace_back(counts.counted() ? counts.warning() : counts.reason());
            ++notReturns;
        }
        table.rows.push_back(std::move(row));
    }
    table.title = entries.size() == 1
                      ? QStringLiteral("Visão geral de 1 arquivo")
                      : QStringLiteral("Visão geral de %1 arquivos").arg(entries.size());
    if (notReturns == 1)
        table.title += QStringLiteral(", 1 que não é arquivo de retorno");
    else if (notReturns > 1)
        table.title += QStringLiteral(", %1 que não são arquivos de retorno").arg(notReturns);
    return table;
}
