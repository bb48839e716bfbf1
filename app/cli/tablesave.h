#pragma once

#include "app/cli/commandline.h"

#include <cstdio>

// --resumo and --comparar: the overview of many returns, or what changed
// since the earlier return, saved as a table without a window. What keeps a
// file from being read is told on `errors` as "ARQUIVO: message".
class TableSave
{
public:
    // 0 when every file given was read as a return file and the overview
    // saved; 1 otherwise. A file that is not a return file is still listed
    // with its reason.
    static int overview(const CommandLine::TablePlan& plan, std::FILE* errors);
    // 0 when the comparison was saved; 1 when either file could not be
    // compared (nothing is saved then) or the save failed.
    static int compare(const CommandLine::TablePlan& plan, std::FILE* errors);
};
