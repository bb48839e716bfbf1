#pragma once

#include "windowdialogs.h"

#include <vector>

// Answers the window's dialogs without showing any, and remembers what was
// asked.
class FakeDialogs final : public WindowDialogs
{
public:
    struct Request
    {
        QWidget* parent;
        QString title;
        QString detail; // the folder of an open dialog, the text of a message
    };

    QString chooseFileToOpen(QWidget* parent, const QString& title, const QString& folder) override
    {
        opens.push_back({parent, title, folder});
        return answer;
    }
    void showCritical(QWidget* parent, const QString& title, const QString& text) override
    {
        messages.push_back({parent, title, text});
    }

    QString answer; // what the open dialog returns; empty: cancelled
    std::vector<Request> opens;
    std::vector<Request> messages;
};
