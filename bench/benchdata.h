#pragma once

#include <QString>
#include <QTemporaryDir>

// Return files for the benchmarks, written once per process into a folder
// that goes away with it.
class BenchData
{
public:
    // A realistic file of `workers` lines (10 % with problems, CRLF),
    // written on first use.
    static QString returnFile(int workers, double problemShare = 0.10);
    // An office's folder: `companies` returns of `workers` each, every
    // company with its own CNPJ and workers, named as the government names
    // them, in a folder of its own.
    static QString officeFolder(int companies, int workers);

private:
    static QTemporaryDir& folder();
};
