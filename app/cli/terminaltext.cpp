#include "app/cli/terminaltext.h"

#ifdef _WIN32
#include <io.h>
#include <windows.h>

namespace {
HANDLE handleOf(std::FILE* stream)
{
    return reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
}

bool isConsole(HANDLE handle)
{
    DWORD mode = 0;
    return handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode);
}

// Not given a file or a pipe by the caller, nor a console of its own.
bool unconnected(DWORD which)
{
    const HANDLE handle = GetStdHandle(which);
    return handle == nullptr || handle == INVALID_HANDLE_VALUE;
}
} // namespace

void TerminalText::attachToParentConsole()
{
    const bool out = unconnected(STD_OUTPUT_HANDLE);
    const bool err = unconnected(STD_ERROR_HANDLE);
    if ((!out && !err) || !AttachConsole(ATTACH_PARENT_PROCESS))
        return;
    if (out)
        std::freopen("CONOUT$", "w", stdout);
    if (err)
        std::freopen("CONOUT$", "w", stderr);
    // The progress line's "erase to the end of the line".
    for (std::FILE* stream : {stdout, stderr}) {
        DWORD mode = 0;
        if (GetConsoleMode(handleOf(stream), &mode))
            SetConsoleMode(handleOf(stream), mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
    }
}

bool TerminalText::isTerminal(std::FILE* stream)
{
    return isConsole(handleOf(stream));
}

void TerminalText::write(std::FILE* stream, const QString& text)
{
    const HANDLE handle = handleOf(stream);
    if (!isConsole(handle)) {
        std::fputs(text.toUtf8().constData(), stream);
        return;
    }
    std::fflush(stream);
    DWORD written = 0;
    WriteConsoleW(handle, text.utf16(), static_cast<DWORD>(text.size()), &written, nullptr);
}

#else
#include <unistd.h>

void TerminalText::attachToParentConsole() {}

bool TerminalText::isTerminal(std::FILE* stream)
{
    return ::isatty(::fileno(stream)) == 1;
}

void TerminalText::write(std::FILE* stream, const QString& text)
{
    std::fputs(text.toUtf8().constData(), stream);
}
#endif
