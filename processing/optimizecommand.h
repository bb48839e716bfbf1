#pragma once

#include "processing/commandoutcome.h"

#include <QString>

class ResultSheet;

// "Otimizar": shrinks the loaded result to its problems. Rows whose code
// columns all read "OK" are deleted, and code columns that read "OK" in every
// remaining row are hidden. The path box must still name an existing file.
class OptimizeCommand
{
public:
    static CommandOutcome run(const QString& path, ResultSheet& sheet);
};
