#include "app/startup.h"
#include "tests/support/casename.h"

#include <QCoreApplication>
#include <QLocale>

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

struct ArgumentsCase
{
    const char* name;
    QStringList arguments;
    std::optional<QString> path;
};

void PrintTo(const ArgumentsCase& c, std::ostream* os)
{
    *os << c.name;
}

class ArgumentsTest : public ::testing::TestWithParam<ArgumentsCase>
{
};

TEST_P(ArgumentsTest, GivesThePathBoxItsStartText)
{
    EXPECT_EQ(Startup::pathFromArguments(GetParam().arguments), GetParam().path);
}

const QString kProgram = QStringLiteral("verinova-cadastral");

INSTANTIATE_TEST_SUITE_P(
    Cases, ArgumentsTest,
    ::testing::Values(ArgumentsCase{"NoArgument", {kProgram}, QString()},
                      // The box takes the text as given; only the folder button cuts at ";".
                      ArgumentsCase{"OnePath",
                                    {kProgram, QStringLiteral("/dados/retorno;2.txt")},
                                    QStringLiteral("/dados/retorno;2.txt")},
                      ArgumentsCase{"TwoPaths",
                                    {kProgram, QStringLiteral("a"), QStringLiteral("b")},
                                    std::nullopt}),
    CaseName());

TEST(StartupTest, QtSpeaksBrazilianPortuguese)
{
    ASSERT_TRUE(Startup::installPortuguese(*QCoreApplication::instance()));
    EXPECT_EQ(QLocale().name(), QStringLiteral("pt_BR"));
    // The standard dialog buttons and the file dialog.
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancelar"));
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Open"), QStringLiteral("Abrir"));
}

} // namespace
