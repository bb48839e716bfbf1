#include "system/replacingfile.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <climits>
#include <cstring>
#include <dirent.h>
#include <endian.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <utility>
#ifdef __linux__
#include <linux/fs.h>
#endif

using FileStatus = struct stat;

struct ReplacingFile::Held
{
    // final_'s folder, open, so that every name is taken in the folder that
    // was checked; -1 when none.
    int folder = -1;
    // The temporary file, held open until the end: its lock tells later
    // saves it is still being written, and fsync() reaches the data through
    // it. -1 when none.
    int file = -1;
    int work = -1;   // the work folder, locked like the temporary file
    mode_t mode = 0; // the new file's permissions
    gid_t group = 0; // the replaced file's group
    // The replaced file is the user's own, whose mode and group the new
    // one keeps; one someone else made is replaced as a new file would be.
    bool keep = false;
    // The user's private folder of notes on what this program has put in
    // other folders (see Identity), open; -1 when there is none.
    int notes = -1;
    QByteArray notesPath;
    QByteArray fileNote; // the temporary file's note, while it is there
    QByteArray workNote; // the work folder's

    // Whether `name` in the folder still is the file or folder open as `fd`.
    bool stillOurs(const QByteArray& name, int fd) const;
    // Notes `fd`, just made as `name` in the folder, in `file`; what
    // removes the note with the file on a signal, or null.
    std::unique_ptr<SignalCleanup> keepNote(QByteArray& file, const QByteArray& name, int fd);
    void closeNotes();
};

ReplacingFile::ReplacingFile(QString target, QString kind)
    : target_(std::move(target)), kind_(std::move(kind)), held_(std::make_unique<Held>())
{
}

ReplacingFile::~ReplacingFile()
{
    discard();
}

bool ReplacingFile::notAFile()
{
    return fail(QStringLiteral("O arquivo %1 não foi gravado: \"%2\" não é um arquivo comum (é "
                               "um FIFO, um dispositivo ou um socket) e não será substituído.")
                    .arg(kind_, shownTarget()));
}

namespace {
// Links followed before giving up, as the kernel counts them.
constexpr int kMaxLinks = 40;
// What a leftover of this program is: its temporary file is made private at
// once, its work folder is made so.
constexpr mode_t kTemporaryMode = S_IRUSR | S_IWUSR;
constexpr mode_t kWorkFolderMode = S_IRWXU;

QByteArray folderOf(const QByteArray& path)
{
    const qsizetype slash = path.lastIndexOf('/');
    return slash <= 0 ? QByteArray("/") : path.left(slash);
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

// Whether an open folder holds nothing; with `remove`, its files are
// removed. The folder's descriptor is kept.
bool emptyFolder(int fd, bool remove)
{
    const int own = dup(fd);
    if (own < 0)
        return false;
    bool empty = true;
    if (DIR* dir = fdopendir(own)) {
        rewinddir(dir);
        while (const dirent* entry = readdir(dir)) {
            if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0)
                continue;
            empty = false;
            if (remove && entry->d_type != DT_DIR)
                unlinkat(dirfd(dir), entry->d_name, 0);
        }
        closedir(dir);
    } else {
        close(own);
        empty = false;
    }
    return empty;
}

// The umask, read without changing it: setting it to read it would, for
// that moment, change what every other thread creates.
mode_t currentUmask()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine()) {
            if (line.startsWith("Umask:")) {
                bool ok = false;
                const uint mask = line.mid(6).trimmed().toUInt(&ok, 8);
                if (ok)
                    return static_cast<mode_t>(mask & 0777);
            }
        }
    }
    // Older kernels: a moment of a narrower mask opens nothing to anyone.
    const mode_t mask = umask(077);
    umask(mask);
    return mask;
}

// The permissions the system gives a file created in `folder` with 0666:
// its default ACL's, where it has one (an office's share often does),
// else the umask's. The temporary file is created private and gets these
// only once it is the target.
mode_t newFileMode(int folder)
{
    const QByteArray path = QFile::encodeName(descriptorPath(folder));
    char acl[4096];
    const ssize_t size = getxattr(path.constData(), "system.posix_acl_default", acl, sizeof acl);
    constexpr ssize_t kHeader = 4;
    constexpr ssize_t kEntry = 8;
    if (size < kHeader + kEntry || (size - kHeader) % kEntry != 0)
        return 0666 & ~currentUmask();
    // The kernel's xattr form of an ACL: a version, then little-endian
    // {tag, permissions, id} entries.
    enum : std::uint16_t
    {
        UserObj = 0x01,
        GroupObj = 0x04,
        Mask = 0x10,
        Other = 0x20
    };
    mode_t user = 0;
    mode_t group = 0;
    mode_t mask = 0;
    mode_t other = 0;
    bool masked = false;
    for (ssize_t at = kHeader; at < size; at += kEntry) {
        std::uint16_t tag = 0;
        std::uint16_t permissions = 0;
        std::memcpy(&tag, acl + at, 2);
        std::memcpy(&permissions, acl + at + 2, 2);
        const mode_t bits = le16toh(permissions) & 7;
        switch (le16toh(tag)) {
        case UserObj:
            user = bits;
            break;
        case GroupObj:
            group = bits;
            break;
        case Mask:
            mask = bits;
            masked = true;
            break;
        case Other:
            other = bits;
            break;
        default:
            break;
        }
    }
    return (user & 6) << 6 | ((masked ? mask : group) & 6) << 3 | (other & 6);
}

// The flags of chattr: +i (immutable) and +a (append only) keep a file
// from being replaced or removed, even by root.
bool protectedBySystem(int folder, const char* name)
{
#ifdef FS_IOC_GETFLAGS
    const int fd = openat(folder, name, O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return false;
    int flags = 0;
    const bool fixed =
        ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0 && (flags & (FS_IMMUTABLE_FL | FS_APPEND_FL));
    close(fd);
    return fixed;
#else
    (void)folder;
    (void)name;
    return false;
#endif
}

// What the program notes of each temporary file and work folder it makes,
// in the user's own private folder, so that the next save removes only
// what is proven to be one it left: the same file (device, inode and,
// where the file system keeps it, the moment it was made), still the
// user's, under the name it was made with, in the same folder. A file of
// the user's, or a folder someone renamed to such a name, has no note and
// stays. The note goes when the save ends, or with the file on a signal.
struct Identity
{
    dev_t device = 0;
    ino_t inode = 0;
    uid_t owner = 0;
    mode_t mode = 0; // type and permissions
    qint64 born = 0; // the file's birth in nanoseconds; 0 where not kept
};

Identity identify(int fd)
{
    Identity id;
    struct statx stx = {};
    if (statx(fd, "", AT_EMPTY_PATH, STATX_BASIC_STATS | STATX_BTIME, &stx) == 0) {
        id.device = makedev(stx.stx_dev_major, stx.stx_dev_minor);
        id.inode = stx.stx_ino;
        id.owner = stx.stx_uid;
        id.mode = stx.stx_mode;
        if (stx.stx_mask & STATX_BTIME)
            id.born = qint64(stx.stx_btime.tv_sec) * 1000000000 + stx.stx_btime.tv_nsec;
        return id;
    }
    FileStatus st = {};
    if (fstat(fd, &st) == 0) {
        id.device = st.st_dev;
        id.inode = st.st_ino;
        id.owner = st.st_uid;
        id.mode = st.st_mode;
    }
    return id;
}

// A note's name: the device and inode, so that each file has one.
QByteArray noteName(const Identity& id)
{
    return QByteArray::number(quint64(id.device), 16) + '-' +
           QByteArray::number(quint64(id.inode), 16);
}

// A note's text: the file's type and birth, its folder's device and
// inode, then on the next line its name, whatever bytes it holds.
QByteArray noteText(const Identity& id, const Identity& folder, const QByteArray& name)
{
    return QByteArray::number(uint(id.mode & S_IFMT), 8) + ' ' + QByteArray::number(id.born) + ' ' +
           noteName(folder) + '\n' + name;
}

// The user's folder of notes, made private where it is missing: under
// $XDG_STATE_HOME, else ~/.local/state. -1 when there is none that is the
// user's alone; the save then notes nothing and removes nothing.
int openNotes(QByteArray& path)
{
    QByteArray base = qgetenv("XDG_STATE_HOME");
    QByteArray top; // made by someone else: the home, or the state folder's folder
    if (base.startsWith('/')) {
        top = folderOf(base);
    } else {
        top = qgetenv("HOME");
        if (!top.startsWith('/'))
            return -1;
        base = top + "/.local/state";
    }
    path = base + "/verinova-cadastral/temporarios";
    for (qsizetype slash = path.indexOf('/', top.size() + 1); slash > 0;
         slash = path.indexOf('/', slash + 1))
        mkdir(path.left(slash).constData(), 0700);
    mkdir(path.constData(), 0700);
    const int fd = open(path.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    FileStatus st = {};
    if (fd >= 0 && fstat(fd, &st) == 0 && st.st_uid == geteuid() && (st.st_mode & 077) == 0)
        return fd;
    if (fd >= 0)
        close(fd);
    return -1;
}

// Notes `fd`, just made as `name` in `folder`; the note's name, empty when
// it could not be written (the file is then never taken for a leftover).
QByteArray note(int notes, int folder, const QByteArray& name, int fd)
{
    if (notes < 0)
        return {};
    const Identity id = identify(fd);
    const QByteArray text = noteText(id, identify(folder), name);
    const QByteArray file = noteName(id);
    // A note of an earlier file with this inode, gone since, is out of date.
    const int out = openat(notes, file.constData(),
                           O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (out < 0)
        return {};
    const bool written = write(out, text.constData(), size_t(text.size())) == text.size();
    close(out);
    if (!written) {
        unlinkat(notes, file.constData(), 0);
        return {};
    }
    return file;
}

void forget(int notes, QByteArray& file)
{
    if (notes >= 0 && !file.isEmpty())
        unlinkat(notes, file.constData(), 0);
    file.clear();
}

QByteArray readNote(int notes, const char* file)
{
    const int fd = openat(notes, file, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return {};
    char text[1024];
    const ssize_t size = read(fd, text, sizeof text);
    close(fd);
    return size > 0 ? QByteArray(text, size) : QByteArray();
}

} // namespace

QByteArray ReplacingFile::nameOf(const QByteArray& path)
{
    return path.mid(path.lastIndexOf('/') + 1);
}

// Follows the target's links to the file that is to be replaced, and takes
// its permissions and group when it is the user's own.
bool ReplacingFile::resolve()
{
    QByteArray path = QFile::encodeName(QFileInfo(target_).absoluteFilePath());
    replacing_ = false;
    held_->keep = false;
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
        // Replacing it would fail at the end, with EPERM, as if the folder
        // were closed to the user.
        if (protectedBySystem(AT_FDCWD, path.constData()))
            return writeProtected();
        replacing_ = true;
        // A file another member of a shared folder made (0666, say) does
        // not set how open the user's save is: that is the user's umask.
        if (st.st_uid == geteuid()) {
            held_->keep = true;
            held_->mode = st.st_mode & 07777;
            held_->group = st.st_gid;
        }
        break;
    }
    final_ = path;
    folder_ = folderOf(path);
    return true;
}

bool ReplacingFile::Held::stillOurs(const QByteArray& name, int fd) const
{
    FileStatus own = {};
    FileStatus named = {};
    return fd >= 0 && fstat(fd, &own) == 0 &&
           fstatat(folder, name.constData(), &named, AT_SYMLINK_NOFOLLOW) == 0 &&
           (own.st_mode & S_IFMT) == (named.st_mode & S_IFMT) && sameFile(own, named);
}

std::unique_ptr<SignalCleanup> ReplacingFile::Held::keepNote(QByteArray& file,
                                                             const QByteArray& name, int fd)
{
    const SignalCleanup::Defer defer;
    file = note(notes, folder, name, fd);
    if (file.isEmpty())
        return {};
    return std::make_unique<SignalCleanup>(notesPath + '/' + file);
}

void ReplacingFile::Held::closeNotes()
{
    if (notes >= 0)
        close(std::exchange(notes, -1));
}

// Temporary files of this target that no save is writing any more: a save
// holds a lock on its own until it ends, and only SIGKILL or a power cut
// leaves one without. Only what the user's notes prove this program made
// is taken (see Identity); a folder only when empty, as the program's work
// folder is (its writer removes each file as soon as it has opened it), so
// no folder's files are ever removed here.
//
// Someone who may write a shared folder may swap a name between the check
// and the removal; what that could remove instead is a file of the user's
// in that same folder, which they may remove anyway.
void ReplacingFile::removeLeftovers() const
{
    if (held_->notes < 0)
        return;
    const int fd = openat(held_->notes, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    DIR* dir = fdopendir(fd);
    if (!dir) {
        close(fd);
        return;
    }
    const QByteArray here = noteName(identify(held_->folder));
    const QByteArray stem = temporaryStem(nameOf(final_));
    while (const dirent* entry = readdir(dir)) {
        if (entry->d_name[0] == '.')
            continue;
        const QByteArray text = readNote(held_->notes, entry->d_name);
        const qsizetype newline = text.indexOf('\n');
        const QList<QByteArray> fields = text.left(newline).split(' ');
        if (newline < 0 || fields.size() != 3 || fields[2] != here)
            continue;
        const QByteArray name = text.mid(newline + 1);
        if (!leftoverName(name, stem))
            continue;
        const int leftover = openat(held_->folder, name.constData(),
                                    O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        const Identity id = leftover < 0 ? Identity() : identify(leftover);
        // Gone, or the name is something else's now: the note is out of date.
        if (leftover < 0 || noteName(id) != entry->d_name ||
            noteText(id, identify(held_->folder), name) != text || id.owner != geteuid()) {
            if (leftover >= 0 || errno == ENOENT || errno == ELOOP)
                unlinkat(held_->notes, entry->d_name, 0);
            if (leftover >= 0)
                close(leftover);
            continue;
        }
        if (flock(leftover, LOCK_EX | LOCK_NB) == 0) {
            const mode_t mode = id.mode & 07777;
            bool removed = false;
            if (S_ISREG(id.mode) && mode == kTemporaryMode)
                removed = unlinkat(held_->folder, name.constData(), 0) == 0;
            else if (S_ISDIR(id.mode) && mode == kWorkFolderMode)
                removed = unlinkat(held_->folder, name.constData(), AT_REMOVEDIR) == 0;
            if (removed)
                unlinkat(held_->notes, entry->d_name, 0);
        }
        close(leftover);
    }
    closedir(dir);
}

bool ReplacingFile::createTemporary(const QByteArray& stemName)
{
    const QByteArray stem = folder_ + '/' + stemName;
    // Messages name the temporary file as text.
    if (QFile::encodeName(QFile::decodeName(stem)) != stem)
        return fail(QStringLiteral("Não foi possível criar o arquivo %1 \"%2\": o nome da pasta "
                                   "ou do arquivo não é texto UTF-8 e não pode ser usado.")
                        .arg(kind_, shownTarget()));
#ifdef O_PATH
    held_->folder = open(folder_.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
#else
    held_->folder = open(folder_.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
#endif
    if (held_->folder < 0)
        return cannotCreate(errno);
    held_->notes = openNotes(held_->notesPath);
    removeLeftovers();
    if (!held_->keep)
        held_->mode = newFileMode(held_->folder);

    for (int attempt = 0; attempt < 100; ++attempt) {
        const QByteArray path = stem + randomEnd();
        const QByteArray name = nameOf(path);
        // Private from the first moment: a member of a shared folder who
        // opens it while it is wider keeps reading through that handle.
        int fd = -1;
        int error = 0;
        std::unique_ptr<SignalCleanup> cleanup;
        {
            const SignalCleanup::Defer defer;
            fd = openat(held_->folder, name.constData(),
                        O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, kTemporaryMode);
            error = errno;
            if (fd >= 0)
                cleanup = std::make_unique<SignalCleanup>(path);
        }
        if (fd < 0 && error == EEXIST)
            continue;
        if (fd < 0)
            return cannotCreate(error);
        FileStatus st = {};
        // Locked before it is noted: a later save removes only a noted file
        // that no save holds. A file system without locks keeps its
        // leftovers.
        flock(fd, LOCK_EX);
        if (fstat(fd, &st) != 0 || st.st_nlink == 0) {
            close(fd);
            continue;
        }
        // Exactly what a leftover of this program is, whatever the umask
        // or an ACL took from the owner.
        fchmod(fd, kTemporaryMode);
        held_->file = fd;
        temporaryBytes_ = path;
        temporary_ = QFile::decodeName(path);
        cleanups_.push_back(std::move(cleanup));
        if (auto noted = held_->keepNote(held_->fileNote, name, fd))
            cleanups_.push_back(std::move(noted));
        return true;
    }
    return cannotCreate(EEXIST);
}

QString ReplacingFile::writePath() const
{
    return held_->file < 0 ? QString() : descriptorPath(held_->file);
}

QString ReplacingFile::makeWorkFolder()
{
    if (held_->file < 0)
        return {};
    if (!workFolder_.isEmpty())
        return descriptorPath(held_->work);
    const QByteArray stem = temporaryBytes_.chopped(kRandomCharacters);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QByteArray path = stem + randomEnd();
        const QByteArray name = nameOf(path);
        int error = 0;
        std::unique_ptr<SignalCleanup> cleanup;
        {
            const SignalCleanup::Defer defer;
            error = mkdirat(held_->folder, name.constData(), kWorkFolderMode) == 0 ? 0 : errno;
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
        const int fd = openat(held_->folder, name.constData(),
                              O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        FileStatus st = {};
        if (fd >= 0)
            flock(fd, LOCK_EX);
        // Someone may have put a folder in its place, theirs or one of the
        // user's renamed: only an empty one of the user's is used, whose
        // files at the end can only be the writer's, and made private
        // whatever the umask said.
        if (fd < 0 || fstat(fd, &st) != 0 || st.st_nlink == 0 || st.st_uid != geteuid() ||
            !emptyFolder(fd, false) || fchmod(fd, kWorkFolderMode) != 0) {
            if (fd >= 0)
                close(fd);
            continue;
        }
        held_->work = fd;
        workFolder_ = path;
        cleanups_.push_back(std::move(cleanup));
        if (auto noted = held_->keepNote(held_->workNote, name, fd))
            cleanups_.push_back(std::move(noted));
        return descriptorPath(held_->work);
    }
    cannotCreate(EEXIST);
    return {};
}

void ReplacingFile::removeWorkFolder()
{
    if (workFolder_.isEmpty())
        return;
    // Made empty and private by this save, held open since: what is in it
    // is the writer's.
    emptyFolder(held_->work, true);
    const QByteArray name = nameOf(workFolder_);
    if (held_->stillOurs(name, held_->work))
        unlinkat(held_->folder, name.constData(), AT_REMOVEDIR);
    forget(held_->notes, held_->workNote);
    close(std::exchange(held_->work, -1));
    workFolder_.clear();
}

bool ReplacingFile::commit()
{
    if (held_->file < 0)
        return cannotWrite(ENOENT);
    auto failed = [this](int error) {
        discard();
        return cannotWrite(error);
    };
    // On the disk before it takes the target's place: a power cut after
    // the rename must not leave an empty file.
    if (fsync(held_->file) != 0)
        return failed(errno);
    FileStatus st = {};
    // Only root or a member of the group may give the file its group; else
    // it keeps the user's.
    if (held_->keep && fstat(held_->file, &st) == 0 && st.st_gid != held_->group &&
        fchown(held_->file, static_cast<uid_t>(-1), held_->group) != 0)
        errno = 0;
    const QByteArray temporaryName = nameOf(temporaryBytes_);
    const QByteArray finalName = nameOf(final_);
    // Whoever may write the folder may have put a link or a file of theirs
    // under the temporary name; renaming it would make theirs the target.
    if (!held_->stillOurs(temporaryName, held_->file)) {
        replacedMeanwhile();
        discard();
        return false;
    }
    // Something else may have taken the target's name since create().
    if (fstatat(held_->folder, finalName.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0 &&
        !S_ISREG(st.st_mode) && !S_ISLNK(st.st_mode)) {
        discard();
        return notAFile();
    }
    // renameat() replaces the target in one step, where QFile::rename refuses to.
    if (renameat(held_->folder, temporaryName.constData(), held_->folder, finalName.constData()) !=
        0) {
        const int error = errno;
        if (error == EPERM && protectedBySystem(held_->folder, finalName.constData())) {
            discard();
            return writeProtected();
        }
        return failed(error);
    }
    // The name may still have been swapped between the check and the
    // rename; the file then stays private, wherever it went.
    const bool ours = held_->stillOurs(finalName, held_->file);
    if (ours)
        fchmod(held_->file, held_->mode);
    else
        replacedMeanwhile();
    temporaryBytes_.clear();
    temporary_.clear();
    forget(held_->notes, held_->fileNote);
    removeWorkFolder();
    cleanups_.clear();
    close(std::exchange(held_->file, -1));
    held_->closeNotes();
    if (!ours) {
        close(std::exchange(held_->folder, -1));
        return false;
    }
    // The new name is on the disk only with its folder.
    const int folder = openat(held_->folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    int error = folder < 0 ? errno : 0;
    if (folder >= 0) {
        // Some file systems cannot sync a folder, and say so with EINVAL.
        if (fsync(folder) != 0 && errno != EINVAL)
            error = errno;
        close(folder);
    }
    close(std::exchange(held_->folder, -1));
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
    if (!temporaryBytes_.isEmpty() && held_->stillOurs(nameOf(temporaryBytes_), held_->file))
        unlinkat(held_->folder, nameOf(temporaryBytes_).constData(), 0);
    forget(held_->notes, held_->fileNote);
    removeWorkFolder();
    cleanups_.clear();
    held_->closeNotes();
    if (held_->file >= 0)
        close(std::exchange(held_->file, -1));
    if (held_->folder >= 0)
        close(std::exchange(held_->folder, -1));
    temporaryBytes_.clear();
    temporary_.clear();
}
