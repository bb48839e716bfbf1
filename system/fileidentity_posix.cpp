#include "processing/fileidentity.h"

#include "sheet/systempath.h"

#ifdef _WIN32
#include <QDir>

#include <optional>
#include <string>
#include <windows.h>

namespace {
struct Identity
{
    DWORD volume = 0;
    DWORD indexHigh = 0;
    DWORD indexLow = 0;
    bool operator==(const Identity&) const = default;
};

// The volume and the file's number on it, which every name of the file
// shares; nothing when it cannot be opened to ask.
std::optional<Identity> identityOf(const QString& path)
{
    const std::wstring name = SystemPath::wide(path);
    // Read attributes only, shared with any reader or writer; a folder
    // opens only with backup semantics.
    const HANDLE file = CreateFileW(name.c_str(), FILE_READ_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return std::nullopt;
    BY_HANDLE_FILE_INFORMATION info = {};
    const bool known = GetFileInformationByHandle(file, &info);
    CloseHandle(file);
    if (!known)
        return std::nullopt;
    return Identity{info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
}
} // namespace

bool FileIdentity::same(const QString& first, const QString& second)
{
    const std::optional<Identity> a = identityOf(first);
    return a && a == identityOf(second);
}

#else
#include <QFile>

#include <sys/stat.h>

bool FileIdentity::same(const QString& first, const QString& second)
{
    // A NUL would cut the path short in the system call: another file.
    if (first.contains(QChar(u'\0')) || second.contains(QChar(u'\0')))
        return false;
    // stat() follows links to what they lead to; the device and the inode
    // are the file's own, shared by every name and mount it is reached by.
    struct stat a = {};
    struct stat b = {};
    return stat(QFile::encodeName(first).constData(), &a) == 0 &&
           stat(QFile::encodeName(second).constData(), &b) == 0 && a.st_dev == b.st_dev &&
           a.st_ino == b.st_ino;
}
#endif
