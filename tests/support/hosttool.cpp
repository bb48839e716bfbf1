#include "tests/support/hosttool.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#ifdef _WIN32
#include <cstdlib>
#include <windows.h>
#endif

QString HostTool::program(const QString& name)
{
#ifdef _WIN32
    const QString onZ = QStringLiteral("Z:/usr/bin/") + name;
    return QFileInfo::exists(onZ) ? onZ : QString();
#else
    const QString debians = QStringLiteral("/usr/bin/") + name;
    if (QFileInfo::exists(debians))
        return debians;
    return QStandardPaths::findExecutable(name);
#endif
}

QString HostTool::path(const QString& path)
{
#ifdef _WIN32
    // Wine's own call, which real Windows lacks: the tests that need it skip there.
    using UnixName = char* (*)(const wchar_t*);
    const auto unixName = reinterpret_cast<UnixName>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (!unixName)
        return {};
    const QString native = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    char* name = unixName(reinterpret_cast<const wchar_t*>(native.utf16()));
    if (!name)
        return {};
    const QString out = QString::fromUtf8(name);
    HeapFree(GetProcessHeap(), 0, name);
    return out;
#else
    return path;
#endif
}

QByteArray HostTool::run(const QString& program, const QStringList& arguments, int* exitCode)
{
    *exitCode = -1;
#ifdef _WIN32
    // A Linux program started by Wine writes to Wine's own output, not to a
    // Windows pipe, and Wine does not wait for its end: a shell sends its
    // output to a file and its exit code to another, which ends the wait.
    QTemporaryDir folder;
    if (!folder.isValid())
        return {};
    const QString output = folder.filePath(QStringLiteral("output"));
    const QString ended = folder.filePath(QStringLiteral("exit"));
    const auto quoted = [](QString argument) {
        return QLatin1Char('"') + argument.replace(QLatin1Char('"'), QStringLiteral("\\\"")) +
               QLatin1Char('"');
    };
    QString line = QStringLiteral("\"Z:\\bin\\sh\" -c ") +
                   quoted(QStringLiteral("\"$@\" >\"$0/output\"; echo $? >\"$0/exit.part\"; "
                                         "mv \"$0/exit.part\" \"$0/exit\"")) +
                   QLatin1Char(' ') + quoted(path(folder.path())) + QLatin1Char(' ') +
                   quoted(program.mid(2)); // "Z:/usr/bin/x" is /usr/bin/x
    for (const QString& argument : arguments)
        line += QLatin1Char(' ') + quoted(argument);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    std::wstring command = line.toStdWString();
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return {};
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    for (int waited = 0; waited < 60'000 && !QFileInfo::exists(ended); waited += 10)
        Sleep(10);
    QFile code(ended);
    QFile out(output);
    if (!code.open(QIODevice::ReadOnly) || !out.open(QIODevice::ReadOnly))
        return {};
    *exitCode = code.readAll().trimmed().toInt();
    return out.readAll();
#else
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60'000))
        return {};
    *exitCode = process.exitCode();
    return process.readAllStandardOutput();
#endif
}
