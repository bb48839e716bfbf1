#include "text/latinfolder.h"

#include "text/bytescan.h"
#include "text/latinletters.h"
#include "text/utf8.h"

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
                LatinFolder::fold(QString(QChar(static_cast<char16_t>(0x80 + i)))).toStdString();
            Q_ASSERT(utf8.size() <= folded[i].bytes.size());
            std::copy(utf8.begin(), utf8.end(), folded[i].bytes.begin());
            folded[i].size = utf8.size();
        }
        return folded;
    }();
    return table;
}

} // namespace

QString LatinFolder::fold(const QString& text)
{
    // Compatibility decomposition splits "Ã" into "A" and a combining tilde
    // (and "ﬁ" into "fi"); the marks are then dropped. What is left of
    // Latin-1 is a letter no accent comes off: Æ, Ð, Ø, Þ, ß.
    const QString decomposed = text.normalized(QString::NormalizationForm_KD).toCaseFolded();
    QString bare;
    bare.reserve(decomposed.size());
    for (const QChar c : decomposed) {
        const QChar::Category category = c.category();
        if (category == QChar::Mark_NonSpacing || category == QChar::Mark_SpacingCombining ||
            category == QChar::Mark_Enclosing)
            continue;
        const LatinLetters::Letter letter = c.unicode() >= 0xC0 && c.unicode() <= 0xFF
                                                ? LatinLetters::of(c.unicode())
                                                : LatinLetters::Letter{0, 0, {}};
        if (letter.first == 0) {
            bare.append(c);
            continue;
        }
        bare.append(QLatin1Char(letter.first));
        if (letter.second != 0)
            bare.append(QLatin1Char(letter.second));
    }
    return bare;
}

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
                const std::uint64_t lowered = ByteScan::lowerAscii(word);
                std::memcpy(out, &lowered, sizeof lowered);
                in += 8;
                out += 8;
                continue;
            }
        }
        const auto byte = static_cast<unsigned char>(*in);
        if (byte < 0x80) {
            *out++ = ByteScan::lowerAscii(*in);
            ++in;
            continue;
        }
        std::size_t length = 0;
        const char32_t c = Utf8::decode({in, static_cast<std::size_t>(end - in)}, length);
        if (c > 0xFF || Utf8::isMalformed(c, length))
            return std::nullopt;
        const FoldedLatin& letter = folded[c - 0x80];
        std::memcpy(out, letter.bytes.data(), letter.bytes.size());
        out += letter.size;
        in += length;
    }
    return std::string_view(buffer_.data(), static_cast<std::size_t>(out - buffer_.data()));
}
