#include "app/cli/commandline.h"
#include "tests/support/casename.h"

#include <QDir>

#include <gtest/gtest.h>

#include <string>

namespace {

using Request = CommandLine::Request;

struct ArgumentsCase
{
    const char* name;
    QStringList arguments;
    Request request;
    QString path;
};

void PrintTo(const ArgumentsCase& c, std::ostream* os)
{
    *os << c.name;
}

class CommandLineTest : public ::testing::TestWithParam<ArgumentsCase>
{
};

TEST_P(CommandLineTest, TellsWhatIsAsked)
{
    CommandLine commandLine;
    EXPECT_EQ(commandLine.parse(GetParam().arguments), GetParam().request);
    EXPECT_EQ(commandLine.path(), GetParam().path);
    EXPECT_EQ(commandLine.errorText().isEmpty(), GetParam().request != Request::Misuse);
}

const QString kProgram = QStringLiteral("verinova-cadastral");

INSTANTIATE_TEST_SUITE_P(
    Cases, CommandLineTest,
    ::testing::Values(
        ArgumentsCase{"NoArgument", {kProgram}, Request::Window, QString()},
        // The box takes the text as given; only the folder button cuts at ";".
        ArgumentsCase{"OnePath",
                      {kProgram, QStringLiteral("/dados/retorno;2.txt")},
                      Request::Window,
                      QStringLiteral("/dados/retorno;2.txt")},
        ArgumentsCase{"PathStartingWithDash",
                      {kProgram, QStringLiteral("--"), QStringLiteral("-retorno.txt")},
                      Request::Window,
                      QStringLiteral("-retorno.txt")},
        ArgumentsCase{"TwoPaths",
                      {kProgram, QStringLiteral("a"), QStringLiteral("b")},
                      Request::Misuse,
                      QString()},
        ArgumentsCase{"UnknownOption",
                      {kProgram, QStringLiteral("--imprimir"), QStringLiteral("a")},
                      Request::Misuse,
                      QString()},
        ArgumentsCase{"Save",
                      {kProgram, QStringLiteral("--salvar"), QStringLiteral("saida.CSV"),
                       QStringLiteral("a")},
                      Request::Save,
                      QString()},
        ArgumentsCase{"SaveWithoutFile",
                      {kProgram, QStringLiteral("--salvar"), QStringLiteral("saida.csv")},
                      Request::Misuse,
                      QString()},
        ArgumentsCase{"OptimizeWithoutSave",
                      {kProgram, QStringLiteral("--otimizar"), QStringLiteral("a")},
                      Request::Misuse,
                      QString()},
        ArgumentsCase{"FormatBesideAFileName",
                      {kProgram, QStringLiteral("--salvar"), QStringLiteral("saida.csv"),
                       QStringLiteral("--formato"), QStringLiteral("pdf"), QStringLiteral("a")},
                      Request::Misuse,
                      QString()},
        ArgumentsCase{"UnknownFormat",
                      {kProgram, QStringLiteral("--salvar"), QDir::tempPath(),
                       QStringLiteral("--formato"), QStringLiteral("ods"), QStringLiteral("a")},
                      Request::Misuse,
                      QString()},
        ArgumentsCase{"Help", {kProgram, QStringLiteral("-h")}, Request::Help, QString()},
        // Asking for help or the version never opens the window, whatever else is given.
        ArgumentsCase{
            "HelpBesideMisuse",
            {kProgram, QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("--help")},
            Request::Help,
            QString()},
        ArgumentsCase{"Version",
                      {kProgram, QStringLiteral("--version"), QStringLiteral("a")},
                      Request::Version,
                      QString()}),
    CaseName());

// Into a folder, each result is named after its return file; two return
// files of one name would write one result over the other.
TEST(CommandLineSave, NamesEachResultAfterItsReturnFile)
{
    const QString folder = QDir::tempPath();
    CommandLine commandLine;
    ASSERT_EQ(commandLine.parse({kProgram, QStringLiteral("--otimizar"), QStringLiteral("--salvar"),
                                 folder, QStringLiteral("--formato"), QStringLiteral("csv"),
                                 QStringLiteral("a/retorno.txt"), QStringLiteral("b/D.CNS.002")}),
              Request::Save);
    const CommandLine::SavePlan& plan = commandLine.savePlan();
    EXPECT_TRUE(plan.optimize);
    EXPECT_EQ(plan.format, SheetFile::Format::Csv);
    ASSERT_EQ(plan.jobs.size(), 2u);
    EXPECT_EQ(plan.jobs[0].returnFile, QStringLiteral("a/retorno.txt"));
    EXPECT_EQ(plan.jobs[0].output, QDir(folder).filePath(QStringLiteral("retorno.csv")));
    EXPECT_EQ(plan.jobs[1].output, QDir(folder).filePath(QStringLiteral("D.CNS.csv")));

    EXPECT_EQ(commandLine.parse({kProgram, QStringLiteral("--salvar"), folder,
                                 QStringLiteral("a/retorno.txt"), QStringLiteral("b/retorno.txt")}),
              Request::Misuse);
}

// --filtro COLUNA=TEXTO, repeated, and --ordenar COLUNA[:desc]: columns by
// their heading in any case, the text exactly as given, "=" included.
TEST(CommandLineRows, FiltersAndSortByColumnHeading)
{
    const QString folder = QDir::tempPath();
    CommandLine commandLine;
    ASSERT_EQ(
        commandLine.parse({kProgram, QStringLiteral("--salvar"), folder, QStringLiteral("--filtro"),
                           QStringLiteral("nome=JOSÉ"), QStringLiteral("--filtro"),
                           QStringLiteral("NOME=a=b"), QStringLiteral("--filtro"),
                           QStringLiteral("COD_CPF_NULO="), QStringLiteral("--ordenar"),
                           QStringLiteral("DN:desc"), QStringLiteral("r.txt")}),
        Request::Save)
        << commandLine.errorText().toStdString();
    const CommandLine::SavePlan& plan = commandLine.savePlan();
    const std::map<int, std::set<std::string>> filters = {{3, {"JOSÉ", "a=b"}}, {15, {""}}};
    EXPECT_EQ(plan.filters, filters);
    EXPECT_EQ(plan.sortColumn, 4);
    EXPECT_EQ(plan.sortDirection, RowSort::Direction::Descending);

    for (const QStringList& wrong :
         {QStringList{QStringLiteral("--filtro"), QStringLiteral("NOME")},
          QStringList{QStringLiteral("--filtro"), QStringLiteral("NOMES=x")},
          QStringList{QStringLiteral("--ordenar"), QStringLiteral("NOME:baixo")},
          QStringList{QStringLiteral("--ordenar"), QStringLiteral("CPF"),
                      QStringLiteral("--ordenar"), QStringLiteral("NIS")}}) {
        EXPECT_EQ(commandLine.parse(QStringList{kProgram, QStringLiteral("--salvar"), folder} +
                                    wrong + QStringList{QStringLiteral("r.txt")}),
                  Request::Misuse)
            << wrong.join(u' ').toStdString();
        EXPECT_EQ(commandLine.parse(QStringList{kProgram} + wrong), Request::Misuse);
    }
}

} // namespace
