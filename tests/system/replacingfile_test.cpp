#include "system/replacingfile.h"
#include "tests/support/casename.h"
#include "tests/support/testfiles.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QtEndian>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdarg>
#include <dlfcn.h>
#include <fcntl.h>
#include <grp.h>
#include <linux/fs.h>
#include <memory>
#include <string>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <utility>
#include <vector>

using namespace Qt::Literals::StringLiterals;

// The file system calls that make a save durable, and those that create
// files and folders, with the permissions asked for, as this program makes
// them, noted while a test listens and passed on to the system.

using FileStatus = struct stat;

namespace {
std::vector<std::string>* journal = nullptr;

struct Creation
{
    std::string name;
    mode_t mode;
};
std::vector<Creation>* creations = nullptr;

std::string pathOf(int fd)
{
    char path[4096];
    const ssize_t size =
        readlink(("/proc/self/fd/" + std::to_string(fd)).c_str(), path, sizeof path - 1);
    return size < 0 ? std::string("?") : std::string(path, static_cast<std::size_t>(size));
}

template <typename Function> Function next(const char* name)
{
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}
} // namespace

extern "C" int fsync(int fd)
{
    if (journal)
        journal->push_back("fsync " + pathOf(fd));
    static const auto real = next<int (*)(int)>("fsync");
    return real(fd);
}

extern "C" int renameat(int fromFolder, const char* from, int toFolder, const char* to) noexcept
{
    if (journal)
        journal->push_back("rename " + pathOf(fromFolder) + "/" + from + " " + pathOf(toFolder) +
                           "/" + to);
    static const auto real = next<int (*)(int, const char*, int, const char*)>("renameat");
    return real(fromFolder, from, toFolder, to);
}

extern "C" int openat(int folder, const char* name, int flags, ...)
{
    mode_t mode = 0;
    if ((flags & O_CREAT) || (flags & O_TMPFILE) == O_TMPFILE) {
        va_list rest;
        va_start(rest, flags);
        mode = static_cast<mode_t>(va_arg(rest, int));
        va_end(rest);
        if (creations)
            creations->push_back({name, mode});
    }
    static const auto real = next<int (*)(int, const char*, int, ...)>("openat");
    return real(folder, name, flags, mode);
}

// Set by a test: a folder that a member of a shared folder puts in the
// place of the next folder made, the moment it is made.
const char* swapIn = nullptr;

extern "C" int mkdirat(int folder, const char* name, mode_t mode) noexcept
{
    if (creations)
        creations->push_back({name, mode});
    static const auto real = next<int (*)(int, const char*, mode_t)>("mkdirat");
    const int made = real(folder, name, mode);
    if (made == 0 && swapIn) {
        unlinkat(folder, name, AT_REMOVEDIR);
        renameat(AT_FDCWD, std::exchange(swapIn, nullptr), folder, name);
    }
    return made;
}

namespace {
// What a save does: the temporary file created, written, committed.
bool save(ReplacingFile& file, const QByteArray& bytes)
{
    if (!file.create())
        return false;
    QFile out(file.temporaryPath());
    return out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size() &&
           (out.close(), file.commit());
}

mode_t modeOf(const QString& path)
{
    FileStatus st = {};
    return stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 07777 : 0;
}

class Umask
{
public:
    explicit Umask(mode_t mask) : before_(umask(mask)) {}
    ~Umask() { umask(before_); }
    Umask(const Umask&) = delete;
    Umask& operator=(const Umask&) = delete;

private:
    mode_t before_;
};

struct PermissionCase
{
    const char* name;
    mode_t umask;
    mode_t earlier; // 0: no earlier file
    mode_t expected;
    // The earlier file is another user's, as one a member of a shared
    // folder made there.
    bool anothers = false;
    // The folder gives new files a default ACL: user::rw, group::r,
    // group 4243 rw, mask rw, other none.
    bool defaultAcl = false;
};

class PermissionTest : public ::testing::TestWithParam<PermissionCase>
{
};

// The kernel's xattr form of the default ACL above.
QByteArray sharedFolderAcl()
{
    const auto entry = [](quint16 tag, quint16 permissions, quint32 id) {
        QByteArray bytes(8, '\0');
        qToLittleEndian(tag, bytes.data());
        qToLittleEndian(permissions, bytes.data() + 2);
        qToLittleEndian(id, bytes.data() + 4);
        return bytes;
    };
    QByteArray acl(4, '\0');
    qToLittleEndian(quint32(2), acl.data());
    return acl + entry(0x01, 6, quint32(-1)) + entry(0x04, 4, quint32(-1)) + entry(0x08, 6, 4243) +
           entry(0x10, 6, quint32(-1)) + entry(0x20, 0, quint32(-1));
}

// A new file reads as any file the user makes there; the user's own file
// replaced keeps its permissions, never more open and never less; another
// user's is replaced as a new file. At no moment is anything the save makes
// (the temporary file, the work folder) open to anyone but the user: a
// member of a shared folder who opens it then keeps reading it.
TEST_P(PermissionTest, NewFileFollowsTheUmaskAndAReplacedOneKeepsItsMode)
{
    const PermissionCase& c = GetParam();
    TestFiles files;
    const QString path = files.path(u"pasta/saida.csv"_s);
    files.write(u"pasta/x"_s, "");
    if (c.defaultAcl) {
        const QByteArray acl = sharedFolderAcl();
        if (setxattr(QFile::encodeName(QFileInfo(path).absolutePath()).constData(),
                     "system.posix_acl_default", acl.constData(), acl.size(), 0) != 0)
            GTEST_SKIP() << "the file system takes no ACL";
    }
    if (c.earlier) {
        files.write(u"pasta/saida.csv"_s, "anterior");
        ASSERT_EQ(chmod(QFile::encodeName(path).constData(), c.earlier), 0);
    }
    if (c.anothers && chown(QFile::encodeName(path).constData(), 4242, gid_t(-1)) != 0)
        GTEST_SKIP() << "only root can give a file to another user";
    const Umask mask(c.umask);
    ReplacingFile file(path, u"CSV"_s);
    std::vector<Creation> made;
    creations = &made;
    const bool created = file.create() && !file.makeWorkFolder().isEmpty();
    creations = nullptr;
    ASSERT_TRUE(created) << file.error().toStdString();
    const QByteArray temporary = QFile::encodeName(QFileInfo(file.temporaryPath()).fileName());
    bool temporaryMade = false;
    for (const Creation& creation : made) {
        temporaryMade = temporaryMade || creation.name == temporary.toStdString();
        EXPECT_EQ(creation.mode & 077, 0U)
            << creation.name << " made with mode " << std::oct << creation.mode;
    }
    EXPECT_TRUE(temporaryMade);
    EXPECT_EQ(modeOf(file.temporaryPath()), mode_t(0600));
    QFile(file.temporaryPath()).open(QIODevice::WriteOnly);
    ASSERT_TRUE(file.commit()) << file.error().toStdString();
    EXPECT_EQ(modeOf(path), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PermissionTest,
    ::testing::Values(PermissionCase{"NewUmask077", 077, 0, 0600},
                      PermissionCase{"NewUmask022", 022, 0, 0644},
                      PermissionCase{"NewUmask002", 002, 0, 0664},
                      PermissionCase{"Replaced0640", 022, 0640, 0640},
                      PermissionCase{"Replaced0666", 077, 0666, 0666},
                      PermissionCase{"AnothersFile0666Umask077", 077, 0666, 0600, true},
                      PermissionCase{"AnothersFile0600Umask022", 022, 0600, 0644, true},
                      PermissionCase{"NewUnderDefaultAcl", 077, 0, 0660, false, true}),
    CaseName());

// A file shared through its group stays in that group.
TEST(ReplacingFileGroup, ReplacedFileKeepsItsGroupWherePermitted)
{
    TestFiles files;
    const QString path = files.write(u"saida.csv"_s, "anterior");
    // Root may give any group; anyone else one of their own others.
    gid_t groups[64];
    const int count = getgroups(64, groups);
    gid_t other = getegid();
    if (geteuid() == 0) {
        other = getegid() == 100 ? 101 : 100;
    } else {
        for (int i = 0; i < count; ++i) {
            if (groups[i] != getegid())
                other = groups[i];
        }
    }
    if (other == getegid())
        GTEST_SKIP() << "the user belongs to one group only";
    ASSERT_EQ(chown(QFile::encodeName(path).constData(), uid_t(-1), other), 0);

    ReplacingFile file(path, u"CSV"_s);
    ASSERT_TRUE(save(file, "novo")) << file.error().toStdString();
    FileStatus st = {};
    ASSERT_EQ(stat(QFile::encodeName(path).constData(), &st), 0);
    EXPECT_EQ(st.st_gid, other);
    EXPECT_EQ(TestFiles::read(path), QByteArray("novo"));
}

// Links are followed to the file they name, which is replaced in its own
// folder; what is not an ordinary file is refused and stays as it was.
TEST(ReplacingFileLinks, FollowsLinksAndRefusesWhatIsNotAFile)
{
    TestFiles files;
    const QDir dir = QFileInfo(files.write(u"x"_s, "")).dir();
    ASSERT_TRUE(dir.mkdir(u"partilhada"_s));
    const QString shared = files.write(u"partilhada/dados.csv"_s, "anterior");
    auto link = [&](const QString& to, const QString& name) {
        EXPECT_EQ(symlink(QFile::encodeName(to).constData(),
                          QFile::encodeName(dir.filePath(name)).constData()),
                  0);
        return dir.filePath(name);
    };
    // A chain: a relative link to an absolute one to the shared file.
    link(shared, u"absoluto.csv"_s);
    const QString chain = link(u"absoluto.csv"_s, u"cadeia.csv"_s);
    const QString dangling = link(u"partilhada/novo.csv"_s, u"pendente.csv"_s);
    const QString device = link(u"/dev/null"_s, u"nulo.csv"_s);
    const QString fifo = dir.filePath(u"fila.csv"_s);
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);

    ReplacingFile throughChain(chain, u"CSV"_s);
    ASSERT_TRUE(throughChain.create()) << throughChain.error().toStdString();
    EXPECT_EQ(QFileInfo(throughChain.temporaryPath()).dir(), QFileInfo(shared).dir());
    throughChain.discard();
    ReplacingFile again(chain, u"CSV"_s);
    ASSERT_TRUE(save(again, "novo")) << again.error().toStdString();
    EXPECT_EQ(TestFiles::read(shared), QByteArray("novo"));
    EXPECT_TRUE(QFileInfo(chain).isSymLink());
    EXPECT_TRUE(QFileInfo(dir.filePath(u"absoluto.csv"_s)).isSymLink());

    ReplacingFile throughDangling(dangling, u"CSV"_s);
    ASSERT_TRUE(save(throughDangling, "criado")) << throughDangling.error().toStdString();
    EXPECT_TRUE(QFileInfo(dangling).isSymLink());
    EXPECT_EQ(TestFiles::read(dir.filePath(u"partilhada/novo.csv"_s)), QByteArray("criado"));

    for (const QString& special : {device, fifo}) {
        ReplacingFile file(special, u"CSV"_s);
        EXPECT_FALSE(file.create());
        EXPECT_TRUE(file.error().contains(u"não é um arquivo comum"_s))
            << file.error().toStdString();
        EXPECT_TRUE(file.error().contains(special));
    }
    EXPECT_TRUE(QFileInfo(device).isSymLink());
    FileStatus st = {};
    ASSERT_EQ(stat("/dev/null", &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));
    ASSERT_EQ(lstat(QFile::encodeName(fifo).constData(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
    EXPECT_EQ(QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System),
              (QStringList{u"absoluto.csv"_s, u"cadeia.csv"_s, u"fila.csv"_s, u"nulo.csv"_s,
                           u"pendente.csv"_s, u"x"_s}));
    EXPECT_EQ(QDir(dir.filePath(u"partilhada"_s)).entryList(QDir::Files | QDir::Hidden),
              (QStringList{u"dados.csv"_s, u"novo.csv"_s}));
}

// The data reaches the disk before the new file takes the target's name,
// and the new name with its folder after.
TEST(ReplacingFileDurability, SyncsTheFileThenRenamesThenSyncsTheFolder)
{
    TestFiles files;
    const QString path = files.write(u"saida.csv"_s, "anterior");
    ReplacingFile file(path, u"CSV"_s);
    ASSERT_TRUE(file.create());
    const std::string temporary = QFile::encodeName(file.temporaryPath()).toStdString();
    const std::string target = QFile::encodeName(path).toStdString();
    const std::string folder = QFile::encodeName(QFileInfo(path).absolutePath()).toStdString();
    QFile(file.temporaryPath()).open(QIODevice::WriteOnly);

    std::vector<std::string> calls;
    journal = &calls;
    const bool committed = file.commit();
    journal = nullptr;
    ASSERT_TRUE(committed) << file.error().toStdString();
    EXPECT_EQ(calls,
              (std::vector<std::string>{"fsync " + temporary, "rename " + temporary + " " + target,
                                        "fsync " + folder}));
}

// The user's state folder, where saves note their temporary files: one of
// the test's own while it lives.
class StateHome
{
public:
    explicit StateHome(const QString& path) : before_(qgetenv("XDG_STATE_HOME"))
    {
        qputenv("XDG_STATE_HOME", QFile::encodeName(path));
    }
    ~StateHome() { qputenv("XDG_STATE_HOME", before_); }
    StateHome(const StateHome&) = delete;
    StateHome& operator=(const StateHome&) = delete;

private:
    QByteArray before_;
};

// A save of `path` killed (SIGKILL, which nothing catches) while it
// writes, with its work folder made: what it leaves behind.
QStringList killedSave(const QString& path)
{
    const QDir folder = QFileInfo(path).dir();
    const QStringList before = folder.entryList(QDir::AllEntries | QDir::Hidden);
    const pid_t child = fork();
    if (child == 0) {
        // The parent's random names would follow the child's otherwise.
        QRandomGenerator::global()->discard(1000);
        ReplacingFile file(path, u"XLSX"_s);
        if (file.create() && !file.makeWorkFolder().isEmpty()) {
            QFile out(file.writePath());
            if (out.open(QIODevice::WriteOnly))
                out.write("parte");
            out.close();
            kill(getpid(), SIGKILL);
        }
        _exit(1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
    QStringList left;
    for (const QString& name : folder.entryList(QDir::AllEntries | QDir::Hidden)) {
        if (!before.contains(name))
            left.append(folder.filePath(name));
    }
    return left;
}

// The temporary file is hidden beside its target and named after it; what
// a killed save left is removed by the next save to that target, while one
// another save is still writing stays, as do another target's, the user's
// own files and folders that only look like one (private as the program's,
// even), and a folder of the user's that a member of a shared folder
// renamed to a leftover's name, whose files stay in it.
TEST(ReplacingFileLeftovers, NextSaveRemovesOnlyWhatAKilledSaveLeft)
{
    TestFiles files;
    const StateHome state(files.path(u"estado"_s));
    const QString path = files.write(u"grupo/saida.csv"_s, "anterior");
    QDir dir = QFileInfo(path).dir();
    const QString stem = QString::fromUtf8(ReplacingFile::temporaryStem("saida.csv"));
    auto own = [&](const QString& name, mode_t mode) {
        const QString file = files.write(u"grupo/"_s + name, "parte");
        EXPECT_EQ(chmod(QFile::encodeName(file).constData(), mode), 0);
        return file;
    };
    const QStringList killed = killedSave(path);
    ASSERT_EQ(killed.size(), 2);
    const QString killedFolder = QFileInfo(killed[0]).isDir() ? killed[0] : killed[1];
    const QString killedFile = QFileInfo(killed[0]).isDir() ? killed[1] : killed[0];
    // The member removes the empty leftover folder and gives its name to the
    // user's private one.
    const QString reports = own(u"relatorios/folha.txt"_s, 0600);
    ASSERT_EQ(chmod(QFile::encodeName(QFileInfo(reports).path()).constData(), 0700), 0);
    ASSERT_TRUE(dir.rmdir(killedFolder));
    ASSERT_TRUE(dir.rename(u"relatorios"_s, QFileInfo(killedFolder).fileName()));

    const QString otherTarget =
        own(QString::fromUtf8(ReplacingFile::temporaryStem("outra.csv")) + u"0ther1"_s, 0600);
    const QString usersOwn = own(stem + u"MYDATA"_s, 0600);
    const QString usersFolder = own(stem + u"Pasta1/dados.txt"_s, 0600);
    ASSERT_EQ(chmod(QFile::encodeName(QFileInfo(usersFolder).path()).constData(), 0700), 0);
    const QString notItsName = own(stem + u"MY.DAT"_s, 0600);
    ReplacingFile writing(path, u"CSV"_s);
    ASSERT_TRUE(writing.create());
    EXPECT_EQ(QFileInfo(writing.temporaryPath()).dir(), dir);
    EXPECT_TRUE(QFileInfo(writing.temporaryPath()).fileName().startsWith(u".saida.csv.verinova-"_s))
        << writing.temporaryPath().toStdString();
    // The killed save's file went with the first save after it.
    EXPECT_FALSE(QFileInfo::exists(killedFile)) << killedFile.toStdString();

    const QString renamedReports = QFileInfo(killedFolder).filePath() + u"/folha.txt"_s;
    ReplacingFile next(path, u"CSV"_s);
    ASSERT_TRUE(save(next, "novo")) << next.error().toStdString();
    EXPECT_EQ(TestFiles::read(renamedReports), QByteArray("parte"));
    EXPECT_TRUE(QFileInfo::exists(otherTarget));
    EXPECT_EQ(TestFiles::read(usersOwn), QByteArray("parte"));
    EXPECT_EQ(TestFiles::read(usersFolder), QByteArray("parte"));
    EXPECT_EQ(TestFiles::read(notItsName), QByteArray("parte"));
    EXPECT_TRUE(QFileInfo::exists(writing.temporaryPath()));
    QFile(writing.temporaryPath()).open(QIODevice::WriteOnly);
    EXPECT_TRUE(writing.commit()) << writing.error().toStdString();
    // Every note is gone with its file, or once its name held another.
    EXPECT_EQ(QDir(files.path(u"estado/verinova-cadastral/temporarios"_s)).entryList(QDir::Files),
              QStringList());
}

// A member of the shared folder who, the moment the work folder is made,
// puts the user's own private folder in its place gets the save to use
// neither: the user's files stay in it.
TEST(ReplacingFileLeftovers, AFolderPutInTheWorkFolderPlaceKeepsItsFiles)
{
    TestFiles files;
    const StateHome state(files.path(u"estado"_s));
    const QString path = files.path(u"grupo/saida.xlsx"_s);
    const QString reports = files.write(u"grupo/relatorios/folha.txt"_s, "parte");
    const QByteArray reportsFolder = QFile::encodeName(QFileInfo(reports).path());
    ASSERT_EQ(chmod(reportsFolder.constData(), 0700), 0);
    ReplacingFile file(path, u"XLSX"_s);
    ASSERT_TRUE(file.create()) << file.error().toStdString();
    swapIn = reportsFolder.constData();
    const QString work = file.makeWorkFolder();
    swapIn = nullptr;
    ASSERT_FALSE(work.isEmpty()) << file.error().toStdString();
    QFile(file.writePath()).open(QIODevice::WriteOnly);
    ASSERT_TRUE(file.commit()) << file.error().toStdString();
    QStringList found;
    for (QDirIterator it(QFileInfo(path).path(), {u"folha.txt"_s}, QDir::Files | QDir::Hidden,
                         QDirIterator::Subdirectories);
         it.hasNext();)
        found.append(it.next());
    ASSERT_EQ(found.size(), 1);
    EXPECT_EQ(TestFiles::read(found[0]), QByteArray("parte"));
}

// `chattr +i`: neither the user nor root may replace or remove the file
// until the flag is taken back, as it is when this goes.
class Immutable
{
public:
    explicit Immutable(const QString& path) : path_(QFile::encodeName(path)) { set_ = flip(true); }
    ~Immutable()
    {
        if (set_)
            flip(false);
    }
    Immutable(const Immutable&) = delete;
    Immutable& operator=(const Immutable&) = delete;
    bool set() const { return set_; }

private:
    bool flip(bool on) const
    {
        const int fd = open(path_.constData(), O_RDONLY | O_NONBLOCK);
        int flags = 0;
        bool done = fd >= 0 && ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
        done = done && ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        if (fd >= 0)
            close(fd);
        return done;
    }

    QByteArray path_;
    bool set_ = false;
};

class ImmutableTest : public ::testing::TestWithParam<bool>
{
};

// An immutable file is told as protected, as a `chmod 444` one is, not as a
// folder the user may not write; whether it was so before the save or
// became so while it was written, it stays as it was, and so does the
// folder.
TEST_P(ImmutableTest, IsToldAsWriteProtected)
{
    const bool whileWriting = GetParam();
    TestFiles files;
    const QString path = files.write(u"folha.csv"_s, "anterior");
    ReplacingFile file(path, u"CSV"_s);
    std::unique_ptr<Immutable> immutable;
    bool saved = false;
    if (whileWriting) {
        ASSERT_TRUE(file.create()) << file.error().toStdString();
        immutable = std::make_unique<Immutable>(path);
        if (!immutable->set())
            GTEST_SKIP() << "only root may set the immutable flag, on a file system that has it";
        QFile(file.temporaryPath()).open(QIODevice::WriteOnly);
        saved = file.commit();
    } else {
        immutable = std::make_unique<Immutable>(path);
        if (!immutable->set())
            GTEST_SKIP() << "only root may set the immutable flag, on a file system that has it";
        // Refused before a byte is written.
        saved = file.create();
    }
    EXPECT_FALSE(saved);
    EXPECT_TRUE(file.error().contains(u"está protegido contra gravação"_s))
        << file.error().toStdString();
    EXPECT_EQ(TestFiles::read(path), QByteArray("anterior"));
    EXPECT_EQ(
        QFileInfo(path).dir().entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
        QStringList{u"folha.csv"_s});
}

INSTANTIATE_TEST_SUITE_P(Cases, ImmutableTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return std::string(info.param ? "SetWhileWriting" : "SetBefore");
                         });

struct NameCase
{
    const char* name;
    QString fileName;
    bool fits;
};

class LongNameTest : public ::testing::TestWithParam<NameCase>
{
};

// Every name the file system takes is saved under exactly that name; a
// longer one is refused as too long, never as a missing folder.
TEST_P(LongNameTest, SavesEveryNameThatFits)
{
    const NameCase& c = GetParam();
    TestFiles files;
    const QString path = QFileInfo(files.write(u"x"_s, "")).dir().filePath(c.fileName);
    ReplacingFile file(path, u"CSV"_s);
    const bool saved = save(file, "novo");
    EXPECT_EQ(saved, c.fits) << file.error().toStdString();
    if (c.fits) {
        EXPECT_EQ(TestFiles::read(path), QByteArray("novo"));
    } else {
        EXPECT_TRUE(file.error().contains(u"o nome é longo demais"_s))
            << file.error().toStdString();
    }
    EXPECT_EQ(QFileInfo(path).dir().entryList(QDir::Files | QDir::Hidden).size(), c.fits ? 2 : 1);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LongNameTest,
    ::testing::Values(NameCase{"Ascii249", QString(245, u'a') + u".csv"_s, true},
                      NameCase{"Ascii255", QString(251, u'a') + u".csv"_s, true},
                      // Two bytes a character: the cut falls between characters.
                      NameCase{"Accented255", u"a"_s + QString(125, u'ç') + u".csv"_s, true},
                      NameCase{"Ascii256", QString(252, u'a') + u".csv"_s, false}),
    CaseName());
} // namespace
