#pragma once

#include "processing/commandoutcome.h"

#include <QString>

#include <functional>

class QIODevice;
class ResultSheet;

// "Processar": loads the return file named by the path box into the sheet,
// one worker per row, every result code turned into "OK" or its message.
// The file is read whole before the sheet changes, so a file that cannot be
// read leaves every cell as it was.
//
// What the import refuses: a file not one of whose worker lines has the
// return file's 21 fields (which leaves the sheet as it was); a path that is not an ordinary file
// (checked by the path, then again on what was opened, which is opened without waiting); a line
// longer than LineReader::kMaxLineBytes; more than ResultSheet::kMaxRows workers; more than
// LineReader::kMaxLines lines in all (blank ones too), so that a file that never ends always ends
// the import.
class ImportCommand
{
public:
    struct Options
    {
        int maxRows = 0; // 0: the sheet's own limit
        // Runs between the path check and the opening of the file.
        std::function<void()> afterPathCheck;
    };

    static CommandOutcome run(const QString& path, ResultSheet& sheet);
    static CommandOutcome run(const QString& path, ResultSheet& sheet, const Options& options);
    // The reading part alone, from an open device: the heading skipped,
    // wherever it stands, the rest into the sheet.
    static CommandOutcome load(QIODevice& device, ResultSheet& sheet, const Options& options);
};
