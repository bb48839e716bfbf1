#include "sheet/export/checkedfile.h"

#include <cerrno>

CheckedFile::CheckedFile(const QString& path) : file_(path) {}

bool CheckedFile::openForWriting()
{
    errno = 0;
    // Unbuffered: a write is known written when write() returns, not at a
    // later flush whose failure the writer would not see.
    if (!file_.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) {
        fail(errno);
        return false;
    }
    return open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

qint64 CheckedFile::writeData(const char* data, qint64 size)
{
    if (failure_ != 0)
        return -1;
    qint64 done = 0;
    while (done < size) {
        errno = 0;
        const qint64 wrote = file_.write(data + done, size - done);
        if (wrote <= 0) {
            fail(errno);
            return -1;
        }
        done += wrote;
    }
    return size;
}

bool CheckedFile::finish()
{
    close();
    errno = 0;
    file_.close();
    if (failure_ == 0 && file_.error() != QFileDevice::NoError)
        fail(errno);
    return failure_ == 0;
}

void CheckedFile::fail(int error)
{
    if (failure_ == 0)
        failure_ = error != 0 ? error : EIO;
}
