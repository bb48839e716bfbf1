#pragma once

#include "app/cli/commandline.h"

#include <cstdio>

// --salvar: for each return file, what Processar (then Otimizar when asked)
// does, then the rows --filtro and --ordenar ask for, then the result saved,
// without a window. A file that ends with a
// message is told on `errors` as "ARQUIVO: message" and the others still run.
// No result is written over a file of the batch or any return file: every
// result is checked before the first is written.
class BatchSave
{
public:
    // 0 when every file was saved, 1 when any ended with a message or a
    // warning could not be told on `errors` (closed, or a pipe no one reads).
    static int run(const CommandLine::SavePlan& plan, std::FILE* errors);
};
