#include "system/systemarguments.h"

// CommandLineToArgvW comes with it (shellapi.h).
#include <windows.h>

QStringList SystemArguments::of(int /*argc*/, const char* const* /*argv*/)
{
    // Split as the C library splits argv, quotes and backslashes alike.
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    QStringList arguments;
    if (!wide)
        return arguments;
    for (int i = 0; i < count; ++i)
        arguments.append(QString::fromWCharArray(wide[i]));
    LocalFree(wide);
    return arguments;
}

bool SystemArguments::givenAsBytes()
{
    return false;
}

bool SystemArguments::expandsPatterns()
{
    return true;
}
