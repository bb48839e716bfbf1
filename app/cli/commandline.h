#pragma once

#include "sheet/export/sheetfile.h"
#include "sheet/rowsort.h"

#include <QCommandLineParser>
#include <QString>
#include <QStringList>

#include <map>
#include <set>
#include <string>
#include <vector>

// What the program is asked on its command line: the window, with a return
// file's path in its box or not; saving the results of return files without
// a window; or only an answer on the terminal.
class CommandLine
{
public:
    enum class Request
    {
        Window,
        Save,
        Overview, // --resumo
        Compare,  // --comparar
        Help,
        Version,
        Misuse
    };

    // After Save: each return file and where its result goes, in the order given.
    struct SaveJob
    {
        QString returnFile;
        QString output;
    };
    struct SavePlan
    {
        std::vector<SaveJob> jobs;
        SheetFile::Format format = SheetFile::Format::Xlsx;
        bool optimize = false;
        // --filtro: by 1-based column, the texts its rows may read.
        std::map<int, std::set<std::string>> filters;
        // --ordenar: 0 keeps the file's order.
        int sortColumn = 0;
        RowSort::Direction sortDirection = RowSort::Direction::Ascending;
        // The patterns among the return files that matched no file, each
        // kept in its place in `jobs` to be told so when its turn comes.
        QStringList unmatched;
    };

    // After Overview: the files and folders whose overview goes to `output`;
    // after Compare: `earlier` and the one current file, their comparison
    // to `output`.
    struct TablePlan
    {
        QStringList inputs;
        QString earlier;
        QString output;
        SheetFile::Format format = SheetFile::Format::Xlsx;
        // As in SavePlan, among `inputs` and `earlier`.
        QStringList unmatched;
    };

    // Expanding "*" and "?" in the files given where the system asks for
    // it (SystemArguments::expandsPatterns), or as told: the files, the
    // folders and ANTERIOR, never SAIDA.
    CommandLine();
    explicit CommandLine(bool expandPatterns);

    // The arguments program name first, as QCoreApplication::arguments()
    // gives them. Help and version win over anything else on the line.
    Request parse(const QStringList& arguments);

    // After Window: the path box's text at start-up, empty without a file.
    QString path() const { return path_; }
    // After Save.
    const SavePlan& savePlan() const { return plan_; }
    // After Overview and Compare.
    const TablePlan& tablePlan() const { return table_; }
    // The arguments as the system gave them, before Qt turns them into
    // text: what is wrong, as errorText() says it, when one of them is not
    // UTF-8, which no text can hold as it is: a name read as text would be
    // another file's. Empty when all are.
    // A value of --filtro, --ordenar or --formato is told as such: it can be
    // typed again, where a name must be given as it is.
    QString checkBytes(int argc, const char* const* argv) const;
    // After Help: the usage, the options and the argument.
    QString helpText() const { return parser_.helpText(); }
    // After Version: the program's name and version.
    static QString versionText();
    // After Misuse: what was wrong, then how to ask for help. Names and
    // texts from the line are shown with their control characters escaped.
    QString errorText() const { return error_; }
    // The window asked for where no window system can be reached: what to
    // do instead.
    static QString windowWithoutDisplayText();

private:
    QString planSave(const QStringList& files);
    QString planRows();
    QString planTable(const QStringList& files);
    // The files given, each pattern in them replaced by what it matches.
    QStringList expanded(const QStringList& files);
    const QCommandLineOption* optionNamed(const QString& name) const;
    // The name of an option given twice that takes one value, empty for none.
    QString repeatedOption() const;

    QCommandLineParser parser_;
    QCommandLineOption help_;
    QCommandLineOption version_;
    QCommandLineOption save_;
    QCommandLineOption optimize_;
    QCommandLineOption format_;
    QCommandLineOption filter_;
    QCommandLineOption sort_;
    QCommandLineOption overview_;
    QCommandLineOption compare_;
    bool expandPatterns_;
    QStringList unmatched_;
    QString path_;
    SavePlan plan_;
    TablePlan table_;
    QString error_;
};
