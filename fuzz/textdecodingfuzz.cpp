// Checks the return file's text decoding on arbitrary bytes against a plain
// decoder written for clarity rather than speed, and against Qt's.
#include "processing/textdecoding.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

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
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    bool ascii = true;
    for (const char c : bytes)
        ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    if (TextDecoding::isAscii(bytes) != ascii)
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
    return 0;
}
