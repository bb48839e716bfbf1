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
// The keys a worker is matched by, in the order they are tried, then the
// whole of what identifies a worker, for the same line repeated, and the
// same without the CPF, for that line repeated with its CPF corrected.
enum Level
{
    ByCpf,
    ByNis,
    ByNomeAndDn,
    kLevels,
    ByIdentity = kLevels,
    ByIdentityButCpf
};

// The rows ambiguity names are for a clerk to look at, not a census: a
// placeholder NOME and DN shared by thousands names a few of them.
constexpr std::size_t kMostCandidates = 20;

struct Key
{
    std::string_view cpf;
    std::string_view nis;
    std::string_view nome;
    std::string_view dn;

    bool empty() const { return cpf.empty() && nis.empty() && nome.empty() && dn.empty(); }
    friend bool operator==(const Key&, const Key&) = default;
};

Key keyOf(const ResultSheet& sheet, Level level, int row)
{
    switch (level) {
    case ByCpf:
        return {sheet.CellUtf8(row, ReturnFields::kCpfColumn), {}, {}, {}};
    case ByNis:
        return {{}, sheet.CellUtf8(row, ReturnFields::kNisColumn), {}, {}};
    case ByNomeAndDn:
    case ByIdentity:
    case ByIdentityButCpf:
        break;
    }
    // A name without its date of birth, or the reverse, tells no one apart.
    const std::string_view nome = sheet.CellUtf8(row, ReturnFields::kNomeColumn);
    const std::string_view dn = sheet.CellUtf8(row, ReturnFields::kDnColumn);
    const bool named = !nome.empty() && !dn.empty();
    if (level == ByNomeAndDn)
        return named ? Key{{}, {}, nome, dn} : Key{};
    const std::string_view nis = sheet.CellUtf8(row, ReturnFields::kNisColumn);
    if (level == ByIdentityButCpf)
        return named && !nis.empty() ? Key{{}, nis, nome, dn} : Key{};
    const std::string_view cpf = sheet.CellUtf8(row, ReturnFields::kCpfColumn);
    if (cpf.empty() && nis.empty() && !named)
        return {};
    return {cpf, nis, nome, dn};
}

std::size_t hashOf(const Key& key)
{
    // Most keys are one field: the empty ones cost nothing.
    const std::hash<std::string_view> hash;
    std::size_t combined = hash(key.cpf);
    for (const std::string_view part : {key.nis, key.nome, key.dn}) {
        if (!part.empty())
            combined = combined * 31 + hash(part);
    }
    return combined;
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
    const auto pair = [&](int earlierRow, int currentRow) {
        partner[c][static_cast<std::size_t>(currentRow)] = earlierRow;
        partner[e][static_cast<std::size_t>(earlierRow)] = currentRow;
    };

    // Each file's index of each key: what tells whether a key identifies a
    // worker within its file, and who has it. Past the CPF, only the
    // workers the CPF left unpaired are ever looked up: their keys are
    // indexed, and the others only counted, which spares two tables the
    // size of the file. A key shared with a worker already paired still
    // identifies no one: a placeholder NIS would otherwise pair a worker
    // who left with one who was hired.
    std::array<std::vector<KeyIndex>, 2> whole;
    for (std::size_t side = 0; side < 2; ++side) {
        whole[side].reserve(kLevels);
        whole[side].emplace_back(*sheets[side], ByCpf, everyRow[side]);
    }
    // Namesakes born on one day are two people when each has a NIS of its
    // own in its file and the two differ: NOME and DN pair only workers the
    // NIS does not tell apart (an empty, a repeated or a placeholder one).
    const auto toldApart = [&](int level, int currentRow, int earlierRow) {
        return level == ByNomeAndDn && whole[c][ByNis].identifies(currentRow) &&
               whole[e][ByNis].identifies(earlierRow);
    };
    // A worker whose CPF was corrected is still found by the NIS, or by
    // NOME and DN, when each identifies it in both files.
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
                !whole[e][at].identifies(other) || toldApart(level, row, other))
                continue;
            pair(other, row);
        }
    }

    // The same worker, every key alike, on as many lines in both files: no
    // key identifies any of them, yet each line is that worker. They pair
    // in the files' order. Then the same for such lines whose CPF was
    // corrected on every one of them: one CPF before, one now, on as many
    // lines. Only workers no key identifies in their file are looked at,
    // which on most files is a few.
    const auto unnamed = [&](std::size_t side) {
        std::vector<int> rows = unpaired(side);
        std::erase_if(rows, [&](int row) {
            return std::any_of(whole[side].begin(), whole[side].end(),
                               [row](const KeyIndex& byKey) { return byKey.identifies(row); });
        });
        return rows;
    };
    for (const Level level : {ByIdentity, ByIdentityButCpf}) {
        const std::vector<int> currentRows = unnamed(c);
        const KeyIndex earlierLines(earlier, level, unnamed(e));
        const KeyIndex currentLines(current, level, currentRows);
        // The lines from `first` on, when all of them have one CPF.
        const auto countOfOne = [](const ResultSheet& sheet, const KeyIndex& lines, int first) {
            const std::string_view cpf = sheet.CellUtf8(first, ReturnFields::kCpfColumn);
            int count = 0;
            for (int line = first; line != 0; line = lines.next(line), ++count) {
                if (sheet.CellUtf8(line, ReturnFields::kCpfColumn) != cpf)
                    return -1;
            }
            return count;
        };
        for (const int row : currentRows) {
            const Key key = keyOf(current, level, row);
            // Each set of lines once, from its first.
            if (key.empty() || currentLines.first(key) != row)
                continue;
            const int theirs = earlierLines.first(key);
            const int count = countOfOne(current, currentLines, row);
            if (theirs == 0 || count < 0 || countOfOne(earlier, earlierLines, theirs) != count)
                continue;
            for (int mine = row, other = theirs; mine != 0;
                 mine = currentLines.next(mine), other = earlierLines.next(other))
                pair(other, mine);
        }
    }

    // Who is left unpaired yet shares a key with someone unpaired in the
    // other file, where the key identifies one of the two in its own file,
    // or is every key of both: either could be the other. A key repeated
    // in both files (a placeholder NIS) says nothing of anyone. Where the
    // worker's own key is repeated, only a worker the key identifies in the
    // other file is a candidate, and there is one at most: a placeholder
    // shared by thousands costs a look each, not thousands.
    for (std::size_t side = 0; side < 2; ++side) {
        const std::size_t otherSide = 1 - side;
        const ResultSheet& mine = *sheets[side];
        const std::vector<int> mineOpen = unpaired(side);
        const std::vector<int> theirsOpen = unpaired(otherSide);
        const std::vector<int> mineUnnamed = unnamed(side);
        const std::vector<int> theirsUnnamed = unnamed(otherSide);
        for (int level = 0; level <= ByIdentity; ++level) {
            // Every key alike is looked up only for the workers no key
            // identifies: where one does, the two have found each other by it.
            const bool everyKey = level == ByIdentity;
            const KeyIndex theirs(*sheets[otherSide], static_cast<Level>(level),
                                  everyKey ? theirsUnnamed : theirsOpen);
            for (const int row : everyKey ? mineUnnamed : mineOpen) {
                const Key key = keyOf(mine, static_cast<Level>(level), row);
                if (key.empty())
                    continue;
                int other = theirs.first(key);
                if (other == 0)
                    continue;
                const bool anyOfThem =
                    everyKey || whole[side][static_cast<std::size_t>(level)].identifies(row);
                if (!anyOfThem &&
                    !whole[otherSide][static_cast<std::size_t>(level)].identifies(other))
                    continue;
                for (; other != 0; other = theirs.next(other)) {
                    if (toldApart(level, side == c ? row : other, side == c ? other : row))
                        continue;
                    std::vector<int>& found = candidates_[side][row];
                    if (found.size() == kMostCandidates)
                        break;
                    if (std::find(found.begin(), found.end(), other) == found.end())
                        found.push_back(other);
                }
            }
        }
        for (auto& [row, rows] : candidates_[side])
            std::sort(rows.begin(), rows.end());
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
