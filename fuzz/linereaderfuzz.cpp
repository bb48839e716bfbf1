// Reads arbitrary bytes through LineReader from a device that hands them out
// in short, uneven pieces and may fail part-way, with lines bounded short or
// not, and checks the lines against a plain split of the same bytes.
//
// Input: a byte each for the reader's block size, whether and where the
// device fails, the longest line allowed and how many piece sizes follow;
// the piece sizes; then the bytes the device holds.
#include "processing/linereader.h"

#include <QIODevice>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {
// Hands out at most one piece per read, the pieces' sizes cycling through
// `pieces`; sequential, as a pipe or a slow share is, so the reader cannot
// size its block from the device.
class UnevenDevice : public QIODevice
{
public:
    UnevenDevice(std::string_view bytes, std::vector<int> pieces, qint64 failAt)
        : bytes_(bytes), pieces_(std::move(pieces)), failAt_(failAt)
    {
        open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }

    bool isSequential() const override { return true; }

protected:
    qint64 readData(char* data, qint64 maxSize) override
    {
        if (failAt_ >= 0 && given_ >= failAt_)
            return -1;
        const qint64 left = static_cast<qint64>(bytes_.size()) - given_;
        qint64 n = std::min<qint64>({maxSize, left, pieces_[next_++ % pieces_.size()]});
        if (failAt_ >= 0)
            n = std::min(n, failAt_ - given_);
        std::copy_n(bytes_.data() + given_, n, data);
        given_ += n;
        return n;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    std::string_view bytes_;
    std::vector<int> pieces_;
    std::size_t next_ = 0;
    qint64 given_ = 0;
    qint64 failAt_;
};

// Lines end at LF, CRLF or a lone CR; the last one needs no end.
std::vector<std::string_view> plainSplit(std::string_view bytes)
{
    std::vector<std::string_view> lines;
    std::size_t begin = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\n' && bytes[i] != '\r')
            continue;
        lines.push_back(bytes.substr(begin, i - begin));
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
            ++i;
        begin = i + 1;
    }
    if (begin < bytes.size())
        lines.push_back(bytes.substr(begin));
    return lines;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    constexpr std::size_t kControl = 4;
    if (size < kControl)
        return 0;
    // Blocks of 1 to 64 bytes put CRLFs and long lines across their edges.
    const std::size_t blockSize = 1 + data[0] % 64;
    const bool fails = data[1] & 0x80;
    const std::size_t maxLine = data[2] < 0x80 ? data[2] % 64 : LineReader::kMaxLineBytes;
    const std::size_t header = std::min(size, kControl + data[3] % 16);
    std::vector<int> pieces;
    for (std::size_t i = kControl; i < header; ++i)
        pieces.push_back(1 + data[i] % 32);
    if (pieces.empty())
        pieces.push_back(1);
    const std::string_view bytes(reinterpret_cast<const char*>(data) + header, size - header);
    const qint64 failAt = fails ? static_cast<qint64>(bytes.size() * (data[1] & 0x7F) / 128) : -1;

    UnevenDevice device(bytes, pieces, failAt);
    LineReader reader(device, blockSize, maxLine);
    std::vector<std::string> got;
    std::string_view line;
    while (reader.next(line))
        got.emplace_back(line);

    const std::vector<std::string_view> expected = plainSplit(bytes);
    // Reading stops at the first line that is too long, or earlier at a
    // failed read, and never with a partial line.
    std::size_t allowed = 0;
    while (allowed < expected.size() && expected[allowed].size() <= maxLine)
        ++allowed;
    const bool tooLong = reader.lineTooLong();
    if (got.size() > allowed)
        std::abort();
    for (std::size_t i = 0; i < got.size(); ++i) {
        if (got[i] != expected[i])
            std::abort();
    }
    if (reader.failed() ? !fails || tooLong : fails && !tooLong)
        std::abort();
    if (tooLong && (got.size() != allowed || allowed == expected.size()))
        std::abort();
    if (!reader.failed() && !tooLong && got.size() != expected.size())
        std::abort();
    return 0;
}
