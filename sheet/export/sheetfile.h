#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

class Progress;
class ResultSheet;

// Saves what the grid shows: the heading row, then the shown rows in their
// order, hidden columns left out, every cell's full text. The file is written under a
// temporary name beside the target and takes its place only when complete.
class SheetFile
{
public:
    enum class Format
    {
        Xlsx,
        Csv,
        Pdf
    };

    struct Result
    {
        enum class Status
        {
            Saved,
            Cancelled, // nothing written, no message due
            Failed
        };
        Status status = Status::Saved;
        QString error; // why it failed, for the "Atenção" box or stderr

        bool saved() const { return status == Status::Saved; }
        static Result failed(QString why) { return {Status::Failed, std::move(why)}; }
        static Result cancelled() { return {Status::Cancelled, {}}; }
    };

    struct Options
    {
        // Data rows per worksheet of a workbook: all the format holds under
        // the heading row. Tests lower it to see the rows go on in the next.
        int xlsxRowsPerSheet = 1'048'575;
        // A workbook that may take more bytes than this before compression
        // is written with ZIP64, which a zip past 4 GiB needs. Tests lower it.
        std::uint64_t xlsxZip64Above = 4'000'000'000;
    };

    // By the path's extension, whatever its case.
    static std::optional<Format> formatOf(const QString& path);
    // "xlsx", "csv", "pdf".
    static QString extension(Format format);
    // The name a return file's result is offered under: the file's name
    // without a trailing ".PROCESSADO" (the government's processed return
    // files), then without a trailing ".TXT", in any case, then without
    // any other last extension, and the format's extension added.
    // "D.CNS.CPF.002.20261201093000.12345678000199.12345678901.TXT.PROCESSADO"
    // becomes "D.CNS.CPF.002.20261201093000.12345678000199.12345678901.xlsx".
    static QString resultName(const QString& returnFile, Format format);
    // The label a save dialog lists the format under.
    static QString filter(Format format);
    // The save dialog's types, XLSX first, and the format a chosen name is
    // written in: its extension's, else the type chosen with it.
    static QStringList filters();
    static Format chosenFormat(const QString& path, const QString& chosenFilter);
    // A save's progress label, with %1 and %2 for the step and their number:
    // a PDF is written page by page, the others row by row.
    static QString progressLabel(Format format);

    // PDF needs the GUI application's fonts; the others only QtCore.
    static Result save(const ResultSheet& sheet, const QString& path, Format format,
                       Progress* progress = nullptr);
    static Result save(const ResultSheet& sheet, const QString& path, Format format,
                       Progress* progress, const Options& options);
};
