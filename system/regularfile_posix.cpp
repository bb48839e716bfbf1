#include "processing/regularfile.h"

#include "sheet/systempath.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef _WIN32

#include <fcntl.h>
#include <io.h>
#include <windows.h>

// Opened to be read while others may read or write it too (a payroll suite
// may hold it), by its wide name: every name Windows has, drive letters,
// UNC shares and accented folders alike.
CommandMessage RegularFile::open(const QString& path, QFile& file)
{
    const std::wstring name = SystemPath::wide(path);
    HANDLE handle = CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        switch (GetLastError()) {
        case ERROR_ACCESS_DENIED:
            return QFileInfo(path).isDir() ? CommandMessage::FileNotFound
                                           : CommandMessage::NoPermission;
        // A program that opened the file without sharing it, a spreadsheet
        // that has it open for editing: closing it there is all it takes.
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            return CommandMessage::FileInUse;
        default:
            return CommandMessage::CannotRead;
        }
    }
    // A named pipe or a device (CON, COM1) is no ordinary file.
    if (GetFileType(handle) != FILE_TYPE_DISK) {
        CloseHandle(handle);
        return CommandMessage::FileNotFound;
    }
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_RDONLY | _O_BINARY);
    if (fd < 0) {
        CloseHandle(handle);
        return CommandMessage::CannotRead;
    }
    if (!file.open(fd, QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
        _close(fd);
        return CommandMessage::CannotRead;
    }
    return CommandMessage::None;
}

#else

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

CommandMessage RegularFile::open(const QString& path, QFile& file)
{
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return errno == EACCES || errno == EPERM ? CommandMessage::NoPermission
                                                 : CommandMessage::CannotRead;
    struct stat info = {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return CommandMessage::FileNotFound;
    }
    // An ordinary file never blocks; clear the flag all the same.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (!file.open(fd, QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return CommandMessage::CannotRead;
    }
    return CommandMessage::None;
}

#endif
