#pragma once

#include "processing/textdecoding.h"

#include <QIODevice>

#include <string>

// A read-only sequential device that reads UTF-16 text from another device
// and hands it out as UTF-8, so that a return file saved as "Unicode" is read
// like any other. The byte order mark is dropped; the source is read from its
// current position in blocks.
class Utf16Device : public QIODevice
{
public:
    Utf16Device(QIODevice& source, TextDecoding::Utf16 order);

    bool isSequential() const override { return true; }

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QIODevice& source_;
    TextDecoding::Utf16 order_;
    std::string raw_;     // UTF-16 bytes read and not yet decoded
    std::string decoded_; // UTF-8 not yet handed out
    std::size_t handedOut_ = 0;
    bool sourceAtEnd_ = false;
};
