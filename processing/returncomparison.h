#pragma once

#include "processing/commandoutcome.h"

#include <QString>

#include <array>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

class ResultSheet;

// What changed between an earlier return file and the current one, worker by
// worker. Both files are imported as Processar imports them and kept, so a
// window can show any cell of either and a saved comparison can list both
// messages, without a second copy of either file.
//
// Workers are matched by CPF; where a CPF is empty, repeated within its
// file or not in the other file (a CPF corrected), by NIS; where the NIS
// fails the same way, by NOME and DN, unless each has a NIS of its own in
// its file and the two differ. A key pairs two workers only when no other
// worker of either file has it. The same worker on as many lines in
// both files, every key alike, pairs in the files' order. A worker left
// unpaired that still shares a key with an unpaired worker of the other
// file, a key unique in one of the two files or every key of both, could be
// that worker: it is listed as ambiguous with its candidates, never paired
// by a guess.
class ReturnComparison
{
public:
    enum class Side : std::uint8_t
    {
        Earlier,
        Current
    };

    enum class Situation : std::uint8_t
    {
        Resolved,   // a problem before, none now
        Pending,    // a problem before and now
        NewProblem, // no problem before, or absent before, and a problem now
        NoProblem,  // no problem now, and none before when it was there
        EarlierOnly,
        Ambiguous, // could be more than one worker of the other file
    };
    static constexpr int kSituationCount = 6;
    // The words the clerk reads for a situation.
    static QString situationText(Situation situation);

    // One line of the comparison: a worker of the current file, of the
    // earlier one, or of both. Rows are the sheets' 1-based rows, 0 where the
    // worker is not in that file.
    struct Entry
    {
        Situation situation;
        int earlierRow;
        int currentRow;

        // Where the worker is read: in the current file when it is there.
        Side side() const { return currentRow != 0 ? Side::Current : Side::Earlier; }
        int row() const { return currentRow != 0 ? currentRow : earlierRow; }
    };

    // A cell of a worker's checks or orientations that is not "OK".
    struct Problem
    {
        int column;
        QString heading;
        QString text;
    };

    // Imports `earlierFile`, then `currentFile`, as Processar does. When
    // either cannot be imported there is no comparison: failedSide() and
    // outcome() tell which file and why, in Processar's words.
    static ReturnComparison compare(const QString& earlierFile, const QString& currentFile);

    ReturnComparison(ReturnComparison&&) noexcept;
    ReturnComparison& operator=(ReturnComparison&&) noexcept;
    ~ReturnComparison();

    bool succeeded() const;
    // The file that stopped the comparison; meaningful only when it failed.
    Side failedSide() const { return failedSide_; }
    const CommandOutcome& outcome(Side side) const { return outcomes_[index(side)]; }
    // What the import found odd in the file, as Processar warns of it; empty
    // when nothing.
    const QString& warning(Side side) const { return warnings_[index(side)]; }

    // Every worker of the current file in its order, then those of the
    // earlier file that no current worker is, in theirs.
    const std::vector<Entry>& entries() const { return entries_; }
    int count(Situation situation) const { return counts_[static_cast<std::size_t>(situation)]; }

    // The imported file; valid while the comparison lives.
    const ResultSheet& sheet(Side side) const { return *sheets_[index(side)]; }
    // The checks (columns 5 to 19) and orientations (20 and 21) of a worker's
    // row that do not read "OK", in column order.
    std::vector<Problem> problems(Side side, int row) const;
    // For an ambiguous entry, the rows of the other file's workers it could
    // be, in that file's order, the first twenty of them at most (what a
    // clerk can look at); empty for any other entry.
    std::vector<int> candidates(const Entry& entry) const;

private:
    ReturnComparison();
    static constexpr std::size_t index(Side side) { return static_cast<std::size_t>(side); }
    void match();

    std::array<std::unique_ptr<ResultSheet>, 2> sheets_;
    std::array<CommandOutcome, 2> outcomes_;
    std::array<QString, 2> warnings_;
    Side failedSide_ = Side::Earlier;
    std::vector<Entry> entries_;
    std::array<int, kSituationCount> counts_{};
    // Ambiguous workers' candidates, by side and row.
    std::array<std::unordered_map<int, std::vector<int>>, 2> candidates_;
};
