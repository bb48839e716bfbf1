#pragma once

#include "app/windowdialogs.h"

// The dialogs as the user sees them: Qt's file dialog (the platform's own
// where there is one) and Qt's message box.
class SystemDialogs final : public WindowDialogs
{
public:
    QString chooseFileToOpen(QWidget* parent, const QString& title, const QString& folder) override;
    void showCritical(QWidget* parent, const QString& title, const QString& text) override;
    std::shared_ptr<PrintDialog> printDialog(QWidget* parent) override;
};
