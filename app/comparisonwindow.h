#pragma once

#include "processing/returncomparison.h"

#include <QString>
#include <QWidget>

#include <memory>

class ComparisonModel;
class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTableView;
class WindowDialogs;

// A window of its own showing what changed between an earlier return and
// the current one: the count of each situation on top, the workers below,
// which the clerk can narrow to one situation, and the whole messages of the
// worker at hand under them. It holds the comparison, and with it both
// files' sheets, while it is open.
class ComparisonWindow : public QWidget
{
    Q_OBJECT

public:
    // `dialogs` asks where to save, and tells what failed; it must outlive
    // the window. The paths are the files compared, as the clerk chose them.
    ComparisonWindow(ReturnComparison comparison, const QString& earlierPath,
                     const QString& currentPath, WindowDialogs& dialogs, QWidget* parent = nullptr);
    ~ComparisonWindow() override;

protected:
    // The table's room, when it changes, is shared anew between the messages.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QString describedFile(const QString& path) const;
    void showSituation(int choice);
    void showMessages();
    void fitMessageColumns();
    void save();

    ReturnComparison comparison_;
    QString earlierPath_;
    QString currentPath_;
    WindowDialogs& dialogs_;
    QLabel* counts_;
    QComboBox* situation_;
    QTableView* table_;
    ComparisonModel* model_;
    // What the corrections in sight need, measured once: the room they are
    // given is worked out again at every resize.
    int changesWidth_ = 0;
    // The worker at hand's messages, whole: before and now.
    QPlainTextEdit* before_;
    QPlainTextEdit* now_;
    QLabel* status_;
    QPushButton* save_;
};
