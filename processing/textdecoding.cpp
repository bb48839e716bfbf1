#include "processing/textdecoding.h"

#include "text/bytescan.h"
#include "text/utf8.h"

#include <array>

namespace {
// Windows-1252 0x80..0x9F; the rest of the upper half is Latin-1.
constexpr std::array<char16_t, 32> kWindows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};
} // namespace

bool TextDecoding::isValidUtf8(std::string_view bytes)
{
    for (std::size_t i = 0; i < bytes.size();) {
        if (static_cast<unsigned char>(bytes[i]) < 0x80) {
            i += ByteScan::asciiPrefix(bytes.substr(i));
            continue;
        }
        std::size_t length = 0;
        const char32_t c = Utf8::decode(bytes.substr(i), length);
        if (Utf8::isMalformed(c, length))
            return false;
        i += length;
    }
    return true;
}

void TextDecoding::appendWindows1252AsUtf8(std::string_view bytes, std::string& out)
{
    out.reserve(out.size() + bytes.size() * 2);
    for (const char ch : bytes) {
        const auto byte = static_cast<unsigned char>(ch);
        if (byte < 0x80) {
            out.push_back(ch);
            continue;
        }
        Utf8::append(byte < 0xA0 ? kWindows1252High[byte - 0x80] : char16_t{byte}, out);
    }
}

TextDecoding::Utf16 TextDecoding::utf16Bom(std::string_view firstBytes)
{
    if (firstBytes.size() < 2)
        return Utf16::None;
    const auto b0 = static_cast<unsigned char>(firstBytes[0]);
    const auto b1 = static_cast<unsigned char>(firstBytes[1]);
    if (b0 == 0xFF && b1 == 0xFE)
        return Utf16::LittleEndian;
    if (b0 == 0xFE && b1 == 0xFF)
        return Utf16::BigEndian;
    return Utf16::None;
}

std::size_t TextDecoding::appendUtf16AsUtf8(std::string_view bytes, Utf16 order, std::string& out,
                                            bool final)
{
    using Utf8::kReplacement;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t n = bytes.size();
    const bool big = order == Utf16::BigEndian;
    auto unitAt = [p, big](std::size_t i) -> char16_t {
        return static_cast<char16_t>(big ? (p[i] << 8) | p[i + 1] : p[i] | (p[i + 1] << 8));
    };
    out.reserve(out.size() + n / 2 * 3);
    std::size_t i = 0;
    while (i + 2 <= n) {
        const char16_t unit = unitAt(i);
        if (unit < 0xD800 || unit > 0xDFFF) {
            Utf8::append(unit, out);
            i += 2;
        } else if (unit <= 0xDBFF) { // a high surrogate: its low one must follow
            if (i + 4 > n) {
                if (!final)
                    return i;
                Utf8::append(kReplacement, out);
                i += 2;
                continue;
            }
            const char16_t low = unitAt(i + 2);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                Utf8::append(0x10000 + ((char32_t{unit} - 0xD800) << 10) + (low - 0xDC00), out);
                i += 4;
            } else {
                Utf8::append(kReplacement, out);
                i += 2;
            }
        } else { // a low surrogate alone
            Utf8::append(kReplacement, out);
            i += 2;
        }
    }
    if (i < n && final) {
        Utf8::append(kReplacement, out);
        i = n;
    }
    return i;
}
