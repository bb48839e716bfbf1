#include "system/quietstderr.h"

#include <fcntl.h>
#include <unistd.h>

int QuietStderr::keepStderr()
{
    return fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 3);
}

void QuietStderr::pointStderrAt(int fd)
{
    dup2(fd, STDERR_FILENO);
}

int QuietStderr::openNull()
{
    return open("/dev/null", O_WRONLY | O_CLOEXEC);
}

void QuietStderr::closeFd(int fd)
{
    close(fd);
}
