#pragma once

// While one lives (and is not paused), what the program's C library writes
// to the standard error goes nowhere.
//
// libxlsxwriter says its failures in English on stderr ("[ERROR]
// workbook_close(): Error creating …") besides returning them; the program
// tells them in its own words, so the library's lines must not reach the
// terminal or the console the clerk reads. They are written through the
// descriptor, which is pointed at the null device only while the library
// works: the program writes nothing of its own to stderr from another thread,
// and pauses this around its progress line.
class QuietStderr
{
public:
    QuietStderr();
    ~QuietStderr();
    QuietStderr(const QuietStderr&) = delete;
    QuietStderr& operator=(const QuietStderr&) = delete;

    // Gives stderr back until resume().
    void pause();
    void resume();

private:
    // Each system's descriptor calls: a copy of stderr's descriptor (on
    // Linux one the program's children do not inherit); stderr pointed at `fd`; the null
    // device opened for writing; a descriptor closed.
    static int keepStderr();
    static void pointStderrAt(int fd);
    static int openNull();
    static void closeFd(int fd);

    int saved_ = -1; // the real stderr, -1 when it could not be kept
    int null_ = -1;
};
