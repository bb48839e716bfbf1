#include "system/terminaltext.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

void TerminalText::connectStandardStreams()
{
    // The lowest free number is the one opened, and the lower ones are open
    // by then. Opened for reading only, the device fails a write with
    // EBADF, as the closed stream did.
    for (const int stream : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
        if (fcntl(stream, F_GETFD) == -1 && errno == EBADF)
            open("/dev/null", O_RDONLY);
    }
}

bool TerminalText::isTerminal(std::FILE* stream)
{
    return ::isatty(::fileno(stream)) == 1;
}

bool TerminalText::write(std::FILE* stream, const QString& text)
{
    return writeUtf8(stream, text);
}
