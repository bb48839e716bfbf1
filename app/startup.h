#pragma once

class QCoreApplication;

// What the program sets up before it shows its window.
class Startup
{
public:
    // Qt's own texts in Brazilian Portuguese (the OK button, the file and
    // print dialogs) and Brazilian formats for numbers and dates. Returns
    // whether Qt's translation was found.
    static bool installPortuguese(QCoreApplication& app);
};
