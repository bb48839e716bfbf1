#include "system/fileidentity.h"
#include "system/systempath.h"

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
