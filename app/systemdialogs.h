#pragma once

#include "app/windowdialogs.h"

class QFileDialog;

// The dialogs as the user sees them: Qt's file dialog (the platform's own
// where there is one), Qt's message box, input and progress dialogs.
class SystemDialogs final : public WindowDialogs
{
public:
    QString chooseFileToOpen(QWidget* parent, const QString& title, const QString& folder) override;
    QString chooseFolder(QWidget* parent, const QString& title, const QString& folder) override;
    std::optional<SaveChoice> chooseFileToSave(QWidget* parent, const QString& title,
                                               const QString& proposed,
                                               const QStringList& filters) override;
    std::optional<QString> askText(QWidget* parent, const QString& title, const QString& label,
                                   const QString& text) override;
    std::optional<std::vector<bool>> chooseTexts(QWidget* parent, const QString& heading,
                                                 const std::vector<ColumnValues::Value>& values,
                                                 std::vector<bool> chosen) override;
    bool askYesNo(QWidget* parent, const QString& title, const QString& text) override;
    void showCritical(QWidget* parent, const QString& title, const QString& text) override;
    void showInformation(QWidget* parent, const QString& title, const QString& text) override;
    void showNotice(QWidget* near, const QString& text) override;
    std::shared_ptr<PrintDialog> printDialog(QWidget* parent,
                                             std::function<QString()> fileName) override;
    std::unique_ptr<Progress> progress(QWidget* parent, const QString& label) override;

    // Opens the file dialog in the folder of `proposed` with its name typed.
    static void startAt(QFileDialog& dialog, const QString& proposed);
    // The name the user typed in the save dialog, from the path it returned
    // with the types of `filters`.
    static QString typedName(const QString& path, const QStringList& filters);
};
