#include "processing/linereader.h"

#include "text/bytescan.h"

#include <algorithm>

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
        const std::size_t from = begin_ + scanned_;
        const char* stop = data + from + ByteScan::findLineEnd({data + from, end_ - from});
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
            lineEnded_ = true;
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
            lineEnded_ = false;
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
