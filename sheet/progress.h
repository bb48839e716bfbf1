#pragma once

// How a long job tells how far it has come and learns whether to go on. The
// writers and the printer know nothing of dialogs: the window hands them one
// that shows a progress dialog, the command line none.
class Progress
{
public:
    virtual ~Progress() = default;

    // Called before each step with the steps done so far; false when the
    // user asked to stop, and the job then ends leaving nothing behind.
    virtual bool advance(int done, int total) = 0;

    // Called once the job has made its whole result, before it is kept:
    // false when the user asked to stop during a last step that reports
    // nothing (a workbook's packing), and the job then ends as stopped.
    virtual bool finish() { return true; }
};
