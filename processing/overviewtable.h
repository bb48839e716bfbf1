#pragma once

#include "processing/folderoverview.h"
#include "sheet/table.h"

#include <vector>

// A folder's overview as a table to save: one row per file with the
// company's CNPJ and the return's date and time from the government's name,
// the file's name, its workers, those with a check not "OK", those with an
// orientation, and the workers per check (columns 5 to 19) and orientation
// (20, 21); the last column says why a file is not a return file or holds no
// worker (its counts then left empty) or what Processar would warn of one
// that is.
class OverviewTable
{
public:
    static Table of(const std::vector<FolderOverview::Entry>& entries);
};
