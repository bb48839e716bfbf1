#pragma once

#include "processing/commandoutcome.h"
#include "sheet/returnfields.h"

#include <QString>

#include <array>

// One return file told in numbers: its workers, those with any check not
// "OK", those with an orientation, and per check and orientation column the
// workers whose cell is not "OK". The numbers are those the saved workbook's
// "Resumo" gives of the whole file, counted by the same code; the file is
// read as Processar reads it, with the same refusals. Only the numbers are
// kept: the sheet the file was read into is gone once they are taken.
class ReturnCounts
{
public:
    static constexpr int kFirstColumn = ReturnFields::kFirstVerificationColumn;
    static constexpr int kLastColumn = ReturnFields::kLastOrientationColumn;
    static constexpr int kColumns = kLastColumn - kFirstColumn + 1;

    static ReturnCounts ofFile(const QString& path);
    // A file that could not even be opened, for `why`.
    static ReturnCounts unread(CommandMessage why);

    // Whether the file was read as a return file. When it was not, every
    // count is 0 and reason() says why, as Processar's message box would.
    bool counted() const { return outcome_.succeeded(); }
    QString reason() const { return outcome_.messageText(); }
    const CommandOutcome& outcome() const { return outcome_; }
    // What Processar would warn of a file it read (no worker, no heading,
    // joined files, lines without the 21 fields, a last line cut short);
    // empty when nothing.
    const QString& warning() const { return warning_; }

    int workers() const { return workers_; }
    int withProblems() const { return withProblems_; }
    int withOrientation() const { return withOrientation_; }
    // For a check column (5 to 19) the workers whose cell is not "OK", an
    // empty one included; for an orientation column (20, 21) those with an
    // instruction. 0 for any other column.
    int notOk(int column) const;

private:
    CommandOutcome outcome_;
    QString warning_;
    int workers_ = 0;
    int withProblems_ = 0;
    int withOrientation_ = 0;
    std::array<int, kColumns> notOk_{};
};
