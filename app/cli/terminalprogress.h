#pragma once

#include "sheet/progress.h"

#include <QElapsedTimer>
#include <QString>

#include <cstdio>

// A save's progress on the command line: one line on `out`, rewritten in
// place, once the job has run for about two seconds, and only when `out` is
// a terminal; a log or a pipe gets nothing. `label` holds %1, the step under
// way, and %2, the number of steps.
class TerminalProgress final : public Progress
{
public:
    TerminalProgress(std::FILE* out, QString label);
    ~TerminalProgress() override;
    TerminalProgress(const TerminalProgress&) = delete;
    TerminalProgress& operator=(const TerminalProgress&) = delete;

    bool advance(int done, int total) override;

private:
    std::FILE* out_;
    QString label_;
    bool terminal_;
    bool shown_ = false;
    QElapsedTimer started_;
    QElapsedTimer lastReport_;
};
