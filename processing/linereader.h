#pragma once

#include <QIODevice>

#include <string_view>
#include <vector>

// Reads a device line by line in large blocks, without a copy per line.
// A line ends at LF, CRLF or a lone CR; the last line needs no end. A view
// returned by next() stays valid until the next call.
class LineReader
{
public:
    explicit LineReader(QIODevice& device, std::size_t blockSize = std::size_t{1} << 20);

    bool next(std::string_view& line);
    // True once a read of the device has failed; next() then returns false.
    bool failed() const { return failed_; }

private:
    bool fill();

    QIODevice& device_;
    std::size_t blockSize_;
    std::vector<char> buffer_;
    std::size_t begin_ = 0;   // first byte of the next line
    std::size_t end_ = 0;     // end of the bytes read
    std::size_t scanned_ = 0; // bytes from begin_ known to hold no line end
    bool atEnd_ = false;
    bool failed_ = false;
};
