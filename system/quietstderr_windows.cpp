#include "system/quietstderr.h"

#include <fcntl.h>
#include <io.h>

int QuietStderr::keepStderr()
{
    return _dup(2);
}

void QuietStderr::pointStderrAt(int fd)
{
    _dup2(fd, 2);
}

int QuietStderr::openNull()
{
    return _open("NUL", _O_WRONLY | _O_BINARY);
}

void QuietStderr::closeFd(int fd)
{
    _close(fd);
}
