#pragma once

#include <QObject>
#include <QString>

class WindowDialogs;
class QWidget;

// The window's hidden file-open dialog, the control the window's design
// names CommonDialog1 and works through by its members: the caller sets the
// folder and the title, shows it, and reads back the chosen file's name. It
// keeps them between uses, as that control does.
class CommonDialog : public QObject
{
    Q_OBJECT

public:
    CommonDialog(WindowDialogs& dialogs, QObject* parent);

    void setInitDir(const QString& folder) { initDir_ = folder; }
    void setDialogTitle(const QString& title) { dialogTitle_ = title; }
    // Empty until a file has been chosen, and again after a cancelled dialog,
    // so a cancel never brings back an earlier choice.
    QString fileName() const { return fileName_; }

    // Returns when the user has closed the dialog.
    void showOpen(QWidget* owner);

private:
    WindowDialogs& dialogs_;
    QString initDir_;
    QString dialogTitle_;
    QString fileName_;
};
