#pragma once

#include <QFile>
#include <QIODevice>
#include <QString>

// A file to write whose every write is checked, for writers that do not
// check what their device's write() returns: QPdfWriter goes on past a full
// disk or the file size limit (`ulimit -f`) and ends as if the file were
// whole. The first write that falls short is kept, with the system's
// reason; nothing is written after it.
class CheckedFile : public QIODevice
{
public:
    explicit CheckedFile(const QString& path);

    // Opens the file for writing, emptied. False, with failure() set, when
    // it cannot be.
    bool openForWriting();
    // Ends the file; false, with failure() set, when any byte handed over
    // was not written or the system did not take the end.
    bool finish();
    // The system's error number (errno) at the first failure; 0 while every
    // byte has been written. A failure without an error number is EIO.
    int failure() const { return failure_; }

    bool isSequential() const override { return true; }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override;

private:
    void fail(int error);

    QFile file_;
    int failure_ = 0;
};
