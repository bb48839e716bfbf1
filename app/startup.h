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

    // Puts the C library's number formatting back to "C" once an application
    // object has taken the user's locale from the environment. Files the
    // program writes through C formatting (libxlsxwriter's widths and
    // margins) would otherwise read "0,7" under a Brazilian locale, which no
    // spreadsheet accepts as a number. Qt's own formatting follows QLocale and
    // is not touched.
    static void keepFileNumbersPortable();

    // On the command line, only the program's own Portuguese messages reach
    // the terminal: Qt's English warnings (a missing XDG_RUNTIME_DIR under
    // cron or ssh, fonts) say nothing a user can act on. Its critical and
    // fatal messages still pass.
    static void quietQtWarnings();
};
