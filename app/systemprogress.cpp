#include "app/systemprogress.h"

#include "sheet/sheettemplate.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEventLoop>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLocale>
#include <QStyle>

#include <algorithm>

namespace {
constexpr int kShowAfterMs = 1000;
constexpr int kReportEveryMs = 100;
constexpr int kLastClickMs = 100;

// The dialog's close, from the window system, turned into the question: a
// clerk who meant to close the window, or pressed Alt+F4 once too often,
// does not lose a save made nearly to its end. Escape is a close too: left
// to the dialog it would hide it and let the job run on unseen.
class StopQuestion final : public QObject
{
public:
    StopQuestion(QProgressDialog& dialog, SystemProgress::StopAsked stopAsked)
        : QObject(&dialog), dialog_(dialog), stopAsked_(std::move(stopAsked))
    {
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != &dialog_)
            return false;
        if (event->type() == QEvent::KeyPress) {
            if (!static_cast<QKeyEvent*>(event)->matches(QKeySequence::Cancel))
                return false;
        } else if (event->type() != QEvent::Close) {
            return false;
        }
        event->ignore();
        if (stopAsked_ && stopAsked_(&dialog_, dialog_.labelText()))
            dialog_.cancel();
        return true;
    }

private:
    QProgressDialog& dialog_;
    SystemProgress::StopAsked stopAsked_;
};
} // namespace

SystemProgress::SystemProgress(QWidget* parent, QString label, StopAsked stopAsked)
    : back_(parent), dialog_(QString(), QStringLiteral("Cancelar"), 0, 1, parent),
      label_(std::move(label))
{
    dialog_.installEventFilter(new StopQuestion(dialog_, std::move(stopAsked)));
    dialog_.setWindowTitle(QStringLiteral("Verinova Cadastral"));
    // Wide enough for the whole title beside the title bar's icon and
    // buttons, which would otherwise cut it in the middle.
    const QFontMetrics titleFont(QApplication::font("QMdiSubWindowTitleBar"));
    const int titleBar = dialog_.style()->pixelMetric(QStyle::PM_TitleBarHeight);
    dialog_.setMinimumWidth(titleFont.horizontalAdvance(dialog_.windowTitle()) + 6 * titleBar);
    // Modal, so that reports let it take the Cancelar click and nothing else.
    dialog_.setWindowModality(Qt::WindowModal);
    dialog_.setMinimumDuration(kShowAfterMs);
    dialog_.setAutoReset(false);
    dialog_.setAutoClose(false);
}

bool SystemProgress::advance(int done, int total)
{
    if (lastReport_.isValid() && lastReport_.elapsed() < kReportEveryMs)
        return !dialog_.wasCanceled();
    lastReport_.start();
    dialog_.setMaximum(std::max(total, 1));
    // "94.209 de 200.000", as every other count the window shows.
    const QLocale brazil = SheetTemplate::locale();
    dialog_.setLabelText(
        label_.arg(brazil.toString(std::min(done + 1, total)), brazil.toString(total)));
    dialog_.setValue(done);
    return !dialog_.wasCanceled();
}

bool SystemProgress::finish()
{
    // Only a dialog on the screen can have been clicked; while it shows it
    // is modal, so nothing but its button takes the events let in here.
    // More than one round: the first takes the click from the window
    // system (on Windows its messages), a later one hands it to the button.
    if (dialog_.isVisible())
        QCoreApplication::processEvents(QEventLoop::AllEvents, kLastClickMs);
    return !dialog_.wasCanceled();
}
