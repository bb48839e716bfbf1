#pragma once

#include <QStringList>

#include <optional>

class QCoreApplication;

// What the program sets up before it shows its window.
class Startup
{
public:
    // Qt's own texts in Brazilian Portuguese (the OK button, the file and
    // print dialogs) and Brazilian formats for numbers and dates. Returns
    // whether Qt's translation was found.
    static bool installPortuguese(QCoreApplication& app);

    // The path box's text at start-up from the program's arguments, program
    // name first: the one optional argument, empty text without it, nothing
    // when there are more.
    static std::optional<QString> pathFromArguments(const QStringList& arguments);
};
