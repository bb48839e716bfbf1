#include "app/cli/batchsave.h"
#include "app/cli/commandline.h"
#include "app/cli/tablesave.h"
#include "processing/importcommand.h"
#include "sheet/resultsheet.h"
#include "system/terminaltext.h"
#include "tests/support/casename.h"
#include "tests/support/failingallocation.h"
#include "tests/support/testfiles.h"
#include "tests/support/xlsxbook.h"
#include "tools/returnfilegenerator.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <limits>
#include <map>
#include <string>
#include <utility>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;
#endif

using namespace Qt::Literals::StringLiterals;

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
    // Windows' C library ends the lines it writes with CR LF.
    return {program.exitCode(),
            QString::fromUtf8(program.readAllStandardError()).replace(u"\r\n"_s, u"\n"_s)};
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
    files.write(QStringLiteral("lista.txt"), "Lista de compras\narroz\nfeijão;farinha\n");
    files.write(QStringLiteral("vazio.txt"), ReturnFileGenerator::header());
    // Still being copied: it stops in its 32nd line.
    files.write(QStringLiteral("cortado.txt"), ReturnFileGenerator().sample(30) + "07");
    const QString dir = QFileInfo(files.path(QStringLiteral("retorno.txt"))).path();
#ifndef _WIN32
    ASSERT_EQ(
        symlink("/dev/null", QFile::encodeName(QDir(dir).filePath(QStringLiteral("nulo.csv")))), 0);
    // A second name of the return file, as a bind mount gives one.
    ASSERT_EQ(link(QFile::encodeName(QDir(dir).filePath(QStringLiteral("retorno.csv"))),
                   QFile::encodeName(QDir(dir).filePath(QStringLiteral("ligado.csv")))),
              0);
#endif
    QStringList arguments;
    for (const char* argument : c.arguments)
        arguments.append(QString::fromUtf8(argument).replace(QStringLiteral("{dir}"), dir));

    const Finished run = runProgram(arguments, dir);
    EXPECT_EQ(run.exitCode, c.exitCode);
    const QString& errors = run.errors;
    // Every path told in the system's own separators.
    const QString told =
        QDir::toNativeSeparators(QString::fromUtf8(c.errors).replace(QStringLiteral("{dir}"), dir));
    // Misuse is told in the program's words alone, never Qt's.
    if (c.exitCode == 2)
        EXPECT_TRUE(errors.startsWith(u"verinova-cadastral: "_s) && errors.contains(told))
            << errors.toStdString();
    else
        EXPECT_EQ(errors, told) << errors.toStdString();

    QStringList made = QDir(dir).entryList(QDir::Files | QDir::Hidden);
    made.removeAll(QStringLiteral("retorno.txt"));
    made.removeAll(QStringLiteral("retorno.csv"));
    made.removeAll(QStringLiteral("nulo.csv"));
    made.removeAll(QStringLiteral("ligado.csv"));
    made.removeAll(QStringLiteral("lista.txt"));
    made.removeAll(QStringLiteral("vazio.txt"));
    made.removeAll(QStringLiteral("cortado.txt"));
    QStringList expected;
    for (const char* name : c.made)
        expected.append(QString::fromUtf8(name));
    EXPECT_EQ(made, expected);
    for (const QString& name : made)
        EXPECT_GT(QFileInfo(QDir(dir).filePath(name)).size(), 1000) << name.toStdString();
}

constexpr const char* kSave = "--salvar";
// What the window's box says of the file cut in its 32nd line.
#define CUT_AT_32                                                                                   \
    "O Arquivo Selecionado parece cortado na linha 32, a última: ela não tem os 21 campos nem o " \
    "fim de linha, e não foi carregada. Copie o arquivo de novo."

INSTANTIATE_TEST_SUITE_P(
    Cases, BatchSaveTest,
    ::testing::Values(
        SaveRun{"OneFileEachFormat",
                {kSave, "{dir}/saida.pdf", "{dir}/retorno.txt"},
                0,
                "",
                {"saida.pdf"}},
        SaveRun{"SeveralIntoAFolder",
                {"--otimizar", kSave, "{dir}", "--formato", "xlsx", "{dir}/retorno.txt",
                 "{dir}/sumiu.txt"},
                1,
                "{dir}/sumiu.txt: Arquivo Selecionado Não Existe\n",
                {"retorno.xlsx"}},
        // Neither a file that is not a return file nor one without
        // any worker passes for a result without problems.
        SaveRun{"NoResultForWhatHoldsNoWorker",
                {"--otimizar", kSave, "{dir}", "--formato", "xlsx", "{dir}/lista.txt",
                 "{dir}/vazio.txt", "{dir}/retorno.txt"},
                1,
                "{dir}/lista.txt: O Arquivo Selecionado não é um Arquivo de "
                "Retorno: nenhuma linha tem os 21 campos separados por \";\". Nada "
                "foi carregado.\n{dir}/vazio.txt: O arquivo não tem nenhum "
                "trabalhador.\n",
                {"retorno.xlsx"}},
        // A file still being copied is saved without its last fragment,
        // and said; its result lacks the rest of the file, so the run fails.
        SaveRun{"CutReturnIsToldAndFails",
                {kSave, "{dir}", "--formato", "xlsx", "{dir}/cortado.txt", "{dir}/retorno.txt"},
                1,
                "{dir}/cortado.txt: " CUT_AT_32 "\n",
                {"cortado.xlsx", "retorno.xlsx"}},
        // A return file is never written over by its own result.
        SaveRun{"OverItsOwnReturnFile",
                {kSave, "{dir}", "--formato", "csv", "{dir}/retorno.csv"},
                1,
                "{dir}/retorno.csv: o resultado seria gravado sobre o próprio arquivo de "
                "retorno.\n",
                {}},
        // Another month's return of the company, whatever its name ends
        // in, is never written over by a result.
        SaveRun{"OverAnotherReturnFile",
                {kSave, "{dir}/retorno.csv", "{dir}/retorno.txt"},
                1,
                "{dir}/retorno.txt: o resultado não foi salvo: \"{dir}/retorno.csv\" é um "
                "arquivo de retorno e seria perdido. Escolha outro nome.\n",
                {}},
        SaveRun{"OverviewOverAReturnFile",
                {"--resumo", "{dir}/retorno.csv", "{dir}/retorno.txt"},
                1,
                "verinova-cadastral: a visão geral não foi salva: \"{dir}/retorno.csv\" é um "
                "arquivo de retorno e seria perdido. Escolha outro nome.\n",
                {}},
        SaveRun{
            "ComparisonOverAReturnFile",
            {"--comparar", "{dir}/retorno.txt", kSave, "{dir}/retorno.csv", "{dir}/retorno.txt"},
            1,
            "verinova-cadastral: a comparação não foi salva: \"{dir}/retorno.csv\" é um "
            "arquivo de retorno e seria perdido. Escolha outro nome.\n",
            {}},
        // A folder is there: it is no file, not a missing one.
        SaveRun{"AFolderGiven",
                {kSave, "{dir}/saida.csv", "{dir}"},
                1,
                "{dir}: O Arquivo Selecionado não é um arquivo comum: é uma pasta, um FIFO ou um "
                "dispositivo.\n",
                {}},
        // A name is shown with its control characters escaped: it
        // cannot clear the terminal nor pass for another line.
        SaveRun{"NameWithControlCharacters",
                {kSave, "{dir}", "--formato", "csv", "{dir}/r\033[2J\nx.txt"},
                1,
                "{dir}/r\\033[2J\\nx.txt: Arquivo Selecionado Não Existe\n",
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
                {}},
        SaveRun{"OverviewOfReturnFiles",
                {"--resumo", "{dir}/visao.pdf", "{dir}/retorno.txt", "{dir}/retorno.csv"},
                0,
                "",
                {"visao.pdf"}},
        // A return without a worker is a failed download, not a company
        // without problems.
        SaveRun{"OverviewWithAnEmptyReturn",
                {"--resumo", "{dir}/visao.pdf", "{dir}/retorno.txt", "{dir}/vazio.txt"},
                1,
                "{dir}/vazio.txt: O arquivo não tem nenhum trabalhador.\n",
                {"visao.pdf"}},
        // Counted without its last fragment, and said in Observação.
        SaveRun{"OverviewWithACutReturn",
                {"--resumo", "{dir}/visao.pdf", "{dir}/retorno.txt", "{dir}/cortado.txt"},
                1,
                "{dir}/cortado.txt: " CUT_AT_32 "\n",
                {"visao.pdf"}},
        SaveRun{"Comparison",
                {"--comparar", "{dir}/retorno.csv", kSave, "{dir}/mudou.xlsx", "{dir}/retorno.txt"},
                0,
                "",
                {"mudou.xlsx"}},
        // Nothing to compare with: no comparison passes for one.
        SaveRun{"ComparisonWithWhatIsNotAReturnFile",
                {"--comparar", "{dir}/lista.txt", kSave, "{dir}/mudou.csv", "{dir}/retorno.txt"},
                1,
                "{dir}/lista.txt: O Arquivo Selecionado não é um Arquivo de "
                "Retorno: nenhuma linha tem os 21 campos separados por \";\". Nada "
                "foi carregado.\n",
                {}},
        SaveRun{"ComparisonWithACutReturn",
                {"--comparar", "{dir}/retorno.txt", kSave, "{dir}/mudou.xlsx", "{dir}/cortado.txt"},
                1,
                "{dir}/cortado.txt: " CUT_AT_32 "\n",
                {"mudou.xlsx"}},
        SaveRun{"ComparisonWithAnEmptyReturn",
                {"--comparar", "{dir}/vazio.txt", kSave, "{dir}/mudou.csv", "{dir}/retorno.txt"},
                1,
                "{dir}/vazio.txt: O arquivo não tem nenhum trabalhador.\n",
                {}},
        SaveRun{
            "ComparisonOverItsEarlierFile",
            {"--comparar", "{dir}/retorno.csv", kSave, "{dir}/retorno.csv", "{dir}/retorno.txt"},
            1,
            "{dir}/retorno.csv: o resultado seria gravado sobre o próprio "
            "arquivo de retorno.\n",
            {}},
        SaveRun{"ComparisonWithoutWhereToSave",
                {"--comparar", "{dir}/retorno.csv", "{dir}/retorno.txt"},
                2,
                "--comparar precisa de --salvar SAIDA",
                {}},
        SaveRun{"OverviewOptimized",
                {"--resumo", "{dir}/visao.csv", "--otimizar", "{dir}"},
                2,
                "--otimizar, --formato, --filtro e --ordenar não valem com --resumo",
                {}},
        SaveRun{"OverviewIntoAFolder",
                {"--resumo", "{dir}", "{dir}/retorno.txt"},
                2,
                "SAIDA tem de ser um arquivo terminado em .xlsx, .csv ou .pdf",
                {}},
        // One value would be lost without a word.
        SaveRun{"SaveTwice",
                {kSave, "{dir}/a.csv", kSave, "{dir}/b.csv", "{dir}/retorno.txt"},
                2,
                "--salvar vale uma vez só",
                {}}),
    CaseName());

#ifndef _WIN32 // links, and sessions without a display, as POSIX has them
// A link is followed; what it leads to is replaced only when it is an
// ordinary file.
INSTANTIATE_TEST_SUITE_P(
    Posix, BatchSaveTest,
    ::testing::Values(SaveRun{"OverALinkToADevice",
                              {kSave, "{dir}/nulo.csv", "{dir}/retorno.txt"},
                              1,
                              "{dir}/retorno.txt: O arquivo CSV não foi gravado: "
                              "\"{dir}/nulo.csv\" não é um arquivo comum (é um FIFO, um "
                              "dispositivo ou um socket) e não será substituído.\n",
                              {}},
                      // A folder's files that are not return files (a link to a
                      // device among them), or hold no worker, are listed, told and
                      // make the run fail.
                      SaveRun{"OverviewOfAFolder",
                              {"--resumo", "{dir}/visao.pdf", "{dir}"},
                              1,
                              "{dir}/cortado.txt: " CUT_AT_32
                              "\n{dir}/lista.txt: O Arquivo Selecionado não é um Arquivo de "
                              "Retorno: nenhuma linha tem os 21 campos separados por \";\". Nada "
                              "foi carregado.\n{dir}/nulo.csv: Arquivo Selecionado Não "
                              "Existe\n{dir}/vazio.txt: O arquivo não tem nenhum "
                              "trabalhador.\n",
                              {"visao.pdf"}},
                      // The shell has expanded what it could: what it left is
                      // a name, which a file may have.
                      SaveRun{"PatternLeftByTheShell",
                              {kSave, "{dir}", "--formato", "csv", "{dir}/retorno.t?t"},
                              1,
                              "{dir}/retorno.t?t: Arquivo Selecionado Não Existe\n",
                              {}},
                      SaveRun{"ADeviceGiven",
                              {kSave, "{dir}/saida.csv", "/dev/null"},
                              1,
                              "/dev/null: O Arquivo Selecionado não é um arquivo comum: é uma "
                              "pasta, um FIFO ou um dispositivo.\n",
                              {}},
                      SaveRun{"ADeviceToCompare",
                              {"--comparar", "/dev/null", kSave, "{dir}/mudou.csv",
                               "{dir}/retorno.txt"},
                              1,
                              "/dev/null: O Arquivo Selecionado não é um arquivo comum: é uma "
                              "pasta, um FIFO ou um dispositivo.\n",
                              {}},
                      SaveRun{"ADeviceInAnOverview",
                              {"--resumo", "{dir}/visao.pdf", "/dev/null", "{dir}/retorno.txt"},
                              1,
                              "/dev/null: O Arquivo Selecionado não é um arquivo comum: é uma "
                              "pasta, um FIFO ou um dispositivo.\n",
                              {"visao.pdf"}},
                      // The path text differs; the file is the same.
                      SaveRun{"OverASecondNameOfItsReturnFile",
                              {kSave, "{dir}/ligado.csv", "{dir}/retorno.csv"},
                              1,
                              "{dir}/retorno.csv: o resultado seria gravado sobre o próprio "
                              "arquivo de retorno.\n",
                              {}},
                      // Windows always has its window system; an X11 or Wayland
                      // session may be missing.
                      SaveRun{"WindowWithoutADisplay",
                              {"{dir}/retorno.txt"},
                              2,
                              "a janela precisa de uma sessão gráfica, e nenhuma tela pôde ser "
                              "aberta.\nSem tela, o resultado pode ser salvo pela linha de "
                              "comando",
                              {}}),
    CaseName());
#endif

#ifndef _WIN32 // links and names that are no text, as POSIX has them
// A result written through a link would replace a return file given later
// in the same batch before that file's turn: every result is checked
// against every file given before the first is written.
TEST(BatchSave, NoResultReplacesAnotherFileOfTheBatch)
{
    TestFiles files;
    files.write(QStringLiteral("m.txt"), ReturnFileGenerator().sample(3));
    const QString q = files.write(QStringLiteral("q.csv"), "Lista de compras\narroz\n");
    const QString dir = QFileInfo(q).path();
    ASSERT_EQ(symlink("q.csv", QFile::encodeName(QDir(dir).filePath(u"m.csv"_s))), 0);

    const Finished run =
        runProgram({u"--salvar"_s, dir, u"--formato"_s, u"csv"_s, dir + u"/m.txt"_s, q}, dir);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.errors,
              dir + u"/m.txt: o resultado não foi salvo: \""_s + dir +
                  u"/m.csv\" é um dos arquivos dados para salvar e seria perdido. Escolha outro "
                  "nome.\n"_s +
                  q + u": o resultado seria gravado sobre o próprio arquivo de retorno.\n"_s);
    EXPECT_EQ(TestFiles::read(q), QByteArray("Lista de compras\narroz\n"));
}

// A name that is not UTF-8 (an old system's) is listed with its reason and
// makes the run fail: it may be a return that could not be read. The
// folder's other files (notes, an earlier overview) are listed with theirs
// and do not.
TEST(BatchSave, OverviewListsEveryFileOfTheFolder)
{
    TestFiles files;
    const QString a = files.write(QStringLiteral("pasta/a.txt"), ReturnFileGenerator().sample(3));
    const QString folder = QFileInfo(a).path();
    const QString dir = QFileInfo(folder).path();
    files.write(QStringLiteral("pasta/notas.txt"), "ligar para o contador\n");
    files.write(QStringLiteral("pasta/visao.xlsx"), std::string("PK\x03\x04\x14\0\0\0", 8));
    const QString output = dir + u"/visao.csv"_s;

    Finished run = runProgram({u"--resumo"_s, output, folder}, dir);
    EXPECT_EQ(run.exitCode, 0) << run.errors.toStdString();
    EXPECT_EQ(run.errors.count(u'\n'), 2) << run.errors.toStdString();
    EXPECT_EQ(QString::fromUtf8(TestFiles::read(output)).count(u"\r\n"_s), 1 + 3);

    const QByteArray untexted = QFile::encodeName(folder) + "/b\xe9.txt";
    const std::string sample = ReturnFileGenerator().sample(3);
    const int fd = ::open(untexted.constData(), O_WRONLY | O_CREAT | O_EXCL, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::write(fd, sample.data(), sample.size()), static_cast<ssize_t>(sample.size()));
    ::close(fd);
    run = runProgram({u"--resumo"_s, output, folder}, dir);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.errors.contains(folder + u"/b\\xe9.txt: O nome do arquivo não é texto "
                                             "UTF-8, e o arquivo não pode ser lido. Renomeie o "
                                             "arquivo.\n"_s))
        << run.errors.toStdString();
    EXPECT_EQ(QString::fromUtf8(TestFiles::read(output)).count(u"\r\n"_s), 1 + 4);
}
#endif

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

// Worker lines of a return file: `problem` fails the NIS check.
std::string workerLine(int person, bool problem)
{
    std::string line = ReturnFileGenerator::cpf(100'000'000 + person) + ';' +
                       ReturnFileGenerator::nis(1'000'000'000 + person) + ";TRABALHADOR " +
                       std::to_string(person) + ";01011980;" + (problem ? "1" : "0");
    for (int code = 6; code <= 21; ++code)
        line += ";0";
    return line + "\r\n";
}

// The saved CSV's rows by their column `key`, each row's fields.
std::map<QString, QStringList> rowsBy(const QString& csv, int key)
{
    std::map<QString, QStringList> rows;
    QString text = QString::fromUtf8(TestFiles::read(csv));
    text.remove(0, 1); // the byte order mark
    for (const QString& line : text.split(u"\r\n"_s, Qt::SkipEmptyParts)) {
        const QStringList fields = line.split(u';');
        rows[fields.value(key)] = fields;
    }
    return rows;
}

// Two returns of one company a month apart, told apart by hand: the
// overview counts what each holds and reads the company and date from the
// government's names; the comparison gives each worker its situation and
// the messages of both files.
TEST(BatchSave, OverviewAndComparisonTellWhatTheReturnsHold)
{
    TestFiles files;
    const QString earlier =
        files.write(u"D.CNS.CPF.002.20261101080000.12345678000199.12345678901.TXT.PROCESSADO"_s,
                    ReturnFileGenerator::header() + workerLine(1, true) + workerLine(2, false) +
                        workerLine(3, true) + workerLine(5, false));
    const QString current =
        files.write(u"D.CNS.CPF.002.20261201093000.12345678000199.12345678901.TXT.PROCESSADO"_s,
                    ReturnFileGenerator::header() + workerLine(1, false) + workerLine(2, true) +
                        workerLine(3, true) + workerLine(4, false) + workerLine(6, true));
    const QString dir = QFileInfo(earlier).path();

    // Run again, the overview saved before in the folder is not listed.
    Finished run;
    for (int time = 1; time <= 2; ++time) {
        run = runProgram({u"--resumo"_s, u"visao.csv"_s, dir}, dir);
        ASSERT_EQ(run.exitCode, 0) << time << run.errors.toStdString();
    }
    const std::map<QString, QStringList> overview = rowsBy(QDir(dir).filePath(u"visao.csv"_s), 1);
    ASSERT_EQ(overview.size(), 3u); // the headings and two files
    // Date; CNPJ, file, workers, with problems, with orientation, COD_NIS_INV.
    EXPECT_EQ(overview.at(u"01/11/2026 08:00"_s).mid(0, 7),
              QStringList({u"12.345.678/0001-99"_s, u"01/11/2026 08:00"_s,
                           QFileInfo(earlier).fileName(), u"4"_s, u"2"_s, u"0"_s, u"2"_s}));
    EXPECT_EQ(overview.at(u"01/12/2026 09:30"_s).mid(3, 4),
              QStringList({u"5"_s, u"3"_s, u"0"_s, u"3"_s}));

    run = runProgram({u"--comparar"_s, earlier, u"--salvar"_s, u"mudou.csv"_s, current}, dir);
    ASSERT_EQ(run.exitCode, 0) << run.errors.toStdString();
    const std::map<QString, QStringList> changes = rowsBy(QDir(dir).filePath(u"mudou.csv"_s), 1);
    const QString nis = u"COD_NIS_INV: NIS inválido"_s;
    // By person: situation, before, now.
    const std::map<int, QStringList> expected{
        {1, {u"Resolvido"_s, nis, u"OK"_s}},     {2, {u"Novo problema"_s, u"OK"_s, nis}},
        {3, {u"Pendente"_s, nis, nis}},          {4, {u"Sem problema"_s, {}, u"OK"_s}},
        {5, {u"Só no anterior"_s, u"OK"_s, {}}}, {6, {u"Novo problema"_s, {}, nis}}};
    EXPECT_EQ(changes.size(), expected.size() + 1);
    for (const auto& [person, want] : expected) {
        const QString cpf = QString::fromStdString(ReturnFileGenerator::cpf(100'000'000 + person));
        ASSERT_TRUE(changes.count(cpf)) << person;
        const QStringList& row = changes.at(cpf);
        EXPECT_EQ((QStringList{row.value(0), row.value(5), row.value(6)}), want) << person;
    }
}

struct PatternRun
{
    const char* name;
    std::vector<const char*> arguments; // "{dir}" stands for the test's folder
    int exitCode;
    const char* errors;            // "{dir}" as above; all of them, or a part on misuse
    std::vector<const char*> made; // files the run leaves besides the two returns
};

class BatchSavePatternTest : public ::testing::TestWithParam<PatternRun>
{
};

// The line as cmd passes it on, "*" and "?" as typed, read by a command line
// that expands them as the Windows program's does, whatever the system the
// test runs on: each return file a pattern names, in name order and case
// aside, saved, listed or compared; one that names nothing said so as a
// missing file is, the rest still run.
TEST_P(BatchSavePatternTest, ExpandsWhatCmdPassesOnAsTyped)
{
    const PatternRun& c = GetParam();
    TestFiles files;
    const QString earlier =
        files.write(u"D.CNS.CPF.002.20261101080000.12345678000199.12345678901.TXT.PROCESSADO"_s,
                    ReturnFileGenerator::header() + workerLine(1, true) + workerLine(2, false));
    files.write(u"d.cns.cpf.002.20261201093000.12345678000199.12345678901.txt.processado"_s,
                ReturnFileGenerator::header() + workerLine(1, false) + workerLine(2, true));
    const QString dir = QFileInfo(earlier).path();
    QStringList arguments{u"verinova-cadastral"_s};
    for (const char* argument : c.arguments)
        arguments.append(QString::fromUtf8(argument).replace(u"{dir}"_s, dir));

    CommandLine commandLine(true);
    std::FILE* errors = std::tmpfile();
    ASSERT_NE(errors, nullptr);
    int exitCode = 2;
    switch (commandLine.parse(arguments)) {
    case CommandLine::Request::Save:
        exitCode = BatchSave::run(commandLine.savePlan(), errors);
        break;
    case CommandLine::Request::Overview:
        exitCode = TableSave::overview(commandLine.tablePlan(), errors);
        break;
    case CommandLine::Request::Compare:
        exitCode = TableSave::compare(commandLine.tablePlan(), errors);
        break;
    default:
        TerminalText::writeUtf8(errors, commandLine.errorText());
        break;
    }
    QByteArray told(1 << 16, '\0');
    std::rewind(errors);
    told.resize(static_cast<qsizetype>(std::fread(told.data(), 1, told.size(), errors)));
    std::fclose(errors);

    EXPECT_EQ(exitCode, c.exitCode);
    // Every path told in the system's own separators.
    const QString expected =
        QDir::toNativeSeparators(QString::fromUtf8(c.errors).replace(u"{dir}"_s, dir));
    if (c.exitCode == 2)
        EXPECT_TRUE(QString::fromUtf8(told).contains(expected)) << told.toStdString();
    else
        EXPECT_EQ(QString::fromUtf8(told), expected);
    QStringList made = QDir(dir).entryList(QDir::Files | QDir::Hidden);
    made.removeAll(QFileInfo(earlier).fileName());
    made.removeAll(u"d.cns.cpf.002.20261201093000.12345678000199.12345678901.txt.processado"_s);
    QStringList expectedMade;
    for (const char* name : c.made)
        expectedMade.append(QString::fromUtf8(name));
    EXPECT_EQ(made, expectedMade);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BatchSavePatternTest,
    ::testing::Values(
        PatternRun{
            "SaveEachMatch",
            {kSave, "{dir}", "--formato", "csv", "{dir}/D.CNS*.PROCESSADO", "{dir}/nada*.txt"},
            1,
            "{dir}/nada*.txt: nenhum arquivo corresponde a este padrão.\n",
            {"D.CNS.CPF.002.20261101080000.12345678000199.12345678901.csv",
             "d.cns.cpf.002.20261201093000.12345678000199.12345678901.csv"}},
        PatternRun{"OverviewOfEachMatch",
                   {"--resumo", "{dir}/visao.csv", "{dir}/?.cns.cpf.*", "{dir}/nada*"},
                   1,
                   "{dir}/nada*: nenhum arquivo corresponde a este padrão.\n",
                   {"visao.csv"}},
        PatternRun{"ComparisonOfTheMatches",
                   {"--comparar", "{dir}/*1101*", kSave, "{dir}/mudou.csv", "{dir}/*1201*"},
                   0,
                   "",
                   {"mudou.csv"}},
        PatternRun{"EarlierMatchingNothing",
                   {"--comparar", "{dir}/*1001*", kSave, "{dir}/mudou.csv", "{dir}/*1201*"},
                   1,
                   "{dir}/*1001*: nenhum arquivo corresponde a este padrão.\n",
                   {}},
        PatternRun{"EarlierMatchingTwo",
                   {"--comparar", "{dir}/D.CNS*", kSave, "{dir}/mudou.csv", "{dir}/*1201*"},
                   2,
                   "ANTERIOR \"{dir}/D.CNS*\" corresponde a 2 arquivos",
                   {}}),
    CaseName());

class BatchSaveNameTest : public ::testing::TestWithParam<const char*>
{
};

// Names past Windows' old code page (Polish, Japanese, an emoji) reach the
// program whole from its command line: the return file is read from such a
// folder and the result saved under such a name, not a look-alike of it.
TEST_P(BatchSaveNameTest, ReadsAndSavesUnderTheNamesGiven)
{
    const QString extension = QString::fromUtf8(GetParam());
    TestFiles files;
    const QString returnFile = files.write(u"Equipe Łódź 東京 🙂/D.CNS.CPF.TXT.PROCESSADO"_s,
                                           ReturnFileGenerator().sample(30));
    const QString dir = QFileInfo(returnFile).path();
    const QString name = u"Łódź saída 東京 🙂."_s + extension;
    // In the users' locale, whose code page under Wine is Windows-1252.
    const Finished run =
        runProgram({QStringLiteral("--salvar"), QDir(dir).filePath(name), returnFile}, dir,
                   QStringLiteral("pt_BR.UTF-8"));
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(run.errors.isEmpty()) << run.errors.toStdString();
    EXPECT_EQ(QDir(dir).entryList(QDir::Files | QDir::Hidden),
              QStringList({u"D.CNS.CPF.TXT.PROCESSADO"_s, name}));
    const QByteArray saved = TestFiles::read(QDir(dir).filePath(name));
    EXPECT_TRUE(saved.startsWith(extension == u"pdf"_s ? "%PDF-" : "PK\x03\x04"))
        << saved.left(16).toStdString();
    if (extension == u"xlsx"_s && XlsxBook::available()) {
        const XlsxBook book = XlsxBook::read(QDir(dir).filePath(name));
        ASSERT_FALSE(book.sheets.empty());
        EXPECT_EQ(book.sheets.front().rows.size(), 31u);
    }
}

// PDF by the headless platform's own application, XLSX by the core's.
INSTANTIATE_TEST_SUITE_P(Formats, BatchSaveNameTest, ::testing::Values("pdf", "xlsx"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             return std::string(info.param);
                         });

// --filtro and --ordenar: only the workers whose column reads the text, in
// the column's order (DN as dates, newest first, ties in the file's order);
// a text that matches nobody is told, and the headings still saved.
TEST(BatchSaveRows, FilterAndSortChooseTheSavedRows)
{
    TestFiles files;
    const QString returnFile =
        files.write(QStringLiteral("retorno.txt"), ReturnFileGenerator().sample(600));
    const QString dir = QFileInfo(returnFile).path();

    ResultSheet sheet;
    ASSERT_TRUE(ImportCommand::run(returnFile, sheet).succeeded());
    // The orientation most workers with one have.
    constexpr int kOrientation = 21;
    std::map<QString, int> orientations;
    for (int row = 1; row <= sheet.RowCount(); ++row)
        ++orientations[sheet.CellText(row, kOrientation)];
    orientations.erase(u"OK"_s);
    ASSERT_FALSE(orientations.empty());
    const QString wanted =
        std::max_element(orientations.begin(), orientations.end(),
                         [](const auto& a, const auto& b) { return a.second < b.second; })
            ->first;
    struct Worker
    {
        QString cpf;
        QString date; // yyyymmdd
    };
    std::vector<Worker> expected;
    for (int row = 1; row <= sheet.RowCount(); ++row) {
        const QString dn = sheet.CellText(row, 4);
        if (sheet.CellText(row, kOrientation) == wanted)
            expected.push_back({sheet.CellText(row, 1), dn.mid(4, 4) + dn.mid(2, 2) + dn.left(2)});
    }
    ASSERT_GE(expected.size(), 3u);
    std::stable_sort(expected.begin(), expected.end(),
                     [](const Worker& a, const Worker& b) { return a.date > b.date; });
    QStringList cpfs;
    for (const Worker& worker : expected)
        cpfs.append(worker.cpf);

    Finished run =
        runProgram({u"--salvar"_s, u"saida.csv"_s, u"--otimizar"_s, u"--filtro"_s,
                    u"cod_orientacao_nis="_s + wanted, u"--ordenar"_s, u"DN:desc"_s, returnFile},
                   dir);
    ASSERT_EQ(run.exitCode, 0) << run.errors.toStdString();
    const QStringList lines = QString::fromUtf8(TestFiles::read(QDir(dir).filePath(u"saida.csv"_s)))
                                  .split(u"\r\n"_s, Qt::SkipEmptyParts);
    QStringList saved;
    for (qsizetype i = 1; i < lines.size(); ++i)
        saved.append(lines[i].section(u';', 0, 0));
    EXPECT_EQ(saved, cpfs);

    run = runProgram({u"--salvar"_s, u"nada.csv"_s, u"--filtro"_s, u"NOME=NINGUÉM"_s, returnFile},
                     dir);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.errors,
              QDir::toNativeSeparators(returnFile) +
                  u": nenhum trabalhador passa pelo filtro; o resultado só tem os títulos.\n"_s);
    EXPECT_EQ(
        QString::fromUtf8(TestFiles::read(QDir(dir).filePath(u"nada.csv"_s))).count(u"\r\n"_s), 1);
}

#ifndef _WIN32 // argument bytes that are no text, and signals, are POSIX's
// The program's environment without a display, as in a terminal session.
std::vector<std::string> terminalEnvironment(const QString& dir)
{
    std::vector<std::string> out;
    for (char** e = environ; *e; ++e) {
        const std::string entry(*e);
        if (entry.rfind("DISPLAY=", 0) != 0 && entry.rfind("WAYLAND_DISPLAY=", 0) != 0 &&
            entry.rfind("QT_QPA_PLATFORM=", 0) != 0 && entry.rfind("XDG_RUNTIME_DIR=", 0) != 0)
            out.push_back(entry);
    }
    out.push_back("XDG_RUNTIME_DIR=" + QFile::encodeName(dir).toStdString());
    return out;
}

// Where the program's standard output or error goes.
enum class Stream
{
    Inherited,
    Read,   // a pipe the test reads
    Full,   // /dev/full: every write fails, as on a full disk
    Unread, // a pipe whose reader has gone, as `| head -c0` leaves it
    Closed  // `2>&-`
};

struct RawRun
{
    int exitCode = -1; // -1 when the program ended by a signal
    std::string errors;
};

// Runs the program with exactly these argument bytes, which QProcess would
// take as text; its output and errors connected as asked, and its files no
// larger than `fileSizeLimit` bytes, as `ulimit -f` makes them. Signals have
// their default actions, whatever the tests' own are.
RawRun runChild(const std::vector<std::string>& arguments, const QString& dir,
                Stream out = Stream::Inherited, Stream err = Stream::Read,
                rlim_t fileSizeLimit = RLIM_INFINITY)
{
    std::vector<std::string> argumentList{VERINOVA_CADASTRAL};
    argumentList.insert(argumentList.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& a : argumentList)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    std::vector<std::string> environment = terminalEnvironment(dir);
    std::vector<char*> envp;
    for (std::string& e : environment)
        envp.push_back(e.data());
    envp.push_back(nullptr);

    // Each stream's end in the program, opened before the fork: the child
    // only dups, closes and sets limits, which a forked copy of a threaded
    // program may.
    int told[2] = {-1, -1};
    int unread[2] = {-1, -1};
    if (pipe(told) != 0 || pipe(unread) != 0)
        return {};
    close(unread[0]);
    const int full = open("/dev/full", O_WRONLY | O_CLOEXEC);
    const auto endOf = [&](Stream stream) {
        switch (stream) {
        case Stream::Read:
            return told[1];
        case Stream::Full:
            return full;
        case Stream::Unread:
            return unread[1];
        case Stream::Inherited:
        case Stream::Closed:
            break;
        }
        return -1;
    };
    const std::pair<int, Stream> streams[] = {{STDOUT_FILENO, out}, {STDERR_FILENO, err}};
    const pid_t pid = fork();
    if (pid == 0) {
        for (const auto& [number, stream] : streams) {
            if (stream == Stream::Closed)
                close(number);
            else if (stream != Stream::Inherited)
                dup2(endOf(stream), number);
        }
        close(told[0]);
        const rlimit limit{fileSizeLimit, fileSizeLimit};
        setrlimit(RLIMIT_FSIZE, &limit);
        for (const int signal : {SIGPIPE, SIGXFSZ})
            std::signal(signal, SIG_DFL);
        execve(argv[0], argv.data(), envp.data());
        _exit(127);
    }
    for (const int end : {told[1], unread[1], full})
        close(end);
    RawRun run;
    char buffer[4096];
    for (ssize_t n; pid > 0 && (n = read(told[0], buffer, sizeof buffer)) > 0;)
        run.errors.append(buffer, static_cast<std::size_t>(n));
    close(told[0]);
    int status = 0;
    if (pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status))
        run.exitCode = WEXITSTATUS(status);
    return run;
}

struct BytesCase
{
    const char* name;
    std::vector<std::string> arguments; // "{dir}/" stands for the test's folder
    const char* said;
};

class BatchSaveBytesTest : public ::testing::TestWithParam<BytesCase>
{
};

// A name that is not UTF-8 is refused as such, before any file is read or
// written: never another file of a similar name, never "does not exist"
// for a file that does. A text that is not UTF-8 is refused as the
// option's, which can be typed again; renaming a file would not help.
TEST_P(BatchSaveBytesTest, WhatIsNotTextIsRefusedPlainly)
{
    const BytesCase& c = GetParam();
    TestFiles files;
    files.write(QStringLiteral("retorno.txt"), ReturnFileGenerator().sample(3));
    const QString dir = QFileInfo(files.path(QStringLiteral("retorno.txt"))).path();
    const std::string folder = QFile::encodeName(dir).toStdString() + '/';
    const std::string oddInput = folder + "ret\xe9.txt";
    ASSERT_EQ(link((folder + "retorno.txt").c_str(), oddInput.c_str()), 0);
    std::vector<std::string> arguments;
    for (std::string argument : c.arguments) {
        if (argument.rfind("{dir}/", 0) == 0)
            argument.replace(0, 6, folder);
        arguments.push_back(argument);
    }

    const RawRun run = runChild(arguments, dir);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.errors.find(c.said), std::string::npos) << run.errors;
    EXPECT_EQ(run.errors.find("Não Existe"), std::string::npos) << run.errors;
    // The return file under its two names, and nothing else; Qt lists
    // only names it can hold as text.
    EXPECT_EQ(QDir(dir).entryList(QDir::Files | QDir::Hidden), QStringList{u"retorno.txt"_s});
    EXPECT_EQ(unlink(oddInput.c_str()), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BatchSaveBytesTest,
    ::testing::Values(
        BytesCase{"Output",
                  {"--salvar", "{dir}/bad\xe9.xlsx", "{dir}/retorno.txt"},
                  "/bad\\xe9.xlsx\" não pode ser usado: não é texto UTF-8. Renomeie"},
        BytesCase{"ReturnFile",
                  {"--salvar", "{dir}/saida.csv", "{dir}/ret\xe9.txt"},
                  "/ret\\xe9.txt\" não pode ser usado"},
        BytesCase{"FilterText",
                  {"--salvar", "{dir}/saida.csv", "--filtro", "NOME=JOS\xc9", "{dir}/retorno.txt"},
                  ": --filtro \"NOME=JOS\\xc9\": o texto não está em UTF-8."},
        BytesCase{"SortColumnGivenWithTheOption",
                  {"--salvar", "{dir}/saida.csv", "--ordenar=NOME\xc9", "{dir}/retorno.txt"},
                  ": --ordenar \"NOME\\xc9\": o texto não está em UTF-8."}),
    CaseName());

struct WriteEndCase
{
    const char* name;
    std::vector<std::string> arguments; // "{dir}/" stands for the test's folder
    Stream out;
    Stream err;
    rlim_t fileSizeLimit;
    int exitCode;
    const char* errors;            // when they are read; "{dir}/" as above
    std::vector<const char*> made; // files the run leaves besides the test's own
};

class BatchSaveWriteEndTest : public ::testing::TestWithParam<WriteEndCase>
{
};

std::string inFolder(std::string text, const std::string& folder)
{
    for (std::size_t at; (at = text.find("{dir}/")) != std::string::npos;)
        text.replace(at, 6, folder);
    return text;
}

// However a write ends, the program goes on and says so: a file past the
// size limit is told like a full disk and leaves the earlier file and no
// temporary one; the other files of a batch are saved when the errors
// cannot be told; an answer or a warning that could not be written makes
// the exit status 1, never 0, and never a death by a signal.
TEST_P(BatchSaveWriteEndTest, EveryEndIsTold)
{
    const WriteEndCase& c = GetParam();
    TestFiles files;
    files.write(QStringLiteral("retorno.txt"), ReturnFileGenerator().sample(5000));
    files.write(QStringLiteral("torto.txt"), ReturnFileGenerator().sample(30) + "a;b\n");
    const QString earlier = files.write(QStringLiteral("saida.csv"), "anterior");
    const QString dir = QFileInfo(earlier).path();
    const std::string folder = QFile::encodeName(dir).toStdString() + '/';
    std::vector<std::string> arguments;
    for (const std::string& argument : c.arguments)
        arguments.push_back(inFolder(argument, folder));

    const RawRun run = runChild(arguments, dir, c.out, c.err, c.fileSizeLimit);
    EXPECT_EQ(run.exitCode, c.exitCode);
    if (c.err == Stream::Read) {
        EXPECT_EQ(run.errors, inFolder(c.errors, folder));
    }
    EXPECT_EQ(TestFiles::read(earlier), QByteArray("anterior"));
    QStringList made = QDir(dir).entryList(QDir::Files | QDir::Hidden);
    for (const QString& own : {u"retorno.txt"_s, u"torto.txt"_s, u"saida.csv"_s})
        made.removeAll(own);
    QStringList expected;
    for (const char* name : c.made)
        expected.append(QString::fromUtf8(name));
    EXPECT_EQ(made, expected);
}

constexpr rlim_t kNoLimit = RLIM_INFINITY;

INSTANTIATE_TEST_SUITE_P(
    Cases, BatchSaveWriteEndTest,
    ::testing::Values(
        WriteEndCase{
            "PastTheFileSizeLimit",
            {"--salvar", "{dir}/saida.csv", "{dir}/retorno.txt"},
            Stream::Inherited,
            Stream::Read,
            100 * 1024,
            1,
            "{dir}/retorno.txt: Não foi possível gravar o arquivo CSV \"{dir}/saida.csv\": "
            "o arquivo passou do tamanho máximo permitido.\n",
            {}},
        // The PDF writer does not check its writes; the save does.
        WriteEndCase{
            "PdfPastTheFileSizeLimit",
            {"--salvar", "{dir}/saida.pdf", "{dir}/retorno.txt"},
            Stream::Inherited,
            Stream::Read,
            100 * 1024,
            1,
            "{dir}/retorno.txt: Não foi possível gravar o arquivo PDF \"{dir}/saida.pdf\": "
            "o arquivo passou do tamanho máximo permitido.\n",
            {}},
        WriteEndCase{
            "OverviewPdfPastTheFileSizeLimit",
            {"--resumo", "{dir}/saida.pdf", "{dir}/retorno.txt"},
            Stream::Inherited,
            Stream::Read,
            4 * 1024,
            1,
            "verinova-cadastral: Não foi possível gravar o arquivo PDF \"{dir}/saida.pdf\": "
            "o arquivo passou do tamanho máximo permitido.\n",
            {}},
        WriteEndCase{
            "ErrorsIntoAPipeNoOneReads",
            {"--salvar", "{dir}/", "--formato", "xlsx", "{dir}/sumiu.txt", "{dir}/retorno.txt"},
            Stream::Inherited,
            Stream::Unread,
            kNoLimit,
            1,
            "",
            {"retorno.xlsx"}},
        WriteEndCase{"WarningWithErrorsClosed",
                     {"--salvar", "{dir}/torto.xlsx", "{dir}/torto.txt"},
                     Stream::Inherited,
                     Stream::Closed,
                     kNoLimit,
                     1,
                     "",
                     {"torto.xlsx"}},
        WriteEndCase{
            "HelpIntoAFullDisk", {"--help"}, Stream::Full, Stream::Read, kNoLimit, 1, "", {}},
        WriteEndCase{"VersionIntoAClosedOutput",
                     {"--version"},
                     Stream::Closed,
                     Stream::Read,
                     kNoLimit,
                     1,
                     "",
                     {}}),
    CaseName());

struct SignalCase
{
    const char* name;
    const char* output;
    int signal;
};

class SaveSignalTest : public ::testing::TestWithParam<SignalCase>
{
};

// A save stopped by a logout or Ctrl+C leaves the earlier file as it was and
// no temporary file, its own or the library's, and the program ends as that
// signal ends a program, which a shell shows as 128 + its number.
TEST_P(SaveSignalTest, RemovesTheTemporaryFilesAndEndsByTheSignal)
{
    const SignalCase& c = GetParam();
    TestFiles files;
    files.write(QStringLiteral("retorno.txt"), ReturnFileGenerator().sample(200'000));
    const QString target = files.write(QString::fromUtf8(c.output), "anterior");
    const QDir dir = QFileInfo(target).dir();
    const auto entries = QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;
    const QStringList before = dir.entryList(entries);

    QProcess program;
    QProcessEnvironment environment;
    for (const std::string& entry : terminalEnvironment(dir.path())) {
        const QString text = QString::fromStdString(entry);
        environment.insert(text.section(u'=', 0, 0), text.section(u'=', 1));
    }
    program.setProcessEnvironment(environment);
    program.start(
        QStringLiteral(VERINOVA_CADASTRAL),
        {QStringLiteral("--salvar"), target, dir.filePath(QStringLiteral("retorno.txt"))});
    ASSERT_TRUE(program.waitForStarted());
    // Stopped once the save has begun.
    bool saving = false;
    for (int i = 0; i < 60'000 && !saving && program.state() == QProcess::Running; ++i) {
        saving = dir.entryList(entries).size() > before.size();
        if (!saving)
            usleep(1000);
    }
    ASSERT_TRUE(saving) << "the save ended before it could be stopped";
    kill(static_cast<pid_t>(program.processId()), c.signal);
    ASSERT_TRUE(program.waitForFinished(60'000));

    EXPECT_EQ(program.exitStatus(), QProcess::CrashExit);
    EXPECT_EQ(program.exitCode(), c.signal);
    EXPECT_EQ(dir.entryList(entries), before);
    QFile earlier(target);
    ASSERT_TRUE(earlier.open(QIODevice::ReadOnly));
    EXPECT_EQ(earlier.readAll(), QByteArray("anterior"));
}

INSTANTIATE_TEST_SUITE_P(Cases, SaveSignalTest,
                         ::testing::Values(SignalCase{"XlsxTerminated", "saida.xlsx", SIGTERM},
                                           SignalCase{"CsvInterrupted", "saida.csv", SIGINT},
                                           SignalCase{"PdfHungUp", "saida.pdf", SIGHUP}),
                         CaseName());
#endif
} // namespace

// Memory that runs out filtering or sorting ends the file's run with a
// message and status 1, as it ends a load, instead of aborting the program;
// nothing is saved, not even a temporary file. The first big allocation
// after the load's fails, which for 20,000 workers is the step's own.
TEST(BatchSaveRows, MemoryShortInAFilterOrASortIsAMessage)
{
    TestFiles files;
    const QString returnFile = files.write(u"retorno.txt"_s, ReturnFileGenerator().file(20'000));
    const QDir dir = QFileInfo(returnFile).dir();
    constexpr std::size_t kBig = 64 << 10;
    long loading = 0;
    {
        const FailingAllocation counting(std::numeric_limits<long>::max(), kBig);
        ResultSheet sheet;
        ASSERT_TRUE(ImportCommand::run(returnFile, sheet).succeeded());
        loading = counting.seen();
    }
    const struct
    {
        QStringList options;
        QString message;
    } steps[] = {
        {{u"--ordenar"_s, u"NOME"_s}, u"classificar"_s},
        {{u"--ordenar"_s, u"CPF:desc"_s}, u"classificar"_s},
        {{u"--filtro"_s, u"COD_CPF_INV=OK"_s}, u"filtrar"_s},
    };
    for (const auto& step : steps) {
        CommandLine line;
        ASSERT_EQ(line.parse(QStringList{u"verinova-cadastral"_s, u"--salvar"_s,
                                         dir.filePath(u"saida.csv"_s)} +
                             step.options + QStringList{returnFile}),
                  CommandLine::Request::Save);
        std::FILE* errors = std::tmpfile();
        ASSERT_NE(errors, nullptr);
        int status = 0;
        {
            const FailingAllocation failing(loading, kBig);
            status = BatchSave::run(line.savePlan(), errors);
            EXPECT_TRUE(failing.failed());
        }
        std::rewind(errors);
        QByteArray told;
        for (int c; (c = std::fgetc(errors)) != EOF;)
            told.append(static_cast<char>(c));
        std::fclose(errors);
        EXPECT_EQ(status, 1);
        EXPECT_EQ(told.toStdString(),
                  (QDir::toNativeSeparators(returnFile) + u": memória insuficiente para "_s +
                   step.message + u" as linhas; nada foi gravado.\n"_s)
                      .toStdString());
        EXPECT_EQ(dir.entryList(QDir::Files | QDir::Hidden), QStringList{u"retorno.txt"_s});
    }
}
