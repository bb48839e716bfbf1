#pragma once

#include "sheet/columnvalues.h"
#include "sheet/progress.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class PrintDialog;
class QWidget;

// The modal dialogs the window shows. The window reaches them only through
// this, so tests can answer them without a dialog ever blocking.
class WindowDialogs
{
public:
    virtual ~WindowDialogs() = default;

    // The platform's open-file dialog with every file listed, opened at
    // `folder`, or at a file's folder with that file proposed; the chosen
    // file's full path with the native separators, or empty text when the
    // dialog was cancelled.
    virtual QString chooseFileToOpen(QWidget* parent, const QString& title,
                                     const QString& folder) = 0;
    // The platform's folder dialog, opened at `folder`; the chosen folder's
    // full path with the native separators, or empty text when cancelled.
    virtual QString chooseFolder(QWidget* parent, const QString& title, const QString& folder) = 0;
    // The platform's save-file dialog, opened at `proposed` (folder and
    // name) with the file types of `filters`, the first one chosen; it asks
    // before overwriting a file. The chosen path and the filter chosen with
    // it, or nothing when the dialog was cancelled.
    struct SaveChoice
    {
        QString path;
        QString filter;
    };
    virtual std::optional<SaveChoice> chooseFileToSave(QWidget* parent, const QString& title,
                                                       const QString& proposed,
                                                       const QStringList& filters) = 0;
    // A one-line text input starting at `text`; nothing when cancelled.
    virtual std::optional<QString> askText(QWidget* parent, const QString& title,
                                           const QString& label, const QString& text) = 0;
    // A column's texts with how many rows hold each, to choose which the
    // column shows: `chosen` says which start chosen, one flag per text.
    // The flags chosen, or nothing when the dialog was cancelled.
    virtual std::optional<std::vector<bool>>
    chooseTexts(QWidget* parent, const QString& heading,
                const std::vector<ColumnValues::Value>& values, std::vector<bool> chosen) = 0;
    // A question with "Sim" and "Não", "Não" chosen by Enter, Escape and
    // closing it: true for "Sim".
    virtual bool askYesNo(QWidget* parent, const QString& title, const QString& text) = 0;
    // A message box with the critical icon and one OK button.
    virtual void showCritical(QWidget* parent, const QString& title, const QString& text) = 0;
    // A message box with the information icon and one OK button.
    virtual void showInformation(QWidget* parent, const QString& title, const QString& text) = 0;
    // A short notice near `near` that goes away by itself: nothing to click.
    virtual void showNotice(QWidget* near, const QString& text) = 0;
    // Where the sheet's printing asks for the printer: the platform's print
    // dialog over `parent`. `fileName` says, at each printout, the file
    // "Imprimir para arquivo" proposes.
    virtual std::shared_ptr<PrintDialog> printDialog(QWidget* parent,
                                                     std::function<QString()> fileName) = 0;
    // A job's progress with a "Cancelar" button, shown only when the job
    // takes more than about a second. `label` holds %1, the step under way,
    // and %2, the number of steps. Closing it (Alt+F4) asks whether to stop
    // the job, through askYesNo: "Não" lets it go on.
    virtual std::unique_ptr<Progress> progress(QWidget* parent, const QString& label) = 0;
};
