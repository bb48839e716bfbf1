#include "processing/returncomparison.h"

#include "processing/returncodes.h"
#include "processing/returnfilejob.h"
#include "sheet/resultsheet.h"
#include "sheet/returnfields.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <functional>
#include <new>
#include <string_view>

namespace {
// The keys a worker is matched by, in the order they are tried.
enum Level
{
    ByCpf,
    ByNis,
    ByNomeAndDn,
    kLevels
};

// The rows ambiguity names are for a clerk to look at, not a census: a
// placeholder NOME and DN shared by thousands names a few of them.
constexpr std::size_t kMostCandidates = 20;

struct Key
{
    std::string_view first;
    std::string_view second;

    bool empty() const { return first.empty(); }
    friend bool operator==(const Key&, const Key&) = default;
};

Key keyOf(const ResultSheet& sheet, Level level, int row)
{
    switch (level) {
    case ByCpf:
        return {sheet.CellUtf8(row, ReturnFields::kCpfColumn), {}};
    case ByNis:
        return {sheet.CellUtf8(row, ReturnFields::kNisColumn), {}};
    case ByNomeAndDn:
    case kLevels:
        break;
    }
    // A name without its date of birth, or the reverse, tells no one apart.
    const std::string_view nome = sheet.CellUtf8(row, ReturnFields::kNomeColumn);
    const std::string_view dn = sheet.CellUtf8(row, ReturnFields::kDnColumn);
    if (nome.empty() || dn.empty())
        return {};
    return {nome, dn};
}

std::size_t hashOf(const Key& key)
{
    const std::hash<std::string_view> hash;
    return hash(key.first) * 31 + hash(key.second);
}

// Some rows of one sheet by one key: an open-addressed table of each key's
// first row with a few bits of its hash, and each row's next with the same
// key. The texts stay in the sheet; the bits spare a look at them for most
// slots that hold another key, which is where the time goes on big files.
class KeyIndex
{
public:
    // `rows` in the sheet's order.
    KeyIndex(const ResultSheet& sheet, Level level, const std::vector<int>& rows)
        : sheet_(sheet), level_(level)
    {
        const auto sheetRows = static_cast<std::size_t>(sheet.RowCount()) + 1;
        slots_.assign(std::bit_ceil(rows.size() * 2 + 2), Slot{});
        next_.assign(sheetRows, kNone);
        last_.assign(sheetRows, kNone);
        unique_.assign(sheetRows, false);
        for (const int row : rows) {
            const Key key = keyOf(sheet, level, row);
            if (key.empty())
                continue;
            const std::size_t hash = hashOf(key);
            Slot& slot = slots_[find(key, hash)];
            if (slot.row == kNone) {
                slot = {row, tagOf(hash)};
                last_[static_cast<std::size_t>(row)] = row;
                unique_[static_cast<std::size_t>(row)] = true;
                continue;
            }
            // Rows arrive in order: the new one ends its key's chain.
            const auto first = static_cast<std::size_t>(slot.row);
            next_[static_cast<std::size_t>(last_[first])] = row;
            last_[first] = row;
            unique_[first] = false;
        }
        last_ = {};
    }

    // A row left out that has a key of the rows taken: theirs is not
    // unique in the sheet.
    void seeAlso(int row)
    {
        const Key key = keyOf(sheet_, level_, row);
        if (key.empty())
            return;
        if (const std::int32_t first = slots_[find(key, hashOf(key))].row; first != kNone)
            unique_[static_cast<std::size_t>(first)] = false;
    }

    // The first row with `key`, 0 when none.
    int first(const Key& key) const
    {
        const std::int32_t row = slots_[find(key, hashOf(key))].row;
        return row == kNone ? 0 : row;
    }
    // The next row with the same key, 0 after the last.
    int next(int row) const
    {
        const std::int32_t after = next_[static_cast<std::size_t>(row)];
        return after == kNone ? 0 : after;
    }
    // Whether the row's key is there and no other row of the sheet has it.
    bool identifies(int row) const { return unique_[static_cast<std::size_t>(row)]; }

private:
    static constexpr std::int32_t kNone = 0;
    struct Slot
    {
        std::int32_t row = kNone;
        std::uint32_t tag = 0;
    };
    static std::uint32_t tagOf(std::size_t hash) { return static_cast<std::uint32_t>(hash >> 32); }

    std::size_t find(const Key& key, std::size_t hash) const
    {
        const std::size_t mask = slots_.size() - 1;
        const std::uint32_t tag = tagOf(hash);
        for (std::size_t at = hash & mask;; at = (at + 1) & mask) {
            const Slot& slot = slots_[at];
            if (slot.row == kNone || (slot.tag == tag && keyOf(sheet_, level_, slot.row) == key))
                return at;
        }
    }

    const ResultSheet& sheet_;
    Level level_;
    std::vector<Slot> slots_;
    std::vector<std::int32_t> next_;
    std::vector<std::int32_t> last_;
    std::vector<bool> unique_;
};

bool hasProblem(const ResultSheet& sheet, int row)
{
    return !sheet.RangeReads(CellRange{row, ReturnFields::kFirstVerificationColumn, row,
                                       ReturnFields::kLastOrientationColumn},
                             ReturnCodes::kOk);
}
} // namespace

QString ReturnComparison::situationText(Situation situation)
{
    switch (situation) {
    case Situation::Resolved:
        return QStringLiteral("Resolvido");
    case Situation::Pending:
        return QStringLiteral("Pendente");
    case Situation::NewProblem:
        return QStringLiteral("Novo problema");
    case Situation::NoProblem:
        return QStringLiteral("Sem problema");
    case Situation::EarlierOnly:
        return QStringLiteral("Só no anterior");
    case Situation::Ambiguous:
        return QStringLiteral("Correspondência ambígua");
    }
    return {};
}

ReturnComparison::ReturnComparison()
    : sheets_{std::make_unique<ResultSheet>(), std::make_unique<ResultSheet>()}
{
}

ReturnComparison::ReturnComparison(ReturnComparison&&) noexcept = default;
ReturnComparison& ReturnComparison::operator=(ReturnComparison&&) noexcept = default;
ReturnComparison::~ReturnComparison() = default;

ReturnComparison ReturnComparison::compare(const QString& earlierFile, const QString& currentFile)
{
    ReturnComparison comparison;
    for (const auto& [side, path] :
         {std::pair{Side::Earlier, earlierFile}, std::pair{Side::Current, currentFile}}) {
        ReturnFileJob::Done done =
            ReturnFileJob::run(path, *comparison.sheets_[index(side)], false);
        comparison.outcomes_[index(side)] = done.outcome;
        comparison.warnings_[index(side)] = std::move(done.warning);
        if (!done.outcome.succeeded()) {
            comparison.failedSide_ = side;
            return comparison;
        }
    }
    // Memory can run out on two big files where one alone fits: that is
    // told as Processar tells it, and the window behind keeps its sheet.
    try {
        comparison.match();
    } catch (const std::bad_alloc&) {
        comparison.entries_ = {};
        comparison.counts_ = {};
        comparison.candidates_ = {};
        comparison.outcomes_[index(Side::Current)] = {CommandMessage::OutOfMemory};
        comparison.failedSide_ = Side::Current;
    }
    return comparison;
}

bool ReturnComparison::succeeded() const
{
    return outcomes_[0].succeeded() && outcomes_[1].succeeded();
}

void ReturnComparison::match()
{
    const ResultSheet& earlier = *sheets_[index(Side::Earlier)];
    const ResultSheet& current = *sheets_[index(Side::Current)];
    const std::array<const ResultSheet*, 2> sheets{&earlier, &current};
    const std::size_t e = index(Side::Earlier);
    const std::size_t c = index(Side::Current);
    std::array<std::vector<int>, 2> partner;
    std::array<std::vector<int>, 2> everyRow;
    for (std::size_t side = 0; side < 2; ++side) {
        partner[side].assign(static_cast<std::size_t>(sheets[side]->RowCount()) + 1, 0);
        for (int row = 1; row <= sheets[side]->RowCount(); ++row)
            everyRow[side].push_back(row);
    }
    const auto unpaired = [&](std::size_t side) {
        std::vector<int> rows;
        for (int row = 1; row <= sheets[side]->RowCount(); ++row) {
            if (partner[side][static_cast<std::size_t>(row)] == 0)
                rows.push_back(row);
        }
        return rows;
    };

    // Each file's index of each key: what tells whether a key identifies a
    // worker within its file, and who has it. Past the CPF, only the
    // workers the CPF left unpaired are ever looked up: their keys are
    // indexed, and the others only counted, which spares two tables the
    // size of the file.
    std::array<std::vector<KeyIndex>, 2> whole;
    for (std::size_t side = 0; side < 2; ++side) {
        whole[side].reserve(kLevels);
        whole[side].emplace_back(*sheets[side], ByCpf, everyRow[side]);
    }
    // The keys before `level` that identify the row in its file, one bit
    // each: two workers that each have one of the same kind are told apart
    // by it, and no later key may pair them.
    const auto identifiedBefore = [&](std::size_t side, int row, int level) {
        unsigned bits = 0;
        for (int before = 0; before < level; ++before) {
            if (whole[side][static_cast<std::size_t>(before)].identifies(row))
                bits |= 1U << before;
        }
        return bits;
    };

    for (int level = 0; level < kLevels; ++level) {
        const auto at = static_cast<std::size_t>(level);
        if (level == ByNis) {
            for (std::size_t side = 0; side < 2; ++side) {
                const std::vector<int> open = unpaired(side);
                for (int later = ByNis; later < kLevels; ++later) {
                    KeyIndex& byKey =
                        whole[side].emplace_back(*sheets[side], static_cast<Level>(later), open);
                    for (int row = 1; row <= sheets[side]->RowCount(); ++row) {
                        if (partner[side][static_cast<std::size_t>(row)] != 0)
                            byKey.seeAlso(row);
                    }
                }
            }
        }
        for (int row = 1; row <= current.RowCount(); ++row) {
            if (partner[c][static_cast<std::size_t>(row)] != 0 || !whole[c][at].identifies(row))
                continue;
            const int other = whole[e][at].first(keyOf(current, static_cast<Level>(level), row));
            if (other == 0 || partner[e][static_cast<std::size_t>(other)] != 0 ||
                !whole[e][at].identifies(other) ||
                (identifiedBefore(c, row, level) & identifiedBefore(e, other, level)) != 0)
                continue;
            partner[c][static_cast<std::size_t>(row)] = other;
            partner[e][static_cast<std::size_t>(other)] = row;
        }
    }

    // Who is left unpaired yet shares a key with someone unpaired in the
    // other file, whom no earlier key tells apart from it, where the key
    // identifies one of the two in its own file. A key repeated in both
    // files (a placeholder NIS) says nothing of anyone. The other file's
    // unpaired workers are indexed apart by the keys that identify them, so
    // that a worker looks only among those it could be: a placeholder shared
    // by thousands costs a look each, not thousands.
    for (std::size_t side = 0; side < 2; ++side) {
        const std::size_t otherSide = 1 - side;
        const ResultSheet& mine = *sheets[side];
        const std::vector<int> mineOpen = unpaired(side);
        const std::vector<int> theirsOpen = unpaired(otherSide);
        for (int level = 0; level < kLevels; ++level) {
            const unsigned kinds = 2U << level;
            const unsigned thisKey = 1U << level;
            std::vector<std::vector<int>> rowsOfKind(kinds);
            for (const int row : theirsOpen)
                rowsOfKind[identifiedBefore(otherSide, row, level + 1)].push_back(row);
            std::vector<KeyIndex> open;
            open.reserve(kinds);
            for (const std::vector<int>& rows : rowsOfKind)
                open.emplace_back(*sheets[otherSide], static_cast<Level>(level), rows);
            for (const int row : mineOpen) {
                const Key key = keyOf(mine, static_cast<Level>(level), row);
                if (key.empty())
                    continue;
                const unsigned bits = identifiedBefore(side, row, level + 1);
                for (unsigned kind = 0; kind < kinds; ++kind) {
                    if ((kind & bits & ~thisKey) != 0 || ((kind | bits) & thisKey) == 0)
                        continue;
                    const KeyIndex& ofKind = open[kind];
                    for (int other = ofKind.first(key); other != 0; other = ofKind.next(other)) {
                        std::vector<int>& found = candidates_[side][row];
                        if (found.size() == kMostCandidates)
                            break;
                        found.push_back(other);
                    }
                }
            }
        }
        for (auto& [row, rows] : candidates_[side]) {
            std::sort(rows.begin(), rows.end());
            rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
        }
    }

    const auto add = [this](Situation situation, int earlierRow, int currentRow) {
        entries_.push_back({situation, earlierRow, currentRow});
        ++counts_[static_cast<std::size_t>(situation)];
    };
    entries_.reserve(partner[c].size() - 1 + partner[e].size() - 1);
    for (int row = 1; row <= current.RowCount(); ++row) {
        const int before = partner[c][static_cast<std::size_t>(row)];
        const bool now = hasProblem(current, row);
        if (before == 0 && candidates_[c].contains(row))
            add(Situation::Ambiguous, 0, row);
        else if (before == 0)
            add(now ? Situation::NewProblem : Situation::NoProblem, 0, row);
        else if (hasProblem(earlier, before))
            add(now ? Situation::Pending : Situation::Resolved, before, row);
        else
            add(now ? Situation::NewProblem : Situation::NoProblem, before, row);
    }
    for (int row = 1; row <= earlier.RowCount(); ++row) {
        if (partner[e][static_cast<std::size_t>(row)] != 0)
            continue;
        add(candidates_[e].contains(row) ? Situation::Ambiguous : Situation::EarlierOnly, row, 0);
    }
}

std::vector<ReturnComparison::Problem> ReturnComparison::problems(Side side, int row) const
{
    const ResultSheet& sheet = *sheets_[index(side)];
    std::vector<Problem> found;
    if (row < 1 || row > sheet.RowCount())
        return found;
    for (int col = ReturnFields::kFirstVerificationColumn;
         col <= ReturnFields::kLastOrientationColumn; ++col) {
        if (sheet.CellUtf8(row, col) != ReturnCodes::kOk) {
            const std::string_view heading =
                ReturnFields::kNames[static_cast<std::size_t>(col - 1)];
            found.push_back(
                {col, QString::fromUtf8(heading.data(), static_cast<qsizetype>(heading.size())),
                 sheet.CellText(row, col)});
        }
    }
    return found;
}

std::vector<int> ReturnComparison::candidates(const Entry& entry) const
{
    if (entry.situation != Situation::Ambiguous)
        return {};
    const auto& bySide = candidates_[index(entry.side())];
    const auto it = bySide.find(entry.row());
    return it == bySide.end() ? std::vector<int>{} : it->second;
}
