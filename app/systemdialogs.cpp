#include "app/systemdialogs.h"

#include "app/systemprintdialog.h"

#include <QDir>
#include <QFileDialog>
#include <QMessageBox>

QString SystemDialogs::chooseFileToOpen(QWidget* parent, const QString& title,
                                        const QString& folder)
{
    // No filter: real return files carry no fixed extension. Qt hands back
    // '/' on every platform; the caller looks for the native separator.
    return QDir::toNativeSeparators(QFileDialog::getOpenFileName(parent, title, folder));
}

void SystemDialogs::showCritical(QWidget* parent, const QString& title, const QString& text)
{
    QMessageBox::critical(parent, title, text, QMessageBox::Ok);
}

std::shared_ptr<PrintDialog> SystemDialogs::printDialog(QWidget* parent)
{
    return std::make_shared<SystemPrintDialog>(parent);
}
