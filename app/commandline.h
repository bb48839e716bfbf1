#pragma once

#include <QCommandLineParser>
#include <QString>
#include <QStringList>

// What the program is asked on its command line: the window, with a return
// file's path in its box or not, or only an answer on the terminal.
class CommandLine
{
public:
    enum class Request
    {
        Window,
        Help,
        Version,
        Misuse
    };

    CommandLine();

    // The arguments program name first, as QCoreApplication::arguments()
    // gives them. Help and version win over anything else on the line.
    Request parse(const QStringList& arguments);

    // After Window: the path box's text at start-up, empty without a file.
    QString path() const { return path_; }
    // After Help: the usage, the options and the argument.
    QString helpText() const { return parser_.helpText(); }
    // After Version: the program's name and version.
    static QString versionText();
    // After Misuse: what was wrong, then how to ask for help.
    QString errorText() const { return error_; }

private:
    QCommandLineParser parser_;
    QCommandLineOption help_;
    QCommandLineOption version_;
    QString path_;
    QString error_;
};
