#include "tests/support/casename.h"
#include "tests/support/testfiles.h"
#include "tests/support/xlsxbook.h"
#include "tools/returnfilegenerator.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

namespace {
struct SaveRun
{
    const char* name;
    std::vector<const char*> arguments; // "{dir}" stands for the test's folder
    int exitCode;
    const char* errors;            // stderr, "{dir}" as above
    std::vector<const char*> made; // files the run leaves besides the return files
};

class BatchSaveTest : public ::testing::TestWithParam<SaveRun>
{
};

// The program run as from a terminal without a display, in `dir`.
struct Finished
{
    int exitCode = -1;
    QString errors;
};
Finished runProgram(const QStringList& arguments, const QString& dir,
                    const QString& locale = QStringLiteral("C.UTF-8"))
{
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    // As from cron or ssh: Qt's warning about it must not reach the user.
    environment.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    environment.insert(QStringLiteral("LC_ALL"), locale);
    program.setProcessEnvironment(environment);
    program.setWorkingDirectory(dir);
    program.start(QStringLiteral(VERINOVA_CADASTRAL), arguments);
    if (!program.waitForFinished(60'000))
        return {};
    return {program.exitCode(), QString::fromUtf8(program.readAllStandardError())};
}

// The program run as from a terminal without a display: every file saved,
// 0; a file that ends with a message said on stderr while the others are
// saved, 1; wrong usage, 2.
TEST_P(BatchSaveTest, SavesEachFileAndTellsHowItWent)
{
    const SaveRun& c = GetParam();
    TestFiles files;
    files.write(QStringLiteral("retorno.txt"), ReturnFileGenerator().sample(30));
    files.write(QStringLiteral("retorno.csv"), ReturnFileGenerator().sample(3));
    const QString dir = QFileInfo(files.path(QStringLiteral("retorno.txt"))).path();
    QStringList arguments;
    for (const char* argument : c.arguments)
        arguments.append(QString::fromUtf8(argument).replace(QStringLiteral("{dir}"), dir));

    const Finished run = runProgram(arguments, dir);
    EXPECT_EQ(run.exitCode, c.exitCode);
    const QString& errors = run.errors;
    if (c.exitCode == 2)
        EXPECT_TRUE(
            errors.contains(QString::fromUtf8(c.errors).replace(QStringLiteral("{dir}"), dir)))
            << errors.toStdString();
    else
        EXPECT_EQ(errors, QString::fromUtf8(c.errors).replace(QStringLiteral("{dir}"), dir));

    QStringList made = QDir(dir).entryList(QDir::Files | QDir::Hidden);
    made.removeAll(QStringLiteral("retorno.txt"));
    made.removeAll(QStringLiteral("retorno.csv"));
    QStringList expected;
    for (const char* name : c.made)
        expected.append(QString::fromUtf8(name));
    EXPECT_EQ(made, expected);
    for (const QString& name : made)
        EXPECT_GT(QFileInfo(QDir(dir).filePath(name)).size(), 1000) << name.toStdString();
}

constexpr const char* kSave = "--salvar";

INSTANTIATE_TEST_SUITE_P(
    Cases, BatchSaveTest,
    ::testing::Values(SaveRun{"OneFileEachFormat",
                              {kSave, "{dir}/saida.pdf", "{dir}/retorno.txt"},
                              0,
                              "",
                              {"saida.pdf"}},
                      SaveRun{"SeveralIntoAFolder",
                              {"--otimizar", kSave, "{dir}", "--formato", "xlsx",
                               "{dir}/retorno.txt", "{dir}/sumiu.txt"},
                              1,
                              "{dir}/sumiu.txt: Arquivo Selecionado Não Existe\n",
                              {"retorno.xlsx"}},
                      // A return file is never written over by its own result.
                      SaveRun{
                          "OverItsOwnReturnFile",
                          {kSave, "{dir}", "--formato", "csv", "{dir}/retorno.csv"},
                          1,
                          "{dir}/retorno.csv: o resultado seria gravado sobre o próprio arquivo de "
                          "retorno.\n",
                          {}},
                      SaveRun{"UnknownFormat",
                              {kSave, "{dir}/saida.doc", "{dir}/retorno.txt"},
                              2,
                              "SAIDA tem de terminar em .xlsx, .csv ou .pdf",
                              {}},
                      SaveRun{"IntoAFolderThatDoesNotExist",
                              {kSave, "{dir}/naoexiste/", "{dir}/retorno.txt"},
                              2,
                              "a pasta \"{dir}/naoexiste/\" não existe",
                              {}},
                      SaveRun{"SeveralIntoAFile",
                              {kSave, "{dir}/saida.csv", "{dir}/retorno.txt", "{dir}/retorno.csv"},
                              2,
                              "SAIDA tem de ser uma pasta existente",
                              {}}),
    CaseName());

// The users' own locale writes decimal commas; a workbook holding one in its
// widths or margins is refused by spreadsheets.
TEST(BatchSave, WritesAWellFormedWorkbookUnderTheBrazilianLocale)
{
    if (!XlsxBook::available())
        GTEST_SKIP() << "python3-openpyxl is not installed";
    TestFiles files;
    const QString returnFile =
        files.write(QStringLiteral("retorno.txt"), ReturnFileGenerator().sample(30));
    const QString dir = QFileInfo(returnFile).path();
    const Finished run =
        runProgram({QStringLiteral("--salvar"), QStringLiteral("saida.xlsx"), returnFile}, dir,
                   QStringLiteral("pt_BR.UTF-8"));
    ASSERT_EQ(run.exitCode, 0) << run.errors.toStdString();
    const XlsxBook book = XlsxBook::read(QDir(dir).filePath(QStringLiteral("saida.xlsx")));
    ASSERT_FALSE(book.sheets.empty());
    EXPECT_EQ(book.sheets.front().rows.size(), 31u);
}
} // namespace
