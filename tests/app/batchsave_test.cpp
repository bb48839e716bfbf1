#include "tests/support/casename.h"
#include "tests/support/testfiles.h"
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

    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir);
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(VERINOVA_CADASTRAL), arguments);
    ASSERT_TRUE(program.waitForFinished(60'000));
    EXPECT_EQ(program.exitCode(), c.exitCode);
    const QString errors = QString::fromLocal8Bit(program.readAllStandardError());
    if (c.exitCode == 2)
        EXPECT_TRUE(errors.contains(QString::fromUtf8(c.errors))) << errors.toStdString();
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
                      SaveRun{"SeveralIntoAFile",
                              {kSave, "{dir}/saida.csv", "{dir}/retorno.txt", "{dir}/retorno.csv"},
                              2,
                              "SAIDA tem de ser uma pasta existente",
                              {}}),
    CaseName());
} // namespace
