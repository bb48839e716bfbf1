#pragma once

#include <QString>

#include <memory>

class PrintDialog;
class QWidget;

// The modal dialogs the window shows. The window reaches them only through
// this, so tests can answer them without a dialog ever blocking.
class WindowDialogs
{
public:
    virtual ~WindowDialogs() = default;

    // The platform's open-file dialog with every file listed; the chosen
    // file's full path with the native separators, or empty text when the
    // dialog was cancelled.
    virtual QString chooseFileToOpen(QWidget* parent, const QString& title,
                                     const QString& folder) = 0;
    // A message box with the critical icon and one OK button.
    virtual void showCritical(QWidget* parent, const QString& title, const QString& text) = 0;
    // Where the sheet's printing asks for the printer: the platform's print
    // dialog over `parent`.
    virtual std::shared_ptr<PrintDialog> printDialog(QWidget* parent) = 0;
};
