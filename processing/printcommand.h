#pragma once

class ResultSheet;

// The printer button: prints the whole sheet with the template's settings.
// It checks nothing first and shows no message of its own.
class PrintCommand
{
public:
    // Returns whether the sheet printed (false also for a cancelled dialog).
    static bool run(ResultSheet& sheet);
};
