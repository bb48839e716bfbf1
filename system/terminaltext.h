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
// --salvar answer where they were asked. On Linux, a standard stream the
// program was started without (`2>&-`) is given a device that takes no
// writes, so that the next file the program opens cannot take its number
// and receive its messages, and a message written there fails as it would
// have.
void connectStandardStreams();
// Whether `stream` is a terminal (a progress line is shown there only).
bool isTerminal(std::FILE* stream);
// Whether all of `text` reached `stream`: a closed pipe, a full disk or a
// closed stream make it false, never end the program.
bool write(std::FILE* stream, const QString& text);
// What write() does where `stream` is a file or a pipe, and everywhere on
// Linux: `text` in UTF-8, flushed.
bool writeUtf8(std::FILE* stream, const QString& text);
// A file name or a text from the command line as it is shown inside a
// message: control characters written as the shell's $'…' writes them
// (\n, \t, \033, \u202e), so that a name cannot break a message's line,
// move the cursor or pass for another message.
QString shown(const QString& text);
// A path inside a message: in the system's own separators, as its user
// types it and its file manager shows it ("C:\Users\ana\retorno.txt" on
// Windows, whatever Qt or the user wrote), then shown(). Every path the
// command line tells goes through it.
QString shownPath(const QString& path);
// Bytes that may not be text, a name as the system holds it: those that are
// not ASCII written as \xHH, the rest as shown() writes them.
QString shownBytes(const QByteArray& bytes);
// Each line of `text` after the path `name` shown and ": ", so that every
// line of a message says which file it is about; whether all of it was
// written.
bool writeAbout(std::FILE* stream, const QString& name, const QString& text);
} // namespace TerminalText
