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

private:
    static QTemporaryDir& folder();
};
