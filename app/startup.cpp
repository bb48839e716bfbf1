#include "app/startup.h"

#include "app/cli/terminaltext.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <clocale>
#include <cstdio>

bool Startup::installPortuguese(QCoreApplication& app)
{
    const QLocale brazil(QLocale::Portuguese, QLocale::Brazil);
    QLocale::setDefault(brazil);

    // Qt's own folder where Qt is installed system-wide (Linux); beside the
    // program where the program carries its Qt (the Windows folder and zip).
    auto* translator = new QTranslator(&app);
    const auto loaded = [&](const QString& folder) {
        return translator->load(brazil, QStringLiteral("qtbase"), QStringLiteral("_"), folder);
    };
    if (!(loaded(QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
          loaded(QCoreApplication::applicationDirPath() + QStringLiteral("/translations"))) ||
        !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return false;
    }
    return true;
}

void Startup::keepFileNumbersPortable()
{
    std::setlocale(LC_NUMERIC, "C");
}

void Startup::quietQtWarnings()
{
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type == QtCriticalMsg || type == QtFatalMsg)
            TerminalText::write(stderr, message + u'\n');
    });
}
