#include "app/commandline.h"
#include "tests/support/casename.h"

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
                      {kProgram, QStringLiteral("--salvar"), QStringLiteral("a")},
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

} // namespace
