#include "app/commandline.h"

#include <QCoreApplication>

namespace {
const QString kProgram = QStringLiteral("verinova-cadastral");
} // namespace

CommandLine::CommandLine()
    : help_({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Mostra esta ajuda.")),
      version_({QStringLiteral("v"), QStringLiteral("version")}, QStringLiteral("Mostra a versão."))
{
    parser_.setApplicationDescription(
        QStringLiteral("Abre a janela do Verinova Cadastral, que mostra o arquivo de retorno da\n"
                       "qualificação cadastral numa planilha com cada código traduzido."));
    parser_.addOption(help_);
    parser_.addOption(version_);
    parser_.addPositionalArgument(
        QStringLiteral("ARQUIVO"),
        QStringLiteral("Arquivo de retorno cujo caminho já vem preenchido na janela."),
        QStringLiteral("[ARQUIVO]"));
}

CommandLine::Request CommandLine::parse(const QStringList& arguments)
{
    path_.clear();
    error_.clear();
    const bool parsed = parser_.parse(arguments);
    if (parser_.isSet(help_))
        return Request::Help;
    if (parser_.isSet(version_))
        return Request::Version;

    const QStringList files = parser_.positionalArguments();
    if (!parsed)
        error_ = parser_.errorText();
    else if (files.size() > 1)
        error_ = QStringLiteral("só um arquivo de retorno pode ser aberto de cada vez.");
    if (!error_.isEmpty()) {
        error_ = kProgram + QStringLiteral(": ") + error_ + QStringLiteral("\nUse ") + kProgram +
                 QStringLiteral(" --help para ver as opções.\n");
        return Request::Misuse;
    }
    path_ = files.value(0);
    return Request::Window;
}

QString CommandLine::versionText()
{
    return QCoreApplication::applicationName() + QLatin1Char(' ') +
           QCoreApplication::applicationVersion() + QLatin1Char('\n');
}
