#include "sheet/grid/latinfolder.h"

#include "sheet/grid/sheetfinder.h"
#include "sheet/text/bytescan.h"

#include <QString>

#include <array>
#include <cstdint>
#include <cstring>

namespace {
// What a character from U+0080 to U+00FF folds to: up to five bytes ("½"
// is "1⁄2"), kept in eight so that one copy of a whole entry writes it.
struct FoldedLatin
{
    std::array<char, 8> bytes{};
    std::size_t size = 0;
};

const std::array<FoldedLatin, 128>& foldedLatin()
{
    static const std::array<FoldedLatin, 128> table = [] {
        std::array<FoldedLatin, 128> folded;
        for (std::size_t i = 0; i < folded.size(); ++i) {
            const std::string utf8 =
                SheetFinder::fold(QString(QChar(static_cast<char16_t>(0x80 + i)))).toStdString();
            Q_ASSERT(utf8.size() <= folded[i].bytes.size());
            std::copy(utf8.begin(), utf8.end(), folded[i].bytes.begin());
            folded[i].size = utf8.size();
        }
        return folded;
    }();
    return table;
}

// Eight ASCII bytes with 'A' to 'Z' lowered: a byte's top bit is set by
// adding (0x80 - 'A') when it is 'A' or above, by adding (0x80 - 'Z' - 1)
// when it is above 'Z'; bytes below 0x80 carry into no neighbour.
std::uint64_t lowerAscii(std::uint64_t word)
{
    using ByteScan::kHigh;
    using ByteScan::kOnes;
    const std::uint64_t fromA = word + kOnes * (0x80 - 'A');
    const std::uint64_t pastZ = word + kOnes * (0x80 - 'Z' - 1);
    return word | ((fromA & ~pastZ & kHigh) >> 2);
}
} // namespace

std::optional<std::string_view> LatinFolder::fold(std::string_view utf8)
{
    // No character grows by more than 5 bytes from 2, nor a copy by more
    // than 8 bytes past the end.
    const std::size_t room = utf8.size() * 5 / 2 + 8;
    if (buffer_.size() < room)
        buffer_.resize(room);
    const auto& folded = foldedLatin();
    char* out = buffer_.data();
    const char* in = utf8.data();
    const char* const end = in + utf8.size();
    while (in < end) {
        if (end - in >= 8) {
            const std::uint64_t word = ByteScan::load(in);
            if ((word & ByteScan::kHigh) == 0) {
                const std::uint64_t lowered = lowerAscii(word);
                std::memcpy(out, &lowered, sizeof lowered);
                in += 8;
                out += 8;
                continue;
            }
        }
        const auto byte = static_cast<unsigned char>(*in);
        if (byte < 0x80) {
            *out++ = byte >= 'A' && byte <= 'Z' ? static_cast<char>(byte - 'A' + 'a') : *in;
            ++in;
            continue;
        }
        // Two bytes, 110000xx 10xxxxxx, for U+0080 to U+00FF.
        if ((byte & 0xFE) != 0xC2 || end - in < 2)
            return std::nullopt;
        const auto next = static_cast<unsigned char>(in[1]);
        if ((next & 0xC0) != 0x80)
            return std::nullopt;
        const FoldedLatin& letter = folded[((byte & 0x01u) << 6) | (next & 0x3Fu)];
        std::memcpy(out, letter.bytes.data(), letter.bytes.size());
        out += letter.size;
        in += 2;
    }
    return std::string_view(buffer_.data(), static_cast<std::size_t>(out - buffer_.data()));
}
