#include "app/cli/terminalprogress.h"

#include "sheet/sheettemplate.h"
#include "system/terminaltext.h"

#include <QLocale>

#include <algorithm>

namespace {
constexpr int kShowAfterMs = 2000;
constexpr int kReportEveryMs = 200;
} // namespace

TerminalProgress::TerminalProgress(std::FILE* out, QString label)
    : out_(out), label_(std::move(label)), terminal_(TerminalText::isTerminal(out))
{
    started_.start();
}

TerminalProgress::~TerminalProgress()
{
    // The next line, a message or the shell's prompt, starts on a line of its own.
    if (shown_)
        std::fputs("\n", out_);
}

bool TerminalProgress::advance(int done, int total)
{
    if (!terminal_ || started_.elapsed() < kShowAfterMs ||
        (lastReport_.isValid() && lastReport_.elapsed() < kReportEveryMs))
        return true;
    lastReport_.start();
    const QLocale brazil = SheetTemplate::locale();
    const QString line =
        label_.arg(brazil.toString(std::min(done + 1, total))).arg(brazil.toString(total));
    // "\r" back to the start and "\033[K" clears what a longer line left.
    TerminalText::write(out_, u'\r' + line + QStringLiteral("\033[K"));
    std::fflush(out_);
    shown_ = true;
    return true;
}
