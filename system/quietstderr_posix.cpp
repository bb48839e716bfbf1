#include "sheet/export/quietstderr.h"

#include <cstdio>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>

namespace {
constexpr int kStderr = 2;
int duplicate(int fd)
{
    return _dup(fd);
}
int duplicateTo(int fd, int to)
{
    return _dup2(fd, to);
}
int openNull()
{
    return _open("NUL", _O_WRONLY | _O_BINARY);
}
void closeFd(int fd)
{
    _close(fd);
}
} // namespace
#else
#include <fcntl.h>
#include <unistd.h>

namespace {
constexpr int kStderr = STDERR_FILENO;
int duplicate(int fd)
{
    return fcntl(fd, F_DUPFD_CLOEXEC, 3);
}
int duplicateTo(int fd, int to)
{
    return dup2(fd, to);
}
int openNull()
{
    return open("/dev/null", O_WRONLY | O_CLOEXEC);
}
void closeFd(int fd)
{
    close(fd);
}
} // namespace
#endif

QuietStderr::QuietStderr()
{
    // Without a stderr (a Windows program started without a console) there
    // is nothing to keep quiet.
    saved_ = duplicate(kStderr);
    if (saved_ < 0)
        return;
    null_ = openNull();
    if (null_ < 0) {
        closeFd(saved_);
        saved_ = -1;
        return;
    }
    resume();
}

QuietStderr::~QuietStderr()
{
    if (saved_ < 0)
        return;
    pause();
    closeFd(saved_);
    closeFd(null_);
}

void QuietStderr::pause()
{
    if (saved_ < 0)
        return;
    std::fflush(stderr);
    duplicateTo(saved_, kStderr);
}

void QuietStderr::resume()
{
    if (saved_ < 0)
        return;
    // What the program wrote before goes out first, where it was meant to.
    std::fflush(stderr);
    duplicateTo(null_, kStderr);
}
