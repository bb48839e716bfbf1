#include "processing/linereader.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

namespace {
// The first CR or LF in [p, end), or end. Eight bytes at a time: line ends
// are the only bytes below 0x0E that ordinary text holds, besides tabs.
const char* findLineEnd(const char* p, const char* end)
{
    constexpr std::uint64_t kOnes = 0x0101010101010101ull;
    constexpr std::uint64_t kHigh = 0x8080808080808080ull;
    while (end - p >= 8) {
        std::uint64_t word;
        std::memcpy(&word, p, 8);
        // Flagged bytes, lowest first; a false flag can only sit above a
        // true one, and each is checked.
        for (std::uint64_t low = (word - kOnes * 0x0E) & ~word & kHigh; low != 0; low &= low - 1) {
            const char* at = p + std::countr_zero(low) / 8;
            if (*at == '\n' || *at == '\r')
                return at;
        }
        p += 8;
    }
    while (p < end && *p != '\n' && *p != '\r')
        ++p;
    return p;
}
} // namespace

LineReader::LineReader(QIODevice& device, std::size_t blockSize, std::size_t maxLineBytes)
    : device_(device), blockSize_(blockSize ? blockSize : 1), maxLineBytes_(maxLineBytes)
{
    // A small file needs no big buffer.
    if (!device.isSequential()) {
        const qint64 left = device.size() - device.pos() + 1;
        blockSize_ = std::min(blockSize_, static_cast<std::size_t>(std::max<qint64>(left, 4096)));
    }
}

bool LineReader::next(std::string_view& line)
{
    for (;;) {
        const char* data = buffer_.get();
        const char* from = data + begin_ + scanned_;
        const char* stop = findLineEnd(from, data + end_);
        if (stop != data + end_) {
            const auto at = static_cast<std::size_t>(stop - data);
            if (*stop == '\r' && at + 1 == end_ && !atEnd_) {
                // The LF of a CRLF may be in the next block.
                scanned_ = at - begin_;
                fill();
                continue;
            }
            if (at - begin_ > maxLineBytes_)
                return refuse();
            line = std::string_view(data + begin_, at - begin_);
            begin_ = at + 1;
            if (*stop == '\r' && begin_ < end_ && data[begin_] == '\n')
                ++begin_;
            scanned_ = 0;
            return true;
        }
        scanned_ = end_ - begin_;
        if (scanned_ > maxLineBytes_)
            return refuse();
        if (atEnd_) {
            if (begin_ == end_)
                return false;
            line = std::string_view(data + begin_, end_ - begin_);
            begin_ = end_;
            scanned_ = 0;
            return true;
        }
        fill();
    }
}

bool LineReader::refuse()
{
    lineTooLong_ = true;
    atEnd_ = true;
    begin_ = end_ = scanned_ = 0;
    return false;
}

// Moves the unread bytes to the front and reads one more block after them.
// Returns false when nothing more could be read.
bool LineReader::fill()
{
    if (begin_ > 0) {
        std::memmove(buffer_.get(), buffer_.get() + begin_, end_ - begin_);
        end_ -= begin_;
        begin_ = 0;
    }
    if (capacity_ - end_ < blockSize_) {
        // Only a line longer than a block makes the buffer grow.
        // Doubling, but never much past the longest line allowed.
        const std::size_t capacity =
            std::max(std::min(capacity_ * 2, maxLineBytes_ + 2 * blockSize_), end_ + blockSize_);
        auto bigger = std::make_unique_for_overwrite<char[]>(capacity);
        if (end_ > 0)
            std::memcpy(bigger.get(), buffer_.get(), end_);
        buffer_ = std::move(bigger);
        capacity_ = capacity;
    }
    const qint64 got = device_.read(buffer_.get() + end_, static_cast<qint64>(capacity_ - end_));
    if (got < 0) {
        failed_ = true;
        atEnd_ = true;
        end_ = begin_; // a failed read yields no partial line
        scanned_ = 0;  // nor a scan position past the bytes that are left
        return false;
    }
    if (got == 0) {
        atEnd_ = true;
        return false;
    }
    end_ += static_cast<std::size_t>(got);
    return true;
}
