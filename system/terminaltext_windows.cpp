#include "system/terminaltext.h"

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

void TerminalText::connectStandardStreams()
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

bool TerminalText::write(std::FILE* stream, const QString& text)
{
    const HANDLE handle = handleOf(stream);
    if (!isConsole(handle))
        return writeUtf8(stream, text);
    std::fflush(stream);
    const auto size = static_cast<DWORD>(text.size());
    DWORD written = 0;
    return WriteConsoleW(handle, text.utf16(), size, &written, nullptr) && written == size;
}
