#include "app/cli/terminaltext.h"

#include <QList>

namespace {
// Flushed at once, so that a failure is known while the message is told,
// not when the program ends.
bool writeBytes(std::FILE* stream, const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    const auto size = static_cast<std::size_t>(bytes.size());
    return std::fwrite(bytes.constData(), 1, size, stream) == size && std::fflush(stream) == 0;
}
} // namespace

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
        return writeBytes(stream, text);
    std::fflush(stream);
    const auto size = static_cast<DWORD>(text.size());
    DWORD written = 0;
    return WriteConsoleW(handle, text.utf16(), size, &written, nullptr) && written == size;
}

#else
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
    return writeBytes(stream, text);
}
#endif

namespace {
// What a terminal acts on, or draws as nothing, instead of showing it.
bool invisible(char32_t c)
{
    switch (QChar::category(c)) {
    case QChar::Other_Control:
    case QChar::Other_Format:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
        return true;
    default:
        return false;
    }
}

QString escaped(char32_t c)
{
    switch (c) {
    case u'\n':
        return QStringLiteral("\\n");
    case u'\r':
        return QStringLiteral("\\r");
    case u'\t':
        return QStringLiteral("\\t");
    default:
        break;
    }
    if (c < 0x80)
        return QStringLiteral("\\%1").arg(uint(c), 3, 8, QLatin1Char('0'));
    if (c <= 0xFFFF)
        return QStringLiteral("\\u%1").arg(uint(c), 4, 16, QLatin1Char('0'));
    return QStringLiteral("\\U%1").arg(uint(c), 8, 16, QLatin1Char('0'));
}
} // namespace

QString TerminalText::shown(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (const char32_t c : text.toUcs4())
        out += invisible(c) ? escaped(c) : QString::fromUcs4(&c, 1);
    return out;
}
