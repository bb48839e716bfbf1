#include "system/regularfile.h"
#include "system/systempath.h"

#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <io.h>
#include <windows.h>

// Opened to be read while others may read or write it too (a payroll suite
// may hold it), by its wide name: every name Windows has, drive letters,
// UNC shares and accented folders alike.
RegularFile::Refusal RegularFile::open(const QString& path, QFile& file)
{
    const std::wstring name = SystemPath::wide(path);
    HANDLE handle = CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        switch (GetLastError()) {
        case ERROR_ACCESS_DENIED:
            return QFileInfo(path).isDir() ? Refusal::NotAFile : Refusal::NoPermission;
        // A program that opened the file without sharing it, a spreadsheet
        // that has it open for editing: closing it there is all it takes.
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            return Refusal::InUse;
        default:
            return Refusal::CannotRead;
        }
    }
    // A named pipe or a device (CON, COM1) is no ordinary file.
    if (GetFileType(handle) != FILE_TYPE_DISK) {
        CloseHandle(handle);
        return Refusal::NotAFile;
    }
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_RDONLY | _O_BINARY);
    if (fd < 0) {
        CloseHandle(handle);
        return Refusal::CannotRead;
    }
    if (!file.open(fd, QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
        _close(fd);
        return Refusal::CannotRead;
    }
    return Refusal::None;
}
