#include "sheet/replacingfile.h"

#include "sheet/systempath.h"
#include "sheet/text/utf8boundary.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>

#ifdef _WIN32
#include <cstring>
#include <vector>
#include <windows.h>
#else
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

using FileStatus = struct stat;
#endif

namespace {
// Between the target's name and the random end of its temporary name.
constexpr char kMark[] = ".verinova-";
constexpr int kRandomCharacters = 6;
// The longest file name, in bytes of UTF-8, that every system takes.
constexpr qsizetype kNameMax = 255;

QByteArray randomEnd()
{
    static constexpr char kLetters[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    QByteArray end(kRandomCharacters, '\0');
    for (char& c : end)
        c = kLetters[QRandomGenerator::global()->bounded(int(sizeof kLetters) - 1)];
    return end;
}

// A leftover's name: the stem, then exactly the random end's characters.
bool leftoverName(const QByteArray& name, const QByteArray& stem)
{
    if (name.size() != stem.size() + kRandomCharacters || !name.startsWith(stem))
        return false;
    return std::all_of(name.cbegin() + stem.size(), name.cend(), [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
    });
}
} // namespace

ReplacingFile::ReplacingFile(QString target, QString kind)
    : target_(std::move(target)), kind_(std::move(kind))
{
}

ReplacingFile::~ReplacingFile()
{
    discard();
}

QByteArray ReplacingFile::temporaryStem(const QByteArray& targetName)
{
    // Whatever name fits the folder, its temporary one fits too: the
    // target's part is cut, between characters, to leave room for the rest.
    constexpr qsizetype room = kNameMax - 1 - (sizeof kMark - 1) - kRandomCharacters;
    const std::size_t cut = Utf8Boundary::atOrBefore(
        {targetName.constData(), static_cast<std::size_t>(targetName.size())}, room);
    return '.' + targetName.left(static_cast<qsizetype>(cut)) + kMark;
}

bool ReplacingFile::fail(const QString& why)
{
    error_ = why;
    return false;
}

// Paths in messages are written as the system writes them: "C:\\Users\\…"
// on Windows.
QString ReplacingFile::shownTarget() const
{
    return QDir::toNativeSeparators(target_);
}

bool ReplacingFile::cannotCreate(int error)
{
    return fail(QStringLiteral("Não foi possível criar o arquivo %1 \"%2\": %3.")
                    .arg(kind_, shownTarget(), reason(error)));
}

bool ReplacingFile::cannotWrite(int error)
{
    return fail(QStringLiteral("Não foi possível gravar o arquivo %1 \"%2\": %3.")
                    .arg(kind_, shownTarget(), reason(error)));
}

bool ReplacingFile::notAFile()
{
#ifdef _WIN32
    // What opens as something else than a file on Windows is, short of a
    // pipe, a name it keeps for a device in every folder.
    return fail(QStringLiteral("O arquivo %1 não foi gravado: \"%2\" não é um arquivo comum: o "
                               "Windows reserva esse nome para um dispositivo (como NUL, CON, "
                               "PRN, AUX, COM1 e LPT1, com qualquer extensão). Escolha outro "
                               "nome.")
                    .arg(kind_, shownTarget()));
#else
    return fail(QStringLiteral("O arquivo %1 não foi gravado: \"%2\" não é um arquivo comum (é "
                               "um FIFO, um dispositivo ou um socket) e não será substituído.")
                    .arg(kind_, shownTarget()));
#endif
}

bool ReplacingFile::writeProtected()
{
    return fail(QStringLiteral("O arquivo %1 não foi gravado: \"%2\" está protegido contra "
                               "gravação (somente leitura) e não será substituído.")
                    .arg(kind_, shownTarget()));
}

bool ReplacingFile::replacedMeanwhile()
{
    return fail(
        QStringLiteral(
            "O arquivo %1 \"%2\" não foi gravado: o arquivo temporário \"%3\" "
            "foi trocado por outro durante a gravação (alguém mais pode gravar nessa pasta).")
            .arg(kind_, shownTarget(), QDir::toNativeSeparators(temporary_)));
}

#ifndef _WIN32

namespace {
// Links followed before giving up, as the kernel counts them.
constexpr int kMaxLinks = 40;
constexpr char kSeparator = '/';
// What a leftover of this program is: its temporary file is made private at
// once, its work folder is made so.
constexpr mode_t kTemporaryMode = S_IRUSR | S_IWUSR;
constexpr mode_t kWorkFolderMode = S_IRWXU;

QByteArray folderOf(const QByteArray& path)
{
    const qsizetype slash = path.lastIndexOf('/');
    return slash <= 0 ? QByteArray("/") : path.left(slash);
}

QByteArray nameOf(const QByteArray& path)
{
    return path.mid(path.lastIndexOf('/') + 1);
}

// The name a descriptor is opened again by: the kernel resolves it to the
// descriptor's own file or folder, wherever its name has gone.
QString descriptorPath(qintptr fd)
{
    return QStringLiteral("/proc/self/fd/%1").arg(fd);
}

bool sameFile(const FileStatus& a, const FileStatus& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Removes the files in an open folder; the folder's descriptor is kept.
void emptyFolder(int fd)
{
    const int own = dup(fd);
    if (own < 0)
        return;
    if (DIR* dir = fdopendir(own)) {
        rewinddir(dir);
        while (const dirent* entry = readdir(dir)) {
            if (entry->d_type != DT_DIR)
                unlinkat(dirfd(dir), entry->d_name, 0);
        }
        closedir(dir);
    } else {
        close(own);
    }
}

} // namespace

// Follows the target's links to the file that is to be replaced, and takes
// its permissions and group.
bool ReplacingFile::resolve()
{
    QByteArray path = QFile::encodeName(QFileInfo(target_).absoluteFilePath());
    replacing_ = false;
    for (int links = 0;; ++links) {
        FileStatus st = {};
        if (lstat(path.constData(), &st) != 0) {
            // A new file, or a folder that is not there, which creating the
            // temporary file tells.
            if (errno == ENOENT)
                break;
            return cannotWrite(errno);
        }
        if (S_ISLNK(st.st_mode)) {
            if (links == kMaxLinks)
                return cannotWrite(ELOOP);
            QByteArray link(PATH_MAX, '\0');
            const ssize_t size = readlink(path.constData(), link.data(), link.size());
            if (size < 0 || size >= link.size())
                return cannotWrite(size < 0 ? errno : ENAMETOOLONG);
            link.truncate(size);
            path = link.startsWith('/') ? link : folderOf(path) + '/' + link;
            continue;
        }
        if (S_ISDIR(st.st_mode))
            return cannotWrite(EISDIR);
        if (!S_ISREG(st.st_mode))
            return notAFile();
        // Replacing needs only the folder; but a file its owner has taken
        // "w" from is meant to stay, as cp and a shell's ">" leave it. Judged
        // by the owner's bits for root too, whom the system lets write it.
        if (!(st.st_mode & S_IWUSR) ||
            (geteuid() != 0 && st.st_uid != geteuid() &&
             faccessat(AT_FDCWD, path.constData(), W_OK, AT_EACCESS) != 0 && errno == EACCES))
            return writeProtected();
        replacing_ = true;
        mode_ = st.st_mode & 07777;
        group_ = st.st_gid;
        break;
    }
    final_ = path;
    folder_ = folderOf(path);
    return true;
}

bool ReplacingFile::stillOurs(const QByteArray& name, qintptr fd) const
{
    FileStatus own = {};
    FileStatus named = {};
    return fd >= 0 && fstat(fd, &own) == 0 &&
           fstatat(folderFd_, name.constData(), &named, AT_SYMLINK_NOFOLLOW) == 0 &&
           (own.st_mode & S_IFMT) == (named.st_mode & S_IFMT) && sameFile(own, named);
}

// Temporary files of this target that no save is writing any more: a save
// holds a lock on its own until it ends, and only SIGKILL or a power cut
// leaves one without. Only what this program makes is taken: a file or
// folder of the user's, private as this program makes them, under the
// exact name; a file of anyone's that only looks like one stays.
void ReplacingFile::removeLeftovers() const
{
    const int fd = openat(folderFd_, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    DIR* dir = fdopendir(fd);
    if (!dir) {
        close(fd);
        return;
    }
    const QByteArray stem = temporaryStem(nameOf(final_));
    while (const dirent* entry = readdir(dir)) {
        if (!leftoverName(QByteArray(entry->d_name), stem))
            continue;
        const int leftover = openat(dirfd(dir), entry->d_name,
                                    O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (leftover < 0)
            continue;
        FileStatus st = {};
        if (fstat(leftover, &st) == 0 && st.st_uid == geteuid() &&
            flock(leftover, LOCK_EX | LOCK_NB) == 0) {
            const mode_t mode = st.st_mode & 07777;
            if (S_ISREG(st.st_mode) && mode == kTemporaryMode) {
                unlinkat(dirfd(dir), entry->d_name, 0);
            } else if (S_ISDIR(st.st_mode) && mode == kWorkFolderMode) {
                emptyFolder(leftover);
                unlinkat(dirfd(dir), entry->d_name, AT_REMOVEDIR);
            }
        }
        close(leftover);
    }
    closedir(dir);
}

bool ReplacingFile::createTemporary(const QByteArray& stem)
{
    // Messages name the temporary file as text.
    if (QFile::encodeName(QFile::decodeName(stem)) != stem)
        return fail(QStringLiteral("Não foi possível criar o arquivo %1 \"%2\": o nome da pasta "
                                   "ou do arquivo não é texto UTF-8 e não pode ser usado.")
                        .arg(kind_, shownTarget()));
#ifdef O_PATH
    folderFd_ = open(folder_.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
#else
    folderFd_ = open(folder_.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
#endif
    if (folderFd_ < 0)
        return cannotCreate(errno);
    removeLeftovers();

    for (int attempt = 0; attempt < 100; ++attempt) {
        const QByteArray path = stem + randomEnd();
        const QByteArray name = nameOf(path);
        // The system gives a new file the permissions the umask (or the
        // folder's default ACL) says; they are kept for the end, and the file
        // stays private while it is written.
        int fd = -1;
        int error = 0;
        std::unique_ptr<SignalCleanup> cleanup;
        {
            const SignalCleanup::Defer defer;
            fd = openat(folderFd_, name.constData(),
                        O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
            error = errno;
            if (fd >= 0)
                cleanup = std::make_unique<SignalCleanup>(path);
        }
        if (fd < 0 && error == EEXIST)
            continue;
        if (fd < 0)
            return cannotCreate(error);
        FileStatus st = {};
        // A later save removes only what is not locked; one that found this
        // file between its creation and the lock has removed it. A file
        // system without locks keeps its leftovers.
        flock(fd, LOCK_EX);
        if (fstat(fd, &st) != 0 || st.st_nlink == 0) {
            close(fd);
            continue;
        }
        if (!replacing_)
            mode_ = st.st_mode & 07777;
        fchmod(fd, kTemporaryMode);
        fd_ = fd;
        temporaryBytes_ = path;
        temporary_ = QFile::decodeName(path);
        cleanups_.push_back(std::move(cleanup));
        return true;
    }
    return cannotCreate(EEXIST);
}

QString ReplacingFile::writePath() const
{
    return fd_ < 0 ? QString() : descriptorPath(fd_);
}

QString ReplacingFile::makeWorkFolder()
{
    if (fd_ < 0)
        return {};
    if (!workFolder_.isEmpty())
        return descriptorPath(workFd_);
    const QByteArray stem = temporaryBytes_.chopped(kRandomCharacters);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QByteArray path = stem + randomEnd();
        const QByteArray name = nameOf(path);
        int error = 0;
        std::unique_ptr<SignalCleanup> cleanup;
        {
            const SignalCleanup::Defer defer;
            error = mkdirat(folderFd_, name.constData(), kWorkFolderMode) == 0 ? 0 : errno;
            // Removed on a signal after the temporary file, when empty, as
            // the writer's files nearly always are: it removes each as soon
            // as it has opened it.
            if (error == 0)
                cleanup = std::make_unique<SignalCleanup>(path);
        }
        if (error == EEXIST)
            continue;
        if (error != 0) {
            cannotCreate(error);
            return {};
        }
        const int fd =
            openat(folderFd_, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        FileStatus st = {};
        if (fd >= 0)
            flock(fd, LOCK_EX);
        // Someone may have put a folder of theirs in its place: only one of
        // the user's is used, and made private whatever the umask said.
        if (fd < 0 || fstat(fd, &st) != 0 || st.st_nlink == 0 || st.st_uid != geteuid() ||
            fchmod(fd, kWorkFolderMode) != 0) {
            if (fd >= 0)
                close(fd);
            continue;
        }
        workFd_ = fd;
        workFolder_ = path;
        cleanups_.push_back(std::move(cleanup));
        return descriptorPath(workFd_);
    }
    cannotCreate(EEXIST);
    return {};
}

void ReplacingFile::removeWorkFolder()
{
    if (workFolder_.isEmpty())
        return;
    emptyFolder(workFd_);
    const QByteArray name = nameOf(workFolder_);
    if (stillOurs(name, workFd_))
        unlinkat(folderFd_, name.constData(), AT_REMOVEDIR);
    close(std::exchange(workFd_, -1));
    workFolder_.clear();
}

bool ReplacingFile::commit()
{
    if (fd_ < 0)
        return cannotWrite(ENOENT);
    auto failed = [this](int error) {
        discard();
        return cannotWrite(error);
    };
    // On the disk before it takes the target's place: a power cut after
    // the rename must not leave an empty file.
    if (fsync(fd_) != 0)
        return failed(errno);
    FileStatus st = {};
    // Only root or a member of the group may give the file its group; else
    // it keeps the user's.
    if (replacing_ && fstat(fd_, &st) == 0 && st.st_gid != group_ &&
        fchown(fd_, static_cast<uid_t>(-1), group_) != 0)
        errno = 0;
    const QByteArray temporaryName = nameOf(temporaryBytes_);
    const QByteArray finalName = nameOf(final_);
    // Whoever may write the folder may have put a link or a file of theirs
    // under the temporary name; renaming it would make theirs the target.
    if (!stillOurs(temporaryName, fd_)) {
        replacedMeanwhile();
        discard();
        return false;
    }
    // Something else may have taken the target's name since create().
    if (fstatat(folderFd_, finalName.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0 &&
        !S_ISREG(st.st_mode) && !S_ISLNK(st.st_mode)) {
        discard();
        return notAFile();
    }
    // renameat() replaces the target in one step, where QFile::rename refuses to.
    if (renameat(folderFd_, temporaryName.constData(), folderFd_, finalName.constData()) != 0)
        return failed(errno);
    // The name may still have been swapped between the check and the
    // rename; the file then stays private, wherever it went.
    const bool ours = stillOurs(finalName, fd_);
    if (ours)
        fchmod(fd_, mode_);
    else
        replacedMeanwhile();
    temporaryBytes_.clear();
    temporary_.clear();
    removeWorkFolder();
    cleanups_.clear();
    close(std::exchange(fd_, -1));
    if (!ours) {
        close(std::exchange(folderFd_, -1));
        return false;
    }
    // The new name is on the disk only with its folder.
    const int folder = openat(folderFd_, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    int error = folder < 0 ? errno : 0;
    if (folder >= 0) {
        // Some file systems cannot sync a folder, and say so with EINVAL.
        if (fsync(folder) != 0 && errno != EINVAL)
            error = errno;
        close(folder);
    }
    close(std::exchange(folderFd_, -1));
    if (error != 0)
        return fail(QStringLiteral("O arquivo %1 \"%2\" foi gravado, mas pode não estar no disco: "
                                   "%3.")
                        .arg(kind_, shownTarget(), reason(error)));
    return true;
}

void ReplacingFile::discard()
{
    // Only the program's own file goes: a link or file someone put under
    // its name stays as they left it.
    if (!temporaryBytes_.isEmpty() && stillOurs(nameOf(temporaryBytes_), fd_))
        unlinkat(folderFd_, nameOf(temporaryBytes_).constData(), 0);
    removeWorkFolder();
    cleanups_.clear();
    if (fd_ >= 0)
        close(std::exchange(fd_, -1));
    if (folderFd_ >= 0)
        close(std::exchange(folderFd_, -1));
    temporaryBytes_.clear();
    temporary_.clear();
}

#else

namespace {
constexpr char kSeparator = '\\';

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

QByteArray nameOf(const QByteArray& path)
{
    return path.mid(std::max(path.lastIndexOf('/'), path.lastIndexOf('\\')) + 1);
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
    const QStringList names = folder.entryList({QString::fromUtf8(stem) + QStringLiteral("*")},
                                               QDir::Files | QDir::Dirs | QDir::Hidden |
                                                   QDir::System | QDir::NoDotAndDotDot);
    for (const QString& name : names) {
        // Only what this program makes: its exact names, hidden, and held by
        // no save.
        const QString path = folder.filePath(name);
        if (!leftoverName(name.toUtf8(), stem) || !QFileInfo(path).isHidden() ||
            !unused(SystemPath::wide(path)))
            continue;
        if (QFileInfo(path).isDir())
            QDir(path).removeRecursively();
        else
            QFile::remove(path);
    }
}

bool ReplacingFile::createTemporary(const QByteArray& stem)
{
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
        volume_ = identity.volume;
        index_ = identity.index;
        fd_ = reinterpret_cast<qintptr>(handle);
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
    if (fd_ == -1)
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
        workFd_ = reinterpret_cast<qintptr>(handle);
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
    CloseHandle(asHandle(std::exchange(workFd_, -1)));
    QDir(QString::fromUtf8(workFolder_)).removeRecursively();
    workFolder_.clear();
}

qintptr ReplacingFile::openOwn() const
{
    if (temporaryBytes_.isEmpty()) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return -1;
    }
    // Shared with no one, and the name itself, not what a link there leads to.
    const HANDLE handle =
        CreateFileW(wide(temporaryBytes_).c_str(),
                    DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES | SYNCHRONIZE, 0, nullptr,
                    OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return -1;
    FileIdentity identity;
    if (!identify(handle, identity) || identity.volume != volume_ || identity.index != index_ ||
        (identity.attributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY))) {
        CloseHandle(handle);
        SetLastError(ERROR_FILE_NOT_FOUND);
        return -1;
    }
    return reinterpret_cast<qintptr>(handle);
}

bool ReplacingFile::commit()
{
    if (fd_ == -1)
        return cannotWrite(ENOENT);
    auto failed = [this](DWORD error) {
        discard();
        return cannotWrite(errnoOf(error));
    };
    // On the disk before it takes the target's place: a power cut after
    // the rename must not leave an empty file.
    if (!FlushFileBuffers(asHandle(fd_)))
        return failed(GetLastError());
    // Hidden while written, not once it is the target.
    FILE_BASIC_INFO basic = {};
    basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
    SetFileInformationByHandle(asHandle(fd_), FileBasicInfo, &basic, sizeof basic);
    // Something else may have taken the target's name since create().
    const DWORD attributes = GetFileAttributesW(wide(final_).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        discard();
        return cannotWrite(EISDIR);
    }
    // The handle the file was written through cannot rename it (the writers
    // could not have opened it beside a DELETE access); the one that does
    // is taken only if the name still is this file, and renames that file.
    CloseHandle(asHandle(std::exchange(fd_, -1)));
    const qintptr own = openOwn();
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
    if (fd_ != -1)
        CloseHandle(asHandle(std::exchange(fd_, -1)));
    // Only the program's own file goes: whatever someone put under its
    // name stays as they left it.
    if (const qintptr own = openOwn(); own != -1) {
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
#endif

bool ReplacingFile::create()
{
    error_.clear();
    discard();
    if (target_.isEmpty() || QFileInfo(target_).isDir())
        return fail(QStringLiteral("Caminho inválido para o arquivo %1: \"%2\".")
                        .arg(kind_, shownTarget()));
    if (!resolve())
        return false;
    const QByteArray name = nameOf(final_);
    if (name.size() > kNameMax)
        return cannotCreate(ENAMETOOLONG);
    return createTemporary(folder_ + kSeparator + temporaryStem(name));
}

QString ReplacingFile::reason(int error)
{
    switch (error) {
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
        return QStringLiteral("não há espaço livre no disco");
    case EFBIG:
        return QStringLiteral("o arquivo passou do tamanho máximo permitido");
    case EACCES:
    case EPERM:
        return QStringLiteral("não há permissão para gravar nessa pasta");
    case EROFS:
        return QStringLiteral("o disco só permite leitura");
    case ENOENT:
    case ENOTDIR:
        return QStringLiteral("a pasta não existe");
    case EISDIR:
        return QStringLiteral("já existe uma pasta com esse nome");
    case ENAMETOOLONG:
        return QStringLiteral("o nome é longo demais");
    case ELOOP:
        return QStringLiteral("há links simbólicos demais no caminho");
    case EBUSY:
        return QStringLiteral("o arquivo está aberto em outro programa");
    case ENOMEM:
        return QStringLiteral("memória insuficiente");
    default:
        return QStringLiteral("erro de gravação");
    }
}
