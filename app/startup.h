#pragma once

#include <QString>

#include <functional>

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

    // A write past the file size limit (`ulimit -f`) or into a pipe no one
    // reads any more fails with EFBIG or EPIPE and is told like a full disk
    // or a closed terminal, instead of ending the program at once by SIGXFSZ
    // or SIGPIPE: a save then removes its temporary file, and a batch goes
    // on with its other files. Nothing on Windows, which has neither.
    static void keepRunningWhenWritesFail();

    // Runs `open`, which creates the application object of the window.
    // Where the window system cannot be reached (no display under ssh or
    // cron), `refusal` is written on stderr instead of Qt's English
    // messages, and the program ends with 2 rather than aborting. Qt's
    // messages are given as they would have been once the window system is
    // reached.
    static void openWindowSystem(const std::function<void()>& open, const QString& refusal);
};
