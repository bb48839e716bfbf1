#pragma once

#include "processing/commandoutcome.h"

#include <QString>

class ResultSheet;

// What the window's Processar and the command line's --salvar both do with
// a return file, in one order: the import, what it found odd in the file,
// then Otimizar when asked. How the warning reaches the clerk, a box or a
// line on the terminal, is each caller's.
class ReturnFileJob
{
public:
    struct Done
    {
        // The import's outcome, or the optimisation's when it ran after it.
        CommandOutcome outcome;
        // What the import found odd in the file (no worker, no heading,
        // joined files, lines without the 21 fields, a last line cut
        // short), to be told whatever the outcome; empty when there is
        // nothing to tell.
        QString warning;
        // The file seems cut off at its last line, as one still being copied
        // is: the workers after it are missing from whatever is made of it.
        bool cut = false;
    };

    // Imports `returnFile` into `sheet`, then, when `optimize` asks and the
    // import loaded workers, shrinks it to their problems. A file with no
    // worker is left unoptimised: its outcome says noWorkers.
    static Done run(const QString& returnFile, ResultSheet& sheet, bool optimize);

    // Whether a result saved as `output` would replace `returnFile` itself,
    // by whatever name, and so lose it for good. False when either cannot be
    // looked up: an empty `returnFile`, none loaded, among them.
    static bool savesOver(const QString& output, const QString& returnFile);
};
