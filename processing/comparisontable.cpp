#include "processing/comparisontable.h"

#include "sheet/resultsheet.h"
#include "sheet/returnfields.h"

#include <algorithm>
#include <numeric>
#include <utility>

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

// A CPF as the clerk writes it, where it has a CPF's eleven digits.
QString shownCpf(const QString& cpf)
{
    if (cpf.size() != 11 ||
        !std::all_of(cpf.begin(), cpf.end(), [](QChar c) { return c.isDigit(); }))
        return cpf;
    return QStringLiteral("%1.%2.%3-%4")
        .arg(cpf.sliced(0, 3), cpf.sliced(3, 3), cpf.sliced(6, 3), cpf.sliced(9, 2));
}

// What identifies the worker and differs between the two files, one per
// line: a corrected CPF is how a worker was found by the NIS or the name.
QString changesText(const ReturnComparison& comparison, const ReturnComparison::Entry& entry)
{
    if (entry.earlierRow == 0 || entry.currentRow == 0)
        return {};
    const ResultSheet& earlier = comparison.sheet(Side::Earlier);
    const ResultSheet& current = comparison.sheet(Side::Current);
    QStringList lines;
    for (const auto& [field, what] :
         {std::pair{ReturnFields::kCpfColumn, QStringLiteral("CPF corrigido")},
          std::pair{ReturnFields::kNisColumn, QStringLiteral("NIS corrigido")},
          std::pair{ReturnFields::kNomeColumn, QStringLiteral("NOME corrigido")},
          std::pair{ReturnFields::kDnColumn, QStringLiteral("DN corrigida")}}) {
        const int column = field;
        if (earlier.CellUtf8(entry.earlierRow, column) ==
            current.CellUtf8(entry.currentRow, column))
            continue;
        const auto shown = [&](const ResultSheet& sheet, int row) {
            const QString text = sheet.CellText(row, column);
            if (text.isEmpty())
                return QStringLiteral("(vazio)");
            return column == ReturnFields::kCpfColumn ? shownCpf(text) : text;
        };
        lines.append(
            QStringLiteral("%1: %2 → %3")
                .arg(what, shown(earlier, entry.earlierRow), shown(current, entry.currentRow)));
    }
    return lines.join(u'\n');
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
    return {QStringLiteral("Situação"), QStringLiteral("CPF"),      QStringLiteral("NIS"),
            QStringLiteral("NOME"),     QStringLiteral("DN"),       QStringLiteral("Antes"),
            QStringLiteral("Agora"),    QStringLiteral("Correções")};
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
            now,
            changesText(comparison, entry)};
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
    for (int i = 0; i < ReturnComparison::kSituationCount; ++i) {
        const auto situation = static_cast<ReturnComparison::Situation>(i);
        table.counts.emplace_back(ReturnComparison::situationText(situation),
                                  comparison.count(situation));
    }
    table.title = QStringLiteral("%1 comparado com %2").arg(currentName, earlierName);
    if (only)
        table.title +=
            QStringLiteral(" — listados: %1").arg(ReturnComparison::situationText(*only));
    return table;
}
