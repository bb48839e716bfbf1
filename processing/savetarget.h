#pragma once

#include <QString>
#include <QStringList>

// Where a result may be saved. The office keeps every month's return of a
// company in one folder, under names that differ only by a date; a save
// over one of them would lose what the government answered for good.
// Whatever its name or extension, a file that reads as a return file is
// never written over, nor is a file the result is made of.
class SaveTarget
{
public:
    enum class Refusal
    {
        None,
        Input,      // one of the files the result is made of, by any name
        ReturnFile, // another file that reads as a return file
    };

    // Why `output` may not be written; None when it may (it does not exist
    // yet, or it is a workbook, a list, an earlier result).
    static Refusal check(const QString& output, const QStringList& inputs = {});

    // Whether the file reads as a return file: its first line the heading
    // and the lines after it workers', or workers' lines without the
    // heading, as the import reads them, in UTF-8, Windows-1252 or UTF-16.
    // A heading with no worker after it is a return too (a company with
    // nobody to qualify), unless a UTF-8 byte order mark starts it, as it
    // starts the grid's CSV of no row. Only the first kReadBytes are read: a file of any
    // size is told at once. False when it cannot be opened as an ordinary
    // file.
    static bool isReturnFile(const QString& path);
    static constexpr qint64 kReadBytes = qint64{64} << 10;

    // Why the result may not be written over `output`, told whole; empty
    // when it may. `notSaved` begins it ("O resultado não foi salvo"),
    // `inputsAre` says what the inputs are to the clerk ("um dos arquivos da
    // pasta"), `shownPath` is `output` as the caller shows it.
    static QString refusalText(const QString& output, const QStringList& inputs,
                               const QString& notSaved, const QString& inputsAre,
                               const QString& shownPath);

    // The refusal of a return file, after "O resultado não foi salvo: " and
    // the like: `shownPath` as the caller shows it.
    static QString returnFileText(const QString& shownPath);
};
