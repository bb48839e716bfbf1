#pragma once

#include <QStringList>

// The program's arguments as the user gave them, program name first, each
// system's way: every name a user can type reaches the program whole.
class SystemArguments
{
public:
    // On POSIX argv's bytes, read as file names are. On Windows the wide
    // command line the system keeps: argv is only its copy in the code page,
    // in which a name outside it ("Łódź", "東京") has become a look-alike
    // ("Lódz") or "?", another file's name or none. Taken from the system
    // there, so that a changed argv (the headless platform put in for a PDF)
    // changes nothing.
    static QStringList of(int argc, const char* const* argv);

    // Whether argv's bytes are what was given, so that one that is no text
    // can be told by its bytes (POSIX). On Windows the system made them from
    // the wide line: there is nothing in them to check.
    static bool givenAsBytes();

    // Whether "*" and "?" in a file argument are the program's to expand
    // (FilePattern): on Windows, whose cmd passes them on as typed. A POSIX
    // shell has expanded them, and what it left is a name as it is.
    static bool expandsPatterns();
};
