#include "app/cli/commandline.h"

#include "sheet/returnfields.h"
#include "sheet/sheettemplate.h"
#include "system/filepattern.h"
#include "system/systemarguments.h"
#include "system/terminaltext.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <set>
#include <utility>

namespace {
const QString kProgram = QStringLiteral("verinova-cadastral");

// The 1-based column headed `name`, whatever its case; 0 for none.
int columnNamed(const QString& name)
{
    for (int col = 1; col <= ReturnFields::kCount; ++col) {
        if (SheetTemplate::heading(col).compare(name, Qt::CaseInsensitive) == 0)
            return col;
    }
    return 0;
}

QString unknownColumn(const QString& name)
{
    QStringList headings;
    for (int col = 1; col <= ReturnFields::kCount; ++col)
        headings.append(SheetTemplate::heading(col));
    return QStringLiteral("coluna desconhecida: \"%1\"; as colunas são %2.")
        .arg(TerminalText::shown(name), headings.join(QStringLiteral(", ")));
}

QString misuse(const QString& what)
{
    return kProgram + QStringLiteral(": ") + what + QStringLiteral("\nUse ") + kProgram +
           QStringLiteral(" --help para ver as opções.\n");
}
} // namespace

CommandLine::CommandLine() : CommandLine(SystemArguments::expandsPatterns()) {}

CommandLine::CommandLine(bool expandPatterns)
    : help_({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Mostra esta ajuda.")),
      version_({QStringLiteral("v"), QStringLiteral("version")},
               QStringLiteral("Mostra a versão.")),
      save_(QStringLiteral("salvar"),
            QStringLiteral("Sem abrir a janela, processa cada ARQUIVO e salva o resultado em "
                           "SAIDA, no formato da extensão: .xlsx, .csv ou .pdf. Com vários "
                           "arquivos, SAIDA é uma pasta existente e cada resultado leva o "
                           "nome do seu arquivo de retorno."),
            QStringLiteral("SAIDA")),
      optimize_(QStringLiteral("otimizar"),
                QStringLiteral("Com --salvar: otimiza cada resultado antes de salvá-lo.")),
      format_(QStringLiteral("formato"),
              QStringLiteral("Com --salvar e SAIDA uma pasta: o formato dos resultados, "
                             "xlsx (o padrão), csv ou pdf."),
              QStringLiteral("FORMATO")),
      filter_(QStringLiteral("filtro"),
              QStringLiteral("Com --salvar: salva só os trabalhadores cuja COLUNA mostra "
                             "exatamente TEXTO, como na planilha (por exemplo "
                             "COD_CPF_CANCELADO=\"CPF CANCELADO no Cadastro CPF\"). Pode ser "
                             "repetida: vale para todas as colunas dadas ao mesmo tempo; numa "
                             "mesma coluna, qualquer um dos textos dados."),
              QStringLiteral("COLUNA=TEXTO")),
      sort_(QStringLiteral("ordenar"),
            QStringLiteral("Com --salvar: salva os trabalhadores na ordem da COLUNA, de A a Z "
                           "(datas do DN como datas, CPF e NIS como números), ou de Z a A "
                           "com :desc."),
            QStringLiteral("COLUNA[:desc]")),
      overview_(QStringLiteral("resumo"),
                QStringLiteral("Sem abrir a janela, salva em SAIDA a visão geral dos arquivos de "
                               "retorno dados e dos arquivos de cada PASTA dada: uma linha por "
                               "arquivo, com o CNPJ, a data do retorno, os trabalhadores, os com "
                               "problema e os com orientação, e quantos cada verificação e "
                               "orientação aponta. Formato pela extensão: .xlsx, .csv ou .pdf."),
                QStringLiteral("SAIDA")),
      compare_(QStringLiteral("comparar"),
               QStringLiteral("Com --salvar SAIDA e um ARQUIVO: compara o ARQUIVO com o retorno "
                              "ANTERIOR e salva cada trabalhador com a sua situação (Resolvido, "
                              "Pendente, Novo problema, Sem problema, Só no anterior) e as "
                              "mensagens de antes e de agora."),
               QStringLiteral("ANTERIOR")),
      expandPatterns_(expandPatterns)
{
    parser_.setApplicationDescription(
        QStringLiteral("Abre a janela do Verinova Cadastral, que mostra o arquivo de retorno da\n"
                       "qualificação cadastral numa planilha com cada código traduzido, ou,\n"
                       "com --salvar, salva o resultado em XLSX, CSV ou PDF sem abrir a janela;\n"
                       "com --resumo, a visão geral de muitos retornos; com --comparar, o que\n"
                       "mudou desde o retorno anterior.\n"
                       "Lê arquivos de retorno em UTF-8, Windows-1252 e UTF-16."));
    parser_.addOption(help_);
    parser_.addOption(version_);
    parser_.addOption(save_);
    parser_.addOption(optimize_);
    parser_.addOption(format_);
    parser_.addOption(filter_);
    parser_.addOption(sort_);
    parser_.addOption(overview_);
    parser_.addOption(compare_);
    parser_.addPositionalArgument(
        QStringLiteral("ARQUIVO"),
        QStringLiteral("Arquivo de retorno cujo caminho já vem preenchido na janela; com "
                       "--salvar, um ou mais arquivos de retorno; com --resumo, arquivos e "
                       "pastas de arquivos de retorno; com --comparar, o retorno atual."),
        QStringLiteral("[ARQUIVO...]"));
}

CommandLine::Request CommandLine::parse(const QStringList& arguments)
{
    path_.clear();
    plan_ = {};
    table_ = {};
    error_.clear();
    unmatched_.clear();
    const bool parsed = parser_.parse(arguments);
    if (parser_.isSet(help_))
        return Request::Help;
    if (parser_.isSet(version_))
        return Request::Version;

    const QStringList files = expanded(parser_.positionalArguments());
    const bool saving = parsed && parser_.isSet(save_);
    const bool overview = parsed && parser_.isSet(overview_);
    const bool comparing = parsed && parser_.isSet(compare_);
    if (!parsed)
        error_ = TerminalText::shown(parser_.errorText());
    else if (const QString repeated = repeatedOption(); !repeated.isEmpty())
        error_ = QStringLiteral("--%1 vale uma vez só.").arg(repeated);
    else if (overview || comparing)
        error_ = planTable(files);
    else if (saving)
        error_ = planSave(files);
    else if (parser_.isSet(optimize_) || parser_.isSet(format_) || parser_.isSet(filter_) ||
             parser_.isSet(sort_))
        error_ = QStringLiteral("--otimizar, --formato, --filtro e --ordenar só valem com "
                                "--salvar.");
    else if (files.size() > 1)
        error_ = QStringLiteral("só um arquivo de retorno pode ser aberto de cada vez.");
    if (!error_.isEmpty()) {
        error_ = misuse(error_);
        return Request::Misuse;
    }
    plan_.unmatched = unmatched_;
    table_.unmatched = unmatched_;
    if (overview)
        return Request::Overview;
    if (comparing)
        return Request::Compare;
    if (saving)
        return Request::Save;
    path_ = files.value(0);
    return Request::Window;
}

// Where each result goes, or what is wrong with the line.
QString CommandLine::planSave(const QStringList& files)
{
    const QString output = parser_.value(save_);
    plan_.optimize = parser_.isSet(optimize_);
    if (const QString wrong = planRows(); !wrong.isEmpty())
        return wrong;
    if (files.isEmpty())
        return QStringLiteral("falta o arquivo de retorno a salvar.");
    if (output.isEmpty())
        return QStringLiteral("--salvar precisa de SAIDA.");

    if (!QFileInfo(output).isDir()) {
        // "saida/" names a folder, whatever comes after it.
        if (output.endsWith(u'/') || output.endsWith(QDir::separator()))
            return QStringLiteral("a pasta \"%1\" não existe.")
                .arg(TerminalText::shownPath(output));
        if (files.size() > 1)
            return QStringLiteral("com vários arquivos de retorno, SAIDA tem de ser uma pasta "
                                  "existente: \"%1\".")
                .arg(TerminalText::shownPath(output));
        if (parser_.isSet(format_))
            return QStringLiteral("--formato só vale quando SAIDA é uma pasta.");
        const std::optional<SheetFile::Format> format = SheetFile::formatOf(output);
        if (!format)
            return QStringLiteral("SAIDA tem de terminar em .xlsx, .csv ou .pdf: \"%1\".")
                .arg(TerminalText::shownPath(output));
        plan_.format = *format;
        plan_.jobs.push_back({files.front(), output});
        return {};
    }

    if (parser_.isSet(format_)) {
        const std::optional<SheetFile::Format> format =
            SheetFile::formatOf(QStringLiteral("x.") + parser_.value(format_));
        if (!format)
            return QStringLiteral("formato desconhecido: \"%1\"; use xlsx, csv ou pdf.")
                .arg(TerminalText::shown(parser_.value(format_)));
        plan_.format = *format;
    }
    // Two return files of one name would write one result over the other.
    std::set<QString> outputs;
    const QDir folder(output);
    for (const QString& file : files) {
        const QString target = folder.filePath(SheetFile::resultName(file, plan_.format));
        if (!outputs.insert(QFileInfo(target).absoluteFilePath()).second)
            return QStringLiteral("dois arquivos de retorno dariam o mesmo resultado \"%1\".")
                .arg(TerminalText::shownPath(target));
        plan_.jobs.push_back({file, target});
    }
    return {};
}

// What --resumo or --comparar reads and where it goes, or what is wrong
// with the line.
QString CommandLine::planTable(const QStringList& files)
{
    const bool overview = parser_.isSet(overview_);
    if (overview && parser_.isSet(compare_))
        return QStringLiteral("--resumo e --comparar não valem juntas.");
    if (overview && parser_.isSet(save_))
        return QStringLiteral("--resumo já diz onde salvar: não vale com --salvar.");
    if (parser_.isSet(optimize_) || parser_.isSet(format_) || parser_.isSet(filter_) ||
        parser_.isSet(sort_))
        return QStringLiteral("--otimizar, --formato, --filtro e --ordenar não valem com %1.")
            .arg(overview ? QStringLiteral("--resumo") : QStringLiteral("--comparar"));
    if (!overview && !parser_.isSet(save_))
        return QStringLiteral("--comparar precisa de --salvar SAIDA.");
    if (overview && files.isEmpty())
        return QStringLiteral("falta o arquivo ou a pasta de que fazer a visão geral.");
    if (!overview && files.size() != 1)
        return QStringLiteral("--comparar compara um só ARQUIVO, o retorno atual, com ANTERIOR.");
    table_.output = parser_.value(overview ? overview_ : save_);
    const std::optional<SheetFile::Format> format = SheetFile::formatOf(table_.output);
    if (!format || QFileInfo(table_.output).isDir())
        return QStringLiteral("SAIDA tem de ser um arquivo terminado em .xlsx, .csv ou .pdf: "
                              "\"%1\".")
            .arg(TerminalText::shownPath(table_.output));
    table_.format = *format;
    table_.inputs = files;
    if (overview)
        return {};
    table_.earlier = parser_.value(compare_);
    const QStringList earlier = expanded({table_.earlier});
    if (earlier.size() > 1)
        return QStringLiteral("ANTERIOR \"%1\" corresponde a %2 arquivos; --comparar compara "
                              "com um só.")
            .arg(TerminalText::shownPath(table_.earlier))
            .arg(earlier.size());
    table_.earlier = earlier.front();
    return {};
}

QStringList CommandLine::expanded(const QStringList& files)
{
    if (!expandPatterns_)
        return files;
    QStringList found;
    for (const QString& file : files) {
        const QStringList matches =
            FilePattern::isPattern(file) ? FilePattern::matches(file) : QStringList{file};
        if (matches.isEmpty()) {
            // Kept, as a missing file is, to be told in its turn.
            unmatched_.append(file);
            found.append(file);
        }
        found.append(matches);
    }
    return found;
}

// The rows each result keeps and their order, or what is wrong with them.
QString CommandLine::planRows()
{
    for (const QString& filter : parser_.values(filter_)) {
        const qsizetype equals = filter.indexOf(u'=');
        if (equals < 0)
            return QStringLiteral("--filtro precisa de COLUNA=TEXTO: \"%1\".")
                .arg(TerminalText::shown(filter));
        const QString name = filter.left(equals);
        const int col = columnNamed(name);
        if (col == 0)
            return unknownColumn(name);
        plan_.filters[col].insert(filter.mid(equals + 1).toStdString());
    }
    if (!parser_.isSet(sort_))
        return {};
    const QStringList values = parser_.values(sort_);
    QString name = values.front();
    const qsizetype colon = name.lastIndexOf(u':');
    if (colon >= 0) {
        const QString direction = name.mid(colon + 1);
        if (direction.compare(QStringLiteral("desc"), Qt::CaseInsensitive) == 0)
            plan_.sortDirection = RowSort::Direction::Descending;
        else if (direction.compare(QStringLiteral("asc"), Qt::CaseInsensitive) != 0)
            return QStringLiteral("--ordenar aceita COLUNA ou COLUNA:desc: \"%1\".")
                .arg(TerminalText::shown(values.front()));
        name.truncate(colon);
    }
    plan_.sortColumn = columnNamed(name);
    return plan_.sortColumn == 0 ? unknownColumn(name) : QString();
}

// The options that take a value, by name; a value given again would
// silently replace the first, except --filtro's, which add up.
const QCommandLineOption* CommandLine::optionNamed(const QString& name) const
{
    for (const QCommandLineOption* option : {&help_, &version_, &save_, &optimize_, &format_,
                                             &filter_, &sort_, &overview_, &compare_}) {
        if (option->names().contains(name))
            return option;
    }
    return nullptr;
}

QString CommandLine::repeatedOption() const
{
    for (const QCommandLineOption* option : {&save_, &format_, &sort_, &overview_, &compare_}) {
        if (parser_.values(*option).size() > 1)
            return option->names().constLast();
    }
    return {};
}

QString CommandLine::checkBytes(int argc, const char* const* argv) const
{
    QString valueOf;        // the option the next argument is the value of
    bool onlyNames = false; // after "--"
    for (int i = 1; i < argc; ++i) {
        QByteArray bytes(argv[i]);
        QString option = std::exchange(valueOf, {});
        bool isOption = false;
        if (option.isEmpty() && !onlyNames && bytes.startsWith('-') && bytes.size() > 1) {
            if (bytes == "--") {
                onlyNames = true;
                continue;
            }
            isOption = true;
            const qsizetype equals = bytes.indexOf('=');
            const QCommandLineOption* known =
                bytes.startsWith("--")
                    ? optionNamed(QFile::decodeName(bytes.mid(2, equals < 0 ? -1 : equals - 2)))
                    : nullptr;
            if (known && !known->valueName().isEmpty()) {
                if (equals < 0) {
                    valueOf = known->names().constLast();
                } else {
                    option = known->names().constLast();
                    isOption = false;
                    bytes.remove(0, equals + 1);
                }
            }
        }
        if (QFile::encodeName(QFile::decodeName(bytes)) == bytes)
            continue;
        const QString shown = TerminalText::shownBytes(bytes);
        // Options' names are all ASCII; a text, unlike a name, can be typed
        // again.
        if (isOption)
            return misuse(QStringLiteral("opção desconhecida: \"%1\".").arg(shown));
        const bool names = option == save_.names().constLast() ||
                           option == overview_.names().constLast() ||
                           option == compare_.names().constLast();
        if (!option.isEmpty() && !names)
            return misuse(QStringLiteral("--%1 \"%2\": o texto não está em UTF-8. Use um "
                                         "terminal ou um script em UTF-8.")
                              .arg(option, shown));
        return misuse(QStringLiteral("o nome \"%1\" não pode ser usado: não é texto UTF-8. "
                                     "Renomeie o arquivo ou a pasta.")
                          .arg(shown));
    }
    return {};
}

QString CommandLine::windowWithoutDisplayText()
{
    return kProgram +
           QStringLiteral(": a janela precisa de uma sessão gráfica, e nenhuma tela pôde ser "
                          "aberta.\nSem tela, o resultado pode ser salvo pela linha de comando, "
                          "por exemplo:\n  ") +
           kProgram + QStringLiteral(" --otimizar --salvar resultado.xlsx ARQUIVO\nUse ") +
           kProgram + QStringLiteral(" --help para ver as opções.\n");
}

QString CommandLine::versionText()
{
    return QCoreApplication::applicationName() + QLatin1Char(' ') +
           QCoreApplication::applicationVersion() + QLatin1Char('\n');
}
