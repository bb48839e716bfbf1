#include "app/cli/batchsave.h"
#include "app/cli/commandline.h"
#include "app/cli/tablesave.h"
#include "app/readablepalette.h"
#include "app/startup.h"
#include "app/verinova.h"
#include "system/headlessplatform.h"
#include "system/systemarguments.h"
#include "system/terminaltext.h"

#include <QApplication>
#include <QGuiApplication>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace {
// Right after the application object, which takes the user's locale for the
// C library from the environment.
void prepare(QCoreApplication& app)
{
    Startup::keepFileNumbersPortable();
    QCoreApplication::setApplicationName(QStringLiteral("Verinova Cadastral"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VERINOVA_VERSION));
    Startup::installPortuguese(app);
}

// The answers on the terminal: help, version, misuse, and saving. An answer
// that could not be written is no answer.
int answer(CommandLine& commandLine, CommandLine::Request request)
{
    switch (request) {
    case CommandLine::Request::Help:
        return TerminalText::write(stdout, commandLine.helpText()) ? 0 : 1;
    case CommandLine::Request::Version:
        return TerminalText::write(stdout, CommandLine::versionText()) ? 0 : 1;
    case CommandLine::Request::Save:
        return BatchSave::run(commandLine.savePlan(), stderr);
    case CommandLine::Request::Overview:
        return TableSave::overview(commandLine.tablePlan(), stderr);
    case CommandLine::Request::Compare:
        return TableSave::compare(commandLine.tablePlan(), stderr);
    case CommandLine::Request::Misuse:
    case CommandLine::Request::Window:
        break;
    }
    TerminalText::write(stderr, commandLine.errorText());
    return 2;
}
} // namespace

int main(int argc, char** argv)
{
    TerminalText::connectStandardStreams();
    Startup::keepRunningWhenWritesFail();
    // Names are taken as the bytes given or not at all.
    CommandLine commandLine;
    if (SystemArguments::givenAsBytes()) {
        if (const QString wrong = commandLine.checkBytes(argc, argv); !wrong.isEmpty()) {
            TerminalText::write(stderr, wrong);
            return 2;
        }
    }
    // What is asked decides the one application object: the window needs the
    // widgets; pages of a PDF need fonts, which need a GUI application though
    // no display; everything else only the core, so that it works without a
    // display. The line is read again once the application object has
    // installed the Portuguese texts its messages are given in.
    const QStringList arguments = SystemArguments::of(argc, argv);
    const CommandLine::Request asked = commandLine.parse(arguments);

    if (asked == CommandLine::Request::Window) {
        std::optional<QApplication> app;
        Startup::openWindowSystem([&] { app.emplace(argc, argv); },
                                  CommandLine::windowWithoutDisplayText());
        prepare(*app);
        ReadablePalette::keepApplicationReadable();
        // Ties the window to the installed desktop entry, for its icon and
        // name in the task bar where the window system asks for it (Wayland).
        QGuiApplication::setDesktopFileName(QStringLiteral(VERINOVA_APP_ID));
        Verinova window;
        window.setReturnFilePath(commandLine.path());
        window.show();
        return QApplication::exec();
    }

    const bool saving = asked == CommandLine::Request::Save;
    const bool table =
        asked == CommandLine::Request::Overview || asked == CommandLine::Request::Compare;
    // Before the application object, which has warnings of its own to give.
    if (saving || table)
        Startup::quietQtWarnings();
    if ((saving && commandLine.savePlan().format == SheetFile::Format::Pdf) ||
        (table && commandLine.tablePlan().format == SheetFile::Format::Pdf)) {
        // The headless platform said on this application's own line, not in
        // the environment that programs it starts would inherit. Qt then
        // takes its arguments() from that changed argv, in Windows' code
        // page: the line is read from `arguments`, as everywhere.
        std::vector<char*> withPlatform(argv, argv + argc);
        char platformOption[] = "-platform";
        std::string headless = HeadlessPlatform::name();
        withPlatform.insert(withPlatform.begin() + 1, {platformOption, headless.data()});
        int count = static_cast<int>(withPlatform.size());
        withPlatform.push_back(nullptr);
        QGuiApplication pages(count, withPlatform.data());
        prepare(pages);
        return answer(commandLine, commandLine.parse(arguments));
    }

    QCoreApplication terminal(argc, argv);
    prepare(terminal);
    return answer(commandLine, commandLine.parse(arguments));
}
