#include "app/startup.h"

#include "sheet/sheettemplate.h"
#include "system/terminaltext.h"
#include "system/writesignals.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <utility>
#include <vector>

namespace {
// Qt's messages held back while the window system is being reached.
struct HeldMessage
{
    QtMsgType type;
    QByteArray category;
    QString text;
};
std::vector<HeldMessage> held;
QString refusalText;
} // namespace

bool Startup::installPortuguese(QCoreApplication& app)
{
    const QLocale brazil = SheetTemplate::locale();
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

void Startup::keepRunningWhenWritesFail()
{
    WriteSignals::ignore();
}

void Startup::openWindowSystem(const std::function<void()>& open, const QString& refusal)
{
    refusalText = refusal;
    const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext& context, const QString& message) {
            // The only fatal message while the application object is made
            // is Qt's failure to reach a window system, after which it aborts.
            if (type == QtFatalMsg) {
                TerminalText::write(stderr, refusalText);
                std::_Exit(2);
            }
            held.push_back({type, context.category, message});
        });
    open();
    qInstallMessageHandler(previous);
    for (const HeldMessage& message : std::exchange(held, {})) {
        const QMessageLogContext context(nullptr, 0, nullptr,
                                         message.category.isNull() ? nullptr
                                                                   : message.category.constData());
        qt_message_output(message.type, context, message.text);
    }
}
