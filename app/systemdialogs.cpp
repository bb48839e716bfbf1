#include "app/systemdialogs.h"

#include "app/filterdialog.h"
#include "app/focusreturn.h"
#include "app/notice.h"
#include "app/systemprintdialog.h"
#include "app/systemprogress.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QStyle>

#include <algorithm>

namespace {
// "PDF (*.pdf)" -> "pdf".
QString suffixOf(const QString& filter)
{
    static const QRegularExpression pattern(QStringLiteral("\\*\\.(\\w+)"));
    return pattern.match(filter).captured(1);
}

// Qt's own file dialog asks for more height than a 1366×768 screen has at
// 200 %, which would leave its file type and Cancelar below the screen: it
// opens no larger than the screen its parent is on, title bar and borders
// included. A platform's dialog (Windows') sizes itself and ignores this.
void fitScreen(QFileDialog& dialog, const QWidget* parent)
{
    const QWidget* over = parent ? parent->window() : nullptr;
    const QScreen* shownOn = over ? over->screen() : dialog.screen();
    if (!shownOn)
        return;
    // The frame is not known before the window system shows the dialog:
    // the parent's, as the dialog will likely get the same, else a usual one.
    QSize frame = over ? over->frameGeometry().size() - over->geometry().size() : QSize();
    if (frame.isEmpty()) {
        const QStyle* style = dialog.style();
        const int border = style->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, &dialog);
        frame = QSize(2 * border,
                      style->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &dialog) + border);
    }
    dialog.adjustSize();
    const QSize room = shownOn->availableGeometry().size() - frame;
    dialog.resize(dialog.size().boundedTo(room).expandedTo(dialog.minimumSizeHint()));
}
} // namespace

QString SystemDialogs::chooseFileToOpen(QWidget* parent, const QString& title,
                                        const QString& folder)
{
    const FocusReturn back(parent);
    // No filter: real return files carry no fixed extension. Qt hands back
    // '/' on every platform; the caller looks for the native separator.
    QFileDialog dialog(parent, title, folder);
    dialog.setFileMode(QFileDialog::ExistingFile);
    fitScreen(dialog, parent);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return QDir::toNativeSeparators(dialog.selectedFiles().front());
}

QString SystemDialogs::chooseFolder(QWidget* parent, const QString& title, const QString& folder)
{
    const FocusReturn back(parent);
    QFileDialog dialog(parent, title, folder);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    fitScreen(dialog, parent);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return QDir::toNativeSeparators(dialog.selectedFiles().front());
}

std::optional<WindowDialogs::SaveChoice> SystemDialogs::chooseFileToSave(QWidget* parent,
                                                                         const QString& title,
                                                                         const QString& proposed,
                                                                         const QStringList& filters)
{
    const FocusReturn back(parent);
    QString start = proposed;
    for (;;) {
        QFileDialog dialog(parent, title);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setNameFilters(filters);
        // A name typed without its extension gets the chosen type's before
        // the dialog asks about overwriting, so the question is about the
        // real file.
        dialog.setDefaultSuffix(suffixOf(filters.value(0)));
        QObject::connect(
            &dialog, &QFileDialog::filterSelected, &dialog,
            [&dialog](const QString& filter) { dialog.setDefaultSuffix(suffixOf(filter)); });
        startAt(dialog, start);
        fitScreen(dialog, parent);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return std::nullopt;
        const QString chosen = dialog.selectedFiles().front();
        const QString path = typedName(chosen, filters);
        // The dialog asked about the name it made, not the one typed.
        if (path == chosen || !QFileInfo::exists(path) ||
            QMessageBox::question(parent, title,
                                  QStringLiteral("\"%1\" já existe.\nDeseja substituí-lo?")
                                      .arg(QDir::toNativeSeparators(path))) == QMessageBox::Yes)
            return SaveChoice{path, dialog.selectedNameFilter()};
        start = path;
    }
}

void SystemDialogs::startAt(QFileDialog& dialog, const QString& proposed)
{
    // The platform's own dialog takes only the name from a full path and
    // would start in the working folder, the program's own when it was
    // started from the Start menu: the folder is said apart.
    const QFileInfo file(proposed);
    dialog.setDirectory(file.absolutePath());
    dialog.selectFile(file.fileName());
}

QString SystemDialogs::typedName(const QString& path, const QStringList& filters)
{
    // Windows' dialog adds the chosen type's extension to a name whose own
    // the system does not know, so "x.csv" typed with XLSX chosen comes
    // back "x.csv.xlsx": the extension typed wins, as the user meant. A
    // file of the whole name, chosen from the list, is taken as it is.
    QStringList suffixes;
    for (const QString& filter : filters)
        suffixes.append(suffixOf(filter));
    const QFileInfo whole(path);
    const QString typed = path.chopped(std::min(whole.suffix().size() + 1, path.size()));
    if (whole.suffix().isEmpty() || !suffixes.contains(whole.suffix(), Qt::CaseInsensitive) ||
        !suffixes.contains(QFileInfo(typed).suffix(), Qt::CaseInsensitive) || whole.exists())
        return path;
    return typed;
}

std::optional<QString> SystemDialogs::askText(QWidget* parent, const QString& title,
                                              const QString& label, const QString& text)
{
    const FocusReturn back(parent);
    bool ok = false;
    const QString answer =
        QInputDialog::getText(parent, title, label, QLineEdit::Normal, text, &ok);
    if (!ok)
        return std::nullopt;
    return answer;
}

bool SystemDialogs::askYesNo(QWidget* parent, const QString& title, const QString& text)
{
    const FocusReturn back(parent);
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No, parent);
    // Said here: Qt's own words are English where its translation is missing.
    box.button(QMessageBox::Yes)->setText(QStringLiteral("Sim"));
    box.button(QMessageBox::No)->setText(QStringLiteral("Não"));
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

void SystemDialogs::showCritical(QWidget* parent, const QString& title, const QString& text)
{
    const FocusReturn back(parent);
    QMessageBox::critical(parent, title, text, QMessageBox::Ok);
}

void SystemDialogs::showInformation(QWidget* parent, const QString& title, const QString& text)
{
    const FocusReturn back(parent);
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
    return std::make_unique<SystemProgress>(
        parent, label, [this](QWidget* over, const QString& under) {
            return askYesNo(over, QStringLiteral("Verinova Cadastral"),
                            QStringLiteral("%1.\n\nDeseja interromper?").arg(under));
        });
}

std::optional<std::vector<bool>>
SystemDialogs::chooseTexts(QWidget* parent, const QString& heading,
                           const std::vector<ColumnValues::Value>& values, std::vector<bool> chosen)
{
    const FocusReturn back(parent);
    FilterDialog dialog(heading, values, std::move(chosen), parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.chosen();
}
