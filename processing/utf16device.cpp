#include "processing/utf16device.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr qint64 kBlock = qint64{1} << 18;
}

Utf16Device::Utf16Device(QIODevice& source, TextDecoding::Utf16 order)
    : source_(source), order_(order)
{
    open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

qint64 Utf16Device::readData(char* data, qint64 maxSize)
{
    while (handedOut_ == decoded_.size()) {
        if (sourceAtEnd_)
            return 0;
        decoded_.clear();
        handedOut_ = 0;
        const std::size_t kept = raw_.size();
        raw_.resize(kept + static_cast<std::size_t>(kBlock));
        const qint64 got = source_.read(raw_.data() + kept, kBlock);
        if (got < 0)
            return -1;
        raw_.resize(kept + static_cast<std::size_t>(got));
        sourceAtEnd_ = got == 0;
        const std::size_t used =
            TextDecoding::appendUtf16AsUtf8(raw_, order_, decoded_, sourceAtEnd_);
        raw_.erase(0, used);
    }
    const auto n =
        std::min<std::size_t>(static_cast<std::size_t>(maxSize), decoded_.size() - handedOut_);
    std::memcpy(data, decoded_.data() + handedOut_, n);
    handedOut_ += n;
    return static_cast<qint64>(n);
}
