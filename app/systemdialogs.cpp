#include "app/systemdialogs.h"

#include "app/filterdialog.h"
#include "app/notice.h"
#include "app/systemprintdialog.h"
#include "app/systemprogress.h"

#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QRegularExpression>

namespace {
// "PDF (*.pdf)" -> "pdf".
QString suffixOf(const QString& filter)
{
    static const QRegularExpression pattern(QStringLiteral("\\*\\.(\\w+)"));
    return pattern.match(filter).captured(1);
}
} // namespace

QString SystemDialogs::chooseFileToOpen(QWidget* parent, const QString& title,
                                        const QString& folder)
{
    // No filter: real return files carry no fixed extension. Qt hands back
    // '/' on every platform; the caller looks for the native separator.
    return QDir::toNativeSeparators(QFileDialog::getOpenFileName(parent, title, folder));
}

std::optional<WindowDialogs::SaveChoice> SystemDialogs::chooseFileToSave(QWidget* parent,
                                                                         const QString& title,
                                                                         const QString& proposed,
                                                                         const QStringList& filters)
{
    QFileDialog dialog(parent, title);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters(filters);
    // A name typed without its extension gets the chosen type's before the
    // dialog asks about overwriting, so the question is about the real file.
    dialog.setDefaultSuffix(suffixOf(filters.value(0)));
    QObject::connect(
        &dialog, &QFileDialog::filterSelected, &dialog,
        [&dialog](const QString& filter) { dialog.setDefaultSuffix(suffixOf(filter)); });
    dialog.selectFile(proposed);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return SaveChoice{dialog.selectedFiles().front(), dialog.selectedNameFilter()};
}

std::optional<QString> SystemDialogs::askText(QWidget* parent, const QString& title,
                                              const QString& label, const QString& text)
{
    bool ok = false;
    const QString answer =
        QInputDialog::getText(parent, title, label, QLineEdit::Normal, text, &ok);
    if (!ok)
        return std::nullopt;
    return answer;
}

void SystemDialogs::showCritical(QWidget* parent, const QString& title, const QString& text)
{
    QMessageBox::critical(parent, title, text, QMessageBox::Ok);
}

void SystemDialogs::showInformation(QWidget* parent, const QString& title, const QString& text)
{
    QMessageBox::information(parent, title, text, QMessageBox::Ok);
}

void SystemDialogs::showNotice(QWidget* near, const QString& text)
{
    // At the top of the widget, where the eye already is after a find.
    Notice::tell(near, text);
}

std::shared_ptr<PrintDialog> SystemDialogs::printDialog(QWidget* parent,
                                                        std::function<QString()> fileName)
{
    return std::make_shared<SystemPrintDialog>(parent, std::move(fileName));
}

std::unique_ptr<Progress> SystemDialogs::progress(QWidget* parent, const QString& label)
{
    return std::make_unique<SystemProgress>(parent, label);
}

std::optional<std::vector<bool>>
SystemDialogs::chooseTexts(QWidget* parent, const QString& heading,
                           const std::vector<ColumnValues::Value>& values, std::vector<bool> chosen)
{
    FilterDialog dialog(heading, values, std::move(chosen), parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.chosen();
}
