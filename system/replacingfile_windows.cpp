#include "system/replacingfile.h"
#include "system/systempath.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>
#include <windows.h>

struct ReplacingFile::Held
{
    // The temporary file, held open until the end, so that no other save
    // takes it for a leftover; -1 when none.
    qintptr file = -1;
    qintptr work = -1; // the work folder, held open like the temporary file
    // The temporary file's volume and index, which its name is checked
    // against once the writers are done with it.
    std::uint32_t volume = 0;
    std::uint64_t index = 0;

    // The temporary name opened for renaming or deleting it, only while it
    // still is the file this save wrote; nothing else may then rename it.
    // -1 when it is not, or cannot be opened (the reason in the system's
    // last error).
    qintptr openOwn(const QByteArray& temporaryBytes) const;
};

ReplacingFile::ReplacingFile(QString target, QString kind)
    : target_(std::move(target)), kind_(std::move(kind)), held_(std::make_unique<Held>())
{
}

ReplacingFile::~ReplacingFile()
{
    discard();
}

// What opens as something else than a file on Windows is, short of a pipe,
// a name it keeps for a device in every folder.
bool ReplacingFile::notAFile()
{
    return fail(QStringLiteral("O arquivo %1 não foi gravado: \"%2\" não é um arquivo comum: o "
                               "Windows reserva esse nome para um dispositivo (como NUL, CON, "
                               "PRN, AUX, COM1 e LPT1, com qualquer extensão). Escolha outro "
                               "nome.")
                    .arg(kind_, shownTarget()));
}

namespace {
// Paths go to the wide API as the system writes them, never as narrow text,
// and in the long form where they are long.
std::wstring wide(const QByteArray& utf8)
{
    return SystemPath::wide(QString::fromUtf8(utf8));
}

QByteArray folderOf(const QByteArray& path)
{
    const qsizetype slash = std::max(path.lastIndexOf('/'), path.lastIndexOf('\\'));
    return slash < 0 ? QByteArray(".") : path.left(slash);
}

HANDLE asHandle(qintptr handle)
{
    return reinterpret_cast<HANDLE>(handle);
}

// The system's error as the errno that reason() words.
int errnoOf(DWORD error)
{
    switch (error) {
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return ENOSPC;
    case ERROR_ACCESS_DENIED:
        return EACCES;
    case ERROR_WRITE_PROTECT:
        return EROFS;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_INVALID_DRIVE:
        return ENOENT;
    case ERROR_FILENAME_EXCED_RANGE:
        return ENAMETOOLONG;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return EBUSY;
    case ERROR_ALREADY_EXISTS:
    case ERROR_FILE_EXISTS:
        return EEXIST;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
        return ENOMEM;
    default:
        return EIO;
    }
}

struct FileIdentity
{
    std::uint32_t volume = 0;
    std::uint64_t index = 0;
    DWORD attributes = 0;
};

bool identify(HANDLE handle, FileIdentity& identity)
{
    BY_HANDLE_FILE_INFORMATION info = {};
    if (!GetFileInformationByHandle(handle, &info))
        return false;
    identity = {info.dwVolumeSerialNumber,
                (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow,
                info.dwFileAttributes};
    return true;
}

// Gives the file open as `handle` (with DELETE access) the name `target`,
// replacing what bears it: the file renamed is the one held, whatever has
// happened to its name.
bool renameHeld(HANDLE handle, const std::wstring& target)
{
    const std::size_t bytes = sizeof(FILE_RENAME_INFO) + target.size() * sizeof(wchar_t);
    std::vector<std::uint64_t> buffer((bytes + sizeof(std::uint64_t) - 1) / sizeof(std::uint64_t));
    auto* info = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    info->ReplaceIfExists = TRUE;
    info->RootDirectory = nullptr;
    info->FileNameLength = static_cast<DWORD>(target.size() * sizeof(wchar_t));
    std::memcpy(info->FileName, target.c_str(), (target.size() + 1) * sizeof(wchar_t));
    return SetFileInformationByHandle(handle, FileRenameInfo, info, static_cast<DWORD>(bytes)) != 0;
}

// Opens a leftover for deleting only when no handle of any program holds
// it: the save that writes a temporary file holds it open to the end.
bool unused(const std::wstring& path)
{
    const HANDLE handle =
        CreateFileW(path.c_str(), DELETE, 0, nullptr, OPEN_EXISTING,
                    FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(handle);
    return true;
}
// Whether another handle keeps an existing file from being replaced.
bool inUseByAnother(const std::wstring& path)
{
    const HANDLE handle =
        CreateFileW(path.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle != INVALID_HANDLE_VALUE) {
        CloseHandle(handle);
        return false;
    }
    return GetLastError() == ERROR_SHARING_VIOLATION;
}
} // namespace

QByteArray ReplacingFile::nameOf(const QByteArray& path)
{
    return path.mid(std::max(path.lastIndexOf('/'), path.lastIndexOf('\\')) + 1);
}

// Opens the target as the system would, so that its links are followed, and
// takes the name of the file that is to be replaced from the handle.
bool ReplacingFile::resolve()
{
    const QString absolute = QDir::toNativeSeparators(QFileInfo(target_).absoluteFilePath());
    QByteArray path = absolute.toUtf8();
    replacing_ = false;
    const HANDLE handle = CreateFileW(SystemPath::wide(absolute).c_str(), FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        // A new file, or a folder that is not there, which creating the
        // temporary file tells.
        if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND)
            return cannotWrite(errnoOf(error));
    } else {
        // A device name ("NUL", "CON", "COM1") opens as a device, not a file.
        const DWORD type = GetFileType(handle);
        BY_HANDLE_FILE_INFORMATION info = {};
        const bool known = GetFileInformationByHandle(handle, &info) != 0;
        std::wstring final(32768, L'\0');
        const DWORD size = GetFinalPathNameByHandleW(handle, final.data(), DWORD(final.size()),
                                                     FILE_NAME_NORMALIZED);
        CloseHandle(handle);
        if (type != FILE_TYPE_DISK || !known)
            return notAFile();
        if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            return cannotWrite(EISDIR);
        if (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY)
            return writeProtected();
        if (size > 0 && size < final.size()) {
            QString name = QString::fromStdWString(final.substr(0, size));
            // The final name comes in the long form: "\\?\C:\..." or "\\?\UNC\server\...".
            if (name.startsWith(QStringLiteral("\\\\?\\UNC\\")))
                name = QStringLiteral("\\\\") + name.mid(8);
            else if (name.startsWith(QStringLiteral("\\\\?\\")))
                name = name.mid(4);
            path = name.toUtf8();
        }
        replacing_ = true;
    }
    final_ = path;
    folder_ = folderOf(path);
    return true;
}

void ReplacingFile::removeLeftovers() const
{
    const QDir folder(QString::fromUtf8(folder_));
    const QByteArray stem = temporaryStem(nameOf(final_));
    // Every name, told apart by leftoverName() alone: a name filter would
    // read a target's "[" ("Relatório [dezembro].xlsx") as the start of a
    // set of characters and never find that target's leftovers.
    const QStringList names = folder.entryList(QDir::Files | QDir::Dirs | QDir::Hidden |
                                               QDir::System | QDir::NoDotAndDotDot);
    for (const QString& name : names) {
        // Only what this program makes: its exact names, hidden, and held by
        // no save.
        const QString path = folder.filePath(name);
        if (!leftoverName(name.toUtf8(), stem) || !QFileInfo(path).isHidden() ||
            !unused(SystemPath::wide(path)))
            continue;
        // Only an empty folder, as the program's own work folder is once
        // its files' handles have closed: one holding anything may be
        // someone's own, renamed to such a name.
        if (QFileInfo(path).isDir())
            QDir(folder).rmdir(name);
        else
            QFile::remove(path);
    }
}

bool ReplacingFile::createTemporary(const QByteArray& stemName)
{
    const QByteArray stem = folder_ + '\\' + stemName;
    removeLeftovers();

    for (int attempt = 0; attempt < 100; ++attempt) {
        const QByteArray path = stem + randomEnd();
        // Shared for writing, so that the writers can open it by its name,
        // but not for deleting: while it is held, no one can rename it or
        // put something else under its name, which the writers open. Held
        // open to the end, so that no other save takes it for a leftover.
        const HANDLE handle =
            CreateFileW(wide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                        nullptr, CREATE_NEW, FILE_ATTRIBUTE_HIDDEN, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            const DWORD error = GetLastError();
            if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS)
                continue;
            return cannotCreate(errnoOf(error));
        }
        FileIdentity identity;
        if (!identify(handle, identity)) {
            const DWORD error = GetLastError();
            CloseHandle(handle);
            DeleteFileW(wide(path).c_str());
            return cannotCreate(errnoOf(error));
        }
        held_->volume = identity.volume;
        held_->index = identity.index;
        held_->file = reinterpret_cast<qintptr>(handle);
        temporaryBytes_ = path;
        temporary_ = QString::fromUtf8(path);
        cleanups_.push_back(std::make_unique<SignalCleanup>(path));
        return true;
    }
    return cannotCreate(EEXIST);
}

QString ReplacingFile::writePath() const
{
    return temporary_;
}

QString ReplacingFile::makeWorkFolder()
{
    if (held_->file == -1)
        return {};
    if (!workFolder_.isEmpty())
        return QString::fromUtf8(workFolder_);
    const QByteArray stem = temporaryBytes_.chopped(kRandomCharacters);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QByteArray path = stem + randomEnd();
        if (!CreateDirectoryW(wide(path).c_str(), nullptr)) {
            const DWORD error = GetLastError();
            if (error == ERROR_ALREADY_EXISTS)
                continue;
            cannotCreate(errnoOf(error));
            return {};
        }
        SetFileAttributesW(wide(path).c_str(), FILE_ATTRIBUTE_HIDDEN);
        const HANDLE handle =
            CreateFileW(wide(path).c_str(), FILE_LIST_DIRECTORY,
                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            RemoveDirectoryW(wide(path).c_str());
            continue;
        }
        held_->work = reinterpret_cast<qintptr>(handle);
        workFolder_ = path;
        cleanups_.push_back(std::make_unique<SignalCleanup>(path));
        return QString::fromUtf8(path);
    }
    cannotCreate(EEXIST);
    return {};
}

void ReplacingFile::removeWorkFolder()
{
    if (workFolder_.isEmpty())
        return;
    CloseHandle(asHandle(std::exchange(held_->work, -1)));
    QDir(QString::fromUtf8(workFolder_)).removeRecursively();
    workFolder_.clear();
}

qintptr ReplacingFile::Held::openOwn(const QByteArray& temporaryBytes) const
{
    if (temporaryBytes.isEmpty()) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return -1;
    }
    // Shared with no one, and the name itself, not what a link there leads to.
    const HANDLE handle =
        CreateFileW(wide(temporaryBytes).c_str(),
                    DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES | SYNCHRONIZE, 0, nullptr,
                    OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return -1;
    FileIdentity identity;
    if (!identify(handle, identity) || identity.volume != volume || identity.index != index ||
        (identity.attributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY))) {
        CloseHandle(handle);
        SetLastError(ERROR_FILE_NOT_FOUND);
        return -1;
    }
    return reinterpret_cast<qintptr>(handle);
}

bool ReplacingFile::commit()
{
    if (held_->file == -1)
        return cannotWrite(ENOENT);
    auto failed = [this](DWORD error) {
        discard();
        return cannotWrite(errnoOf(error));
    };
    // On the disk before it takes the target's place: a power cut after
    // the rename must not leave an empty file.
    if (!FlushFileBuffers(asHandle(held_->file)))
        return failed(GetLastError());
    // Hidden while written, not once it is the target.
    FILE_BASIC_INFO basic = {};
    basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
    SetFileInformationByHandle(asHandle(held_->file), FileBasicInfo, &basic, sizeof basic);
    // Something else may have taken the target's name since create().
    const DWORD attributes = GetFileAttributesW(wide(final_).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        discard();
        return cannotWrite(EISDIR);
    }
    // The handle the file was written through cannot rename it (the writers
    // could not have opened it beside a DELETE access); the one that does
    // is taken only if the name still is this file, and renames that file.
    CloseHandle(asHandle(std::exchange(held_->file, -1)));
    const qintptr own = held_->openOwn(temporaryBytes_);
    if (own == -1) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND) {
            replacedMeanwhile();
            temporaryBytes_.clear();
            discard();
            return false;
        }
        return failed(error);
    }
    if (!renameHeld(asHandle(own), wide(final_))) {
        DWORD error = GetLastError();
        CloseHandle(asHandle(own));
        // Windows says "access denied" also when another program holds the
        // file open (a workbook open in the spreadsheet), which the user
        // can do something about.
        if (error == ERROR_ACCESS_DENIED && inUseByAnother(wide(final_)))
            error = ERROR_SHARING_VIOLATION;
        return failed(error);
    }
    FlushFileBuffers(asHandle(own));
    CloseHandle(asHandle(own));
    removeWorkFolder();
    temporaryBytes_.clear();
    temporary_.clear();
    cleanups_.clear();
    return true;
}

void ReplacingFile::discard()
{
    removeWorkFolder();
    if (held_->file != -1)
        CloseHandle(asHandle(std::exchange(held_->file, -1)));
    // Only the program's own file goes: whatever someone put under its
    // name stays as they left it.
    if (const qintptr own = held_->openOwn(temporaryBytes_); own != -1) {
        FILE_DISPOSITION_INFO disposition = {};
        disposition.DeleteFile = TRUE;
        SetFileInformationByHandle(asHandle(own), FileDispositionInfo, &disposition,
                                   sizeof disposition);
        CloseHandle(asHandle(own));
    }
    cleanups_.clear();
    temporaryBytes_.clear();
    temporary_.clear();
}
