#pragma once

#include <QBuffer>

#include <algorithm>

// A readable device whose reads fail once `failAt` bytes have been handed
// out, as a disk or a network share does when it goes away mid-file.
class FailingDevice : public QBuffer
{
public:
    FailingDevice(const QByteArray& bytes, qint64 failAt) : bytes_(bytes), failAt_(failAt)
    {
        setBuffer(&bytes_);
        open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }

protected:
    qint64 readData(char* data, qint64 maxSize) override
    {
        if (pos() >= failAt_)
            return -1;
        return QBuffer::readData(data, std::min(maxSize, failAt_ - pos()));
    }

private:
    QByteArray bytes_;
    qint64 failAt_;
};
