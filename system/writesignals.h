#pragma once

// The signals by which a failed write ends a program on Linux: SIGXFSZ past
// the file size limit (`ulimit -f`), SIGPIPE into a pipe no one reads any
// more. Windows has neither.
class WriteSignals
{
public:
    // Ignored from now on, so that such a write fails with EFBIG or EPIPE
    // instead; nothing on Windows.
    static void ignore();
};
