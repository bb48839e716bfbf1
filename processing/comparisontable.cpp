#include "processing/comparisontable.h"

#include "sheet/resultsheet.h"
#include "sheet/returnfields.h"
#include "sheet/sheettemplate.h"

#include <numeric>

namespace {
using Side = ReturnComparison::Side;

// The worker's problems on one side, one per line.
QString problemsText(const ReturnComparison& comparison, Side side, int row)
{
    if (row == 0)
        return {};
    QStringList lines;
    for (const ReturnComparison::Problem& problem : comparison.problems(side, row))
        lines.append(problem.heading + QStringLiteral(": ") + problem.text);
    return lines.isEmpty() ? QStringLiteral("OK") : lines.join(u'\n');
}

QString candidatesText(const ReturnComparison& comparison, const ReturnComparison::Entry& entry)
{
    const Side other = entry.side() == Side::Current ? Side::Earlier : Side::Current;
    const ResultSheet& sheet = comparison.sheet(other);
    QStringList lines{QStringLiteral("Pode ser:")};
    for (const int row : comparison.candidates(entry))
        lines.append(QStringLiteral("CPF %1, NIS %2, %3, %4")
                         .arg(sheet.CellText(row, ReturnFields::kCpfColumn),
                              sheet.CellText(row, ReturnFields::kNisColumn),
                              sheet.CellText(row, ReturnFields::kNomeColumn),
                              sheet.CellText(row, ReturnFields::kDnColumn)));
    return lines.join(u'\n');
}
} // namespace

QStringList ComparisonTable::headings()
{
    return {QStringLiteral("Situação"), QStringLiteral("CPF"), QStringLiteral("NIS"),
            QStringLiteral("NOME"),     QStringLiteral("DN"),  QStringLiteral("Antes"),
            QStringLiteral("Agora")};
}

QStringList ComparisonTable::row(const ReturnComparison& comparison,
                                 const ReturnComparison::Entry& entry)
{
    const Side side = entry.side();
    const int row = entry.row();
    const ResultSheet& sheet = comparison.sheet(side);
    QString before = problemsText(comparison, Side::Earlier, entry.earlierRow);
    QString now = problemsText(comparison, Side::Current, entry.currentRow);
    if (entry.situation == ReturnComparison::Situation::Ambiguous)
        (side == Side::Current ? before : now) = candidatesText(comparison, entry);
    return {ReturnComparison::situationText(entry.situation),
            sheet.CellText(row, ReturnFields::kCpfColumn),
            sheet.CellText(row, ReturnFields::kNisColumn),
            sheet.CellText(row, ReturnFields::kNomeColumn),
            sheet.CellText(row, ReturnFields::kDnColumn),
            before,
            now};
}

Table ComparisonTable::of(const ReturnComparison& comparison, const QString& earlierName,
                          const QString& currentName)
{
    std::vector<int> all(comparison.entries().size());
    std::iota(all.begin(), all.end(), 0);
    return of(comparison, earlierName, currentName, all, std::nullopt);
}

Table ComparisonTable::of(const ReturnComparison& comparison, const QString& earlierName,
                          const QString& currentName, const std::vector<int>& listed,
                          std::optional<ReturnComparison::Situation> only)
{
    Table table;
    table.sheetName = QStringLiteral("Comparação");
    table.headings = headings();
    table.rows.reserve(listed.size());
    for (const int index : listed) {
        const QStringList texts =
            row(comparison, comparison.entries().at(static_cast<std::size_t>(index)));
        table.rows.emplace_back(texts.begin(), texts.end());
    }
    QStringList counts;
    for (int i = 0; i < ReturnComparison::kSituationCount; ++i) {
        const auto situation = static_cast<ReturnComparison::Situation>(i);
        counts.append(QStringLiteral("%1: %2")
                          .arg(ReturnComparison::situationText(situation))
                          .arg(SheetTemplate::locale().toString(comparison.count(situation))));
    }
    table.title = QStringLiteral("%1 comparado com %2 — %3")
                      .arg(currentName, earlierName, counts.join(QStringLiteral("; ")));
    if (only)
        table.title +=
            QStringLiteral(" — listados: %1").arg(ReturnComparison::situationText(*only));
    return table;
}
