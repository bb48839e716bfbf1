#pragma once

#include "app/focusreturn.h"
#include "sheet/progress.h"

#include <QElapsedTimer>
#include <QProgressDialog>
#include <QString>

#include <functional>

// Qt's progress dialog over a job that runs on the window's thread. It
// appears only when the job looks like taking more than a second; while it
// shows, each report lets the window repaint and the "Cancelar" button work.
// Reports come far more often than anyone can read, so the dialog hears of
// one every tenth of a second at most. Closing the dialog (Alt+F4, its title
// bar's button, Escape) is not taken for Cancelar unasked: `stopAsked` is asked,
// over the dialog and with what it says, whether to stop, and "Não" lets the
// job go on to its end.
class SystemProgress final : public Progress
{
public:
    using StopAsked = std::function<bool(QWidget* over, const QString& underWay)>;
    // Without `stopAsked`, closing the dialog does nothing.
    SystemProgress(QWidget* parent, QString label, StopAsked stopAsked = {});

    bool advance(int done, int total) override;
    // Takes the clicks that came while the last step ran: the dialog has
    // not heard of them yet.
    bool finish() override;

private:
    // Gone after the dialog: the window is given the keyboard back once the
    // dialog has closed.
    FocusReturn back_;
    QProgressDialog dialog_;
    QString label_;
    QElapsedTimer lastReport_;
};
