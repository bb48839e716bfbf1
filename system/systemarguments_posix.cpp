#include "system/systemarguments.h"

#include <QFile>

QStringList SystemArguments::of(int argc, const char* const* argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QFile::decodeName(argv[i]));
    return arguments;
}

bool SystemArguments::givenAsBytes()
{
    return true;
}

bool SystemArguments::expandsPatterns()
{
    return false;
}
