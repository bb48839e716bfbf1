#pragma once

#include <QString>
#include <QWidget>

#include <memory>

class FolderOverviewTask;
class OverviewModel;
class Progress;
class QLabel;
class WindowDialogs;
class QProgressBar;
class QPushButton;
class QTableView;

// A window of its own listing every file of a folder of returns with its
// counts (OverviewModel). The folder is read on another thread while the
// window shows how far it has come and offers Cancelar; closing the window
// stops the reading and waits for it. Enter or a double click on a row asks
// for that file to be opened (openRequested): the main window decides how.
class OverviewWindow : public QWidget
{
    Q_OBJECT

public:
    // `dialogs` asks where to save, and tells what failed; it must outlive
    // the window. `watcher`, when given, also hears of each file on the
    // reading thread, before the window does, and must outlive the reading.
    OverviewWindow(const QString& folder, WindowDialogs& dialogs, QWidget* parent = nullptr,
                   Progress* watcher = nullptr);
    ~OverviewWindow() override;

    bool reading() const;

Q_SIGNALS:
    // A row was chosen: its file's full path, with the native separators.
    void openRequested(const QString& path);
    void readingFinished();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    class Relay;

    void showProgress(int done, int total);
    void takeResult();
    void fitColumns();
    void save();

    QString folder_;
    WindowDialogs& dialogs_;
    QLabel* folderLabel_;
    QTableView* table_;
    OverviewModel* model_;
    QLabel* status_;
    QProgressBar* progress_;
    QPushButton* cancel_;
    // Offered once the whole folder is read: a part of it saved would read
    // as the office's whole overview.
    QPushButton* save_;
    std::unique_ptr<Relay> relay_;
    // Declared last: gone, and its thread with it, before what it reports to.
    std::unique_ptr<FolderOverviewTask> task_;
};
