// Checks the return file's text decoding on arbitrary bytes against a plain
// decoder written for clarity rather than speed, and against Qt's: UTF-8
// validation, Windows-1252, and UTF-16 in both byte orders, whole and in two
// pieces.
#include "processing/textdecoding.h"
#include "text/bytescan.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {
// One code point at a time, every rule spelled out.
bool plainValidUtf8(std::string_view bytes)
{
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        std::size_t length;
        std::uint32_t point;
        if (lead < 0x80) {
            ++i;
            continue;
        }
        if ((lead & 0xE0) == 0xC0) {
            length = 2;
            point = lead & 0x1F;
        } else if ((lead & 0xF0) == 0xE0) {
            length = 3;
            point = lead & 0x0F;
        } else if ((lead & 0xF8) == 0xF0) {
            length = 4;
            point = lead & 0x07;
        } else {
            return false;
        }
        if (bytes.size() - i < length)
            return false;
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(bytes[i + k]);
            if ((next & 0xC0) != 0x80)
                return false;
            point = (point << 6) | (next & 0x3F);
        }
        constexpr std::uint32_t kShortest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (point < kShortest[length] || point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF))
            return false;
        i += length;
    }
    return true;
}

// UTF-16 one unit at a time: a high surrogate and the low one after it are a
// pair, any other surrogate is U+FFFD, and so is an odd last byte. Qt makes
// the UTF-8 (it would turn an unpaired surrogate into "?").
std::string plainUtf16AsUtf8(std::string_view bytes, bool bigEndian)
{
    std::vector<char16_t> units;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto first = static_cast<unsigned char>(bytes[i]);
        const auto second = static_cast<unsigned char>(bytes[i + 1]);
        units.push_back(
            static_cast<char16_t>(bigEndian ? (first << 8) | second : (second << 8) | first));
    }
    QString text;
    for (std::size_t i = 0; i < units.size(); ++i) {
        const QChar unit(units[i]);
        if (unit.isHighSurrogate() && i + 1 < units.size() &&
            QChar(units[i + 1]).isLowSurrogate()) {
            text.append(unit);
            text.append(QChar(units[++i]));
        } else {
            text.append(unit.isSurrogate() ? QChar(QChar::ReplacementCharacter) : unit);
        }
    }
    if (bytes.size() % 2)
        text.append(QChar(QChar::ReplacementCharacter));
    const QByteArray utf8 = text.toUtf8();
    return std::string(utf8.constData(), static_cast<std::size_t>(utf8.size()));
}

void checkUtf16(std::string_view bytes, TextDecoding::Utf16 order)
{
    std::string whole;
    if (TextDecoding::appendUtf16AsUtf8(bytes, order, whole, true) != bytes.size())
        std::abort();
    if (whole != plainUtf16AsUtf8(bytes, order == TextDecoding::Utf16::BigEndian))
        std::abort();

    // In two pieces, as a device reads it: the first keeps back at most an
    // odd byte and a high surrogate, and the result is the same.
    const std::size_t cut = bytes.empty() ? 0 : static_cast<unsigned char>(bytes[0]) % bytes.size();
    std::string pieces;
    const std::size_t used =
        TextDecoding::appendUtf16AsUtf8(bytes.substr(0, cut), order, pieces, false);
    if (used > cut || cut - used > 3)
        std::abort();
    TextDecoding::appendUtf16AsUtf8(bytes.substr(used), order, pieces, true);
    if (pieces != whole)
        std::abort();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    bool ascii = true;
    for (const char c : bytes)
        ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    if (ByteScan::isAscii(bytes) != ascii)
        std::abort();

    const bool valid = TextDecoding::isValidUtf8(bytes);
    if (valid != plainValidUtf8(bytes))
        std::abort();
    const QByteArray raw(bytes.data(), static_cast<qsizetype>(bytes.size()));
    if (valid && QString::fromUtf8(raw).toUtf8() != raw)
        std::abort();

    // Every byte is one character of the code page, and what comes out is
    // valid UTF-8 that keeps ASCII and the Latin-1 upper half as they are.
    std::string out = "x";
    TextDecoding::appendWindows1252AsUtf8(bytes, out);
    if (out.front() != 'x' || !plainValidUtf8(out))
        std::abort();
    const QString text = QString::fromUtf8(out.data() + 1, static_cast<qsizetype>(out.size() - 1));
    if (text.size() != static_cast<qsizetype>(size))
        std::abort();
    for (std::size_t i = 0; i < size; ++i) {
        const char16_t unit = text.at(static_cast<qsizetype>(i)).unicode();
        const unsigned byte = data[i];
        // 0x80 to 0x9F are the code page's own letters, or C1 controls where it has none.
        const bool same = unit == byte;
        if (byte < 0x80 || byte >= 0xA0 ? !same : !same && unit < 0x100)
            std::abort();
    }

    using Utf16 = TextDecoding::Utf16;
    const Utf16 bom = TextDecoding::utf16Bom(bytes);
    const bool ff = size >= 2 && data[0] == 0xFF && data[1] == 0xFE;
    const bool fe = size >= 2 && data[0] == 0xFE && data[1] == 0xFF;
    if (bom != (ff ? Utf16::LittleEndian : fe ? Utf16::BigEndian : Utf16::None))
        std::abort();
    checkUtf16(bytes, Utf16::LittleEndian);
    checkUtf16(bytes, Utf16::BigEndian);
    return 0;
}
