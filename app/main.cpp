#include "app/startup.h"
#include "app/verinova.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Verinova Cadastral"));
    Startup::installPortuguese(app);

    const std::optional<QString> path = Startup::pathFromArguments(QApplication::arguments());
    if (!path) {
        std::fputs("uso: verinova-cadastral [arquivo de retorno]\n", stderr);
        return 2;
    }

    Verinova window;
    window.setReturnFilePath(*path);
    window.show();
    return QApplication::exec();
}
