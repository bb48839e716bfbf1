#include "processing/pathcheck.h"
#include "tests/support/casename.h"
#include "tests/support/testfiles.h"

#include <QFile>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#endif

namespace {
struct PathCase
{
    const char* name;
    std::function<QString(TestFiles&)> make; // creates what the path names
    CommandMessage expected;
};

class PathCheckTest : public ::testing::TestWithParam<PathCase>
{
};

TEST_P(PathCheckTest, FindsOnlyOrdinaryVisibleFiles)
{
    TestFiles files;
    const QString path = GetParam().make(files);
    EXPECT_EQ(PathCheck::check(path), GetParam().expected);
    EXPECT_EQ(PathCheck::findsFile(path), GetParam().expected == CommandMessage::None);
}

#ifndef _WIN32
QString unixSocket(TestFiles& files)
{
    const QByteArray path = QFile::encodeName(files.path(QStringLiteral("s.sock")));
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.constData(), static_cast<std::size_t>(path.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    const bool bound = ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    if (!bound)
        throw std::runtime_error("cannot make a socket");
    return QFile::decodeName(path);
}

QString fifo(TestFiles& files)
{
    const QString path = files.path(QStringLiteral("f.fifo"));
    if (::mkfifo(QFile::encodeName(path).constData(), 0600) != 0)
        throw std::runtime_error("cannot make a FIFO");
    return path;
}

QString symlinkTo(TestFiles& files, const QString& target)
{
    const QString link = files.path(QStringLiteral("link.txt"));
    if (!QFile::link(target, link))
        throw std::runtime_error("cannot make a link");
    return link;
}

#endif

const QString kName = QStringLiteral("retorno.txt");

INSTANTIATE_TEST_SUITE_P(
    Cases, PathCheckTest,
    ::testing::Values(
        PathCase{"Empty", [](TestFiles&) { return QString(); }, CommandMessage::SelectFile},
        PathCase{"OrdinaryFile", [](TestFiles& f) { return f.write(kName, "x"); },
                 CommandMessage::None},
        PathCase{"Missing", [](TestFiles& f) { return f.path(kName); },
                 CommandMessage::FileNotFound},
        PathCase{"Directory", [](TestFiles& f) { return f.path(QString()); },
                 CommandMessage::FileNotFound},
        PathCase{"FileUsedAsFolder",
                 [](TestFiles& f) { return f.write(kName, "x") + QStringLiteral("/y.txt"); },
                 CommandMessage::FileNotFound},
        PathCase{"NulCutsThePath",
                 [](TestFiles& f) { return f.write(kName, "x") + QChar(u'\0') + u'z'; },
                 CommandMessage::FileNotFound}),
    CaseName());

#ifndef _WIN32
// Dot-hidden files, FIFOs, sockets, /dev and symbolic links as POSIX has them.
INSTANTIATE_TEST_SUITE_P(
    Posix, PathCheckTest,
    ::testing::Values(
        PathCase{"HiddenFile", [](TestFiles& f) { return f.write(QStringLiteral(".r.txt"), "x"); },
                 CommandMessage::FileNotFound},
        PathCase{"Fifo", fifo, CommandMessage::FileNotFound},
        PathCase{"Socket", unixSocket, CommandMessage::FileNotFound},
        PathCase{"Device", [](TestFiles&) { return QStringLiteral("/dev/null"); },
                 CommandMessage::FileNotFound},
        PathCase{"LinkToFile", [](TestFiles& f) { return symlinkTo(f, f.write(kName, "x")); },
                 CommandMessage::None},
        PathCase{"LinkToNothing", [](TestFiles& f) { return symlinkTo(f, f.path(kName)); },
                 CommandMessage::FileNotFound}),
    CaseName());
#else
// What Windows has instead: hidden by attribute, device names.
INSTANTIATE_TEST_SUITE_P(
    Windows, PathCheckTest,
    ::testing::Values(PathCase{"HiddenByAttribute",
                               [](TestFiles& f) {
                                   const QString path = f.write(kName, "x");
                                   SetFileAttributesW(
                                       reinterpret_cast<const wchar_t*>(path.utf16()),
                                       FILE_ATTRIBUTE_HIDDEN);
                                   return path;
                               },
                               CommandMessage::FileNotFound},
                      PathCase{"DeviceName",
                               [](TestFiles& f) { return f.path(QStringLiteral("NUL")); },
                               CommandMessage::FileNotFound},
                      PathCase{"AccentedFolder",
                               [](TestFiles& f) {
                                   return f.write(QStringLiteral("João/Documentos/") + kName, "x");
                               },
                               CommandMessage::None}),
    CaseName());
#endif
} // namespace
