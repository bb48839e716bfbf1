// verinova-dump [--otimizar] [--summary] [--pdf OUT.pdf] FILE
// Runs the real commands on a fresh sheet and prints the result as text;
// --pdf also prints it to OUT.pdf through the print command.
#include "processing/importcommand.h"
#include "processing/optimizecommand.h"
#include "sheet/resultsheet.h"
#include "tools/pdfprintout.h"
#include "tools/sheetdump.h"

#include <QString>

#include <cstdio>
#include <cstring>

namespace {
int usage()
{
    std::fputs("usage: verinova-dump [--otimizar] [--summary] [--pdf OUT.pdf] FILE\n", stderr);
    return 2;
}

int reportMessage(const CommandOutcome& outcome)
{
    std::printf("MESSAGE %s\n", outcome.messageText().toUtf8().constData());
    return 1;
}
} // namespace

int main(int argc, char** argv)
{
    bool summaryOnly = false;
    bool optimize = false;
    const char* file = nullptr;
    const char* pdf = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--summary") == 0)
            summaryOnly = true;
        else if (std::strcmp(argv[i], "--otimizar") == 0)
            optimize = true;
        else if (std::strcmp(argv[i], "--pdf") == 0 && i + 1 < argc)
            pdf = argv[++i];
        else if (argv[i][0] == '-' && argv[i][1] == '-' && argv[i][2] != '\0')
            return usage();
        else if (file)
            return usage();
        else
            file = argv[i];
    }
    if (!file)
        return usage();

    ResultSheet sheet;
    const QString path = QString::fromLocal8Bit(file);
    const CommandOutcome imported = ImportCommand::run(path, sheet);
    if (!imported.succeeded())
        return reportMessage(imported);
    if (const QString warning = imported.warningText(); !warning.isEmpty())
        std::fprintf(stderr, "%s: %s\n", file, warning.toUtf8().constData());
    if (optimize) {
        const CommandOutcome optimized = OptimizeCommand::run(path, sheet);
        if (!optimized.succeeded())
            return reportMessage(optimized);
    }
    if (pdf) {
        const QString error = printSheetToPdf(sheet, QString::fromLocal8Bit(pdf));
        if (!error.isEmpty()) {
            std::fprintf(stderr, "verinova-dump: %s\n", error.toLocal8Bit().constData());
            return 1;
        }
    }
    SheetDump::write(sheet, stdout, summaryOnly);
    return std::fflush(stdout) == 0 ? 0 : 1;
}
