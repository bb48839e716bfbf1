// verinova-shot RETURN-FILE OUT.png
// Opens the real window, puts the return file into the path box, clicks
// "Processar" and saves what the window shows. Run it under a display
// (scripts/screenshot uses Xvfb); QT_SCALE_FACTOR gives a high-density shot.
#include "app/readablepalette.h"
#include "app/startup.h"
#include "app/verinova.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QPixmap>
#include <QWindow>

#include <cstdio>
#include <memory>

namespace {
// Nothing may wait for a click here: a message goes to stderr instead of a
// box, and the shot fails.
class NoDialogs final : public WindowDialogs
{
public:
    QString chooseFileToOpen(QWidget*, const QString&, const QString&) override { return {}; }
    QString chooseFolder(QWidget*, const QString&, const QString&) override { return {}; }
    std::optional<SaveChoice> chooseFileToSave(QWidget*, const QString&, const QString&,
                                               const QStringList&) override
    {
        return std::nullopt;
    }
    std::optional<QString> askText(QWidget*, const QString&, const QString&,
                                   const QString&) override
    {
        return std::nullopt;
    }
    std::optional<std::vector<bool>> chooseTexts(QWidget*, const QString&,
                                                 const std::vector<ColumnValues::Value>&,
                                                 std::vector<bool>) override
    {
        return std::nullopt;
    }
    void showCritical(QWidget*, const QString& title, const QString& text) override
    {
        std::fprintf(stderr, "verinova-shot: %s: %s\n", qPrintable(title), qPrintable(text));
        failed = true;
    }
    bool askYesNo(QWidget*, const QString&, const QString&) override { return false; }
    void showInformation(QWidget*, const QString&, const QString&) override {}
    void showNotice(QWidget*, const QString&) override {}
    // The shot never prints or saves.
    std::shared_ptr<PrintDialog> printDialog(QWidget*, std::function<QString()>) override
    {
        return nullptr;
    }
    std::unique_ptr<Progress> progress(QWidget*, const QString&) override { return nullptr; }
    bool failed = false;
};
} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() != 3) {
        std::fputs("usage: verinova-shot RETURN-FILE OUT.png\n", stderr);
        return 2;
    }
    Startup::installPortuguese(app);
    ReadablePalette::keepApplicationReadable();

    auto dialogs = std::make_unique<NoDialogs>();
    const NoDialogs& said = *dialogs;
    Verinova window(std::move(dialogs));
    window.setReturnFilePath(arguments.at(1));
    window.show();
    QElapsedTimer waited;
    waited.start();
    while (!(window.windowHandle() && window.windowHandle()->isExposed()) &&
           waited.elapsed() < 5000)
        QApplication::processEvents(QEventLoop::AllEvents, 50);

    auto* processar = window.findChild<QAbstractButton*>(QStringLiteral("Command2"));
    if (!processar) {
        std::fputs("verinova-shot: no Processar button\n", stderr);
        return 1;
    }
    processar->click();
    QApplication::processEvents();
    if (said.failed)
        return 1;

    if (!window.grab().save(arguments.at(2))) {
        std::fprintf(stderr, "verinova-shot: cannot write %s\n", qPrintable(arguments.at(2)));
        return 1;
    }
    return 0;
}
