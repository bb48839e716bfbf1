#pragma once

#include "app/cli/commandline.h"

#include <cstdio>

// --resumo and --comparar: the overview of many returns, or what changed
// since the earlier return, saved as a table without a window. What keeps a
// file from being read is told on `errors` as "ARQUIVO: message".
class TableSave
{
public:
    // 0 when the overview was saved and every return file in it was read;
    // 1 when one could not be, when a file named on the line is not a
    // return file or a folder has no file, or when the save failed. A
    // folder's other files are listed with their reason and no failure.
    static int overview(const CommandLine::TablePlan& plan, std::FILE* errors);
    // 0 when the comparison was saved; 1 when either file could not be
    // compared (nothing is saved then) or the save failed.
    static int compare(const CommandLine::TablePlan& plan, std::FILE* errors);
};
