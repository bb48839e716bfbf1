#pragma once

#include <QIODevice>

#include <cstddef>
#include <memory>
#include <string_view>

// Reads a device line by line in large blocks, without a copy per line.
// A line ends at LF, CRLF or a lone CR; the last line needs no end. A view
// returned by next() stays valid until the next call.
//
// A line may hold at most maxLineBytes bytes (its end not counted): a longer
// one ends the reading, as a failed read does, so that a file that never ends
// (/proc/self/pagemap passes for a regular file) cannot fill the memory.
class LineReader
{
public:
    // Far above any line of a return file (a worker line is about 100 bytes),
    // and above the 50,000,000-character field the import is tested with.
    static constexpr std::size_t kMaxLineBytes = std::size_t{64} << 20;
    // The most lines a file may have, blank ones included (twice the sheet's
    // rows), so that a file that never ends ends the import even when its
    // lines are blank. The import counts them as it numbers them.
    static constexpr int kMaxLines = 2 * 16'777'216;

    explicit LineReader(QIODevice& device, std::size_t blockSize = std::size_t{64} << 10,
                        std::size_t maxLineBytes = kMaxLineBytes);

    bool next(std::string_view& line);
    // True once a read of the device has failed; next() then returns false.
    bool failed() const { return failed_; }
    // True once a line longer than maxLineBytes was met; next() then returns
    // false.
    bool lineTooLong() const { return lineTooLong_; }
    // Whether the line next() last returned ended with a line end; false for
    // a last line that the file stops in, as one still being copied does.
    bool lineEnded() const { return lineEnded_; }

private:
    bool fill();
    bool refuse();

    QIODevice& device_;
    std::size_t blockSize_;
    std::size_t maxLineBytes_;
    // Not zeroed: every byte is read into before it is looked at.
    std::unique_ptr<char[]> buffer_;
    std::size_t capacity_ = 0;
    std::size_t begin_ = 0;   // first byte of the next line
    std::size_t end_ = 0;     // end of the bytes read
    std::size_t scanned_ = 0; // bytes from begin_ known to hold no line end
    bool atEnd_ = false;
    bool failed_ = false;
    bool lineTooLong_ = false;
    bool lineEnded_ = false;
};
