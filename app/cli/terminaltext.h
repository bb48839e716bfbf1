#pragma once

#include <QString>

#include <cstdio>

// Text for the terminal a command was started from, in Portuguese, whatever
// the system. Linux terminals read UTF-8. A Windows console is written in
// its own wide characters, whatever its code page; output sent to a file or
// a pipe is UTF-8, as on Linux, so that both systems give the same bytes.
namespace TerminalText {
// A Windows program built for the desktop (no console window of its own)
// starts without its parent's console: this attaches to it, when there is
// one and the output is not sent elsewhere, so that --help, --version and
// --salvar answer where they were asked. Nothing on Linux.
void attachToParentConsole();
// Whether `stream` is a terminal (a progress line is shown there only).
bool isTerminal(std::FILE* stream);
void write(std::FILE* stream, const QString& text);
} // namespace TerminalText
