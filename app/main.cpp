#include "app/batchsave.h"
#include "app/commandline.h"
#include "app/startup.h"
#include "app/verinova.h"

#include <QApplication>
#include <QGuiApplication>

#include <cstdio>

namespace {
// Right after each application object, which sets the C library's locale
// from the environment.
void nameProgram()
{
    Startup::keepFileNumbersPortable();
    QCoreApplication::setApplicationName(QStringLiteral("Verinova Cadastral"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VERINOVA_VERSION));
}
} // namespace

int main(int argc, char** argv)
{
    // Names are taken as the bytes given or not at all.
    if (const QString wrong = CommandLine::checkBytes(argc, argv); !wrong.isEmpty()) {
        std::fputs(wrong.toLocal8Bit().constData(), stderr);
        return 2;
    }
    QString path;
    CommandLine::SavePlan pdfPlan;
    {
        // Help, version, misuse and saving are answered before the window
        // system is reached, so that they work without a display.
        QCoreApplication terminal(argc, argv);
        nameProgram();
        Startup::installPortuguese(terminal);
        CommandLine commandLine;
        switch (commandLine.parse(QCoreApplication::arguments())) {
        case CommandLine::Request::Help:
            std::fputs(qPrintable(commandLine.helpText()), stdout);
            return 0;
        case CommandLine::Request::Version:
            std::fputs(qPrintable(CommandLine::versionText()), stdout);
            return 0;
        case CommandLine::Request::Misuse:
            std::fputs(qPrintable(commandLine.errorText()), stderr);
            return 2;
        case CommandLine::Request::Save:
            Startup::quietQtWarnings();
            if (commandLine.savePlan().format != SheetFile::Format::Pdf)
                return BatchSave::run(commandLine.savePlan(), stderr);
            pdfPlan = commandLine.savePlan();
            break;
        case CommandLine::Request::Window:
            path = commandLine.path();
            break;
        }
    }

    if (!pdfPlan.jobs.empty()) {
        // Pages need fonts, which need a GUI application, though not a display.
        qputenv("QT_QPA_PLATFORM", "offscreen");
        QGuiApplication pages(argc, argv);
        nameProgram();
        return BatchSave::run(pdfPlan, stderr);
    }

    QApplication app(argc, argv);
    nameProgram();
    // Ties the window to the installed desktop entry, for its icon and name
    // in the task bar where the window system asks for it (Wayland).
    QGuiApplication::setDesktopFileName(QStringLiteral(VERINOVA_APP_ID));
    Startup::installPortuguese(app);

    Verinova window;
    window.setReturnFilePath(path);
    window.show();
    return QApplication::exec();
}
