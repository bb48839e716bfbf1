#include "processing/textdecoding.h"

#include "sheet/text/bytescan.h"

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
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* end = p + bytes.size();
    while (p < end) {
        const unsigned char c = *p;
        if (c < 0x80) {
            p += ByteScan::asciiPrefix(
                {reinterpret_cast<const char*>(p), static_cast<std::size_t>(end - p)});
            continue;
        }
        int length = 0;
        unsigned char low = 0x80;
        unsigned char high = 0xBF;
        if (c >= 0xC2 && c <= 0xDF) {
            length = 2;
        } else if (c >= 0xE0 && c <= 0xEF) {
            length = 3;
            if (c == 0xE0)
                low = 0xA0; // overlong
            else if (c == 0xED)
                high = 0x9F; // surrogates
        } else if (c >= 0xF0 && c <= 0xF4) {
            length = 4;
            if (c == 0xF0)
                low = 0x90; // overlong
            else if (c == 0xF4)
                high = 0x8F; // past U+10FFFF
        } else {
            return false;
        }
        if (end - p < length)
            return false;
        if (p[1] < low || p[1] > high)
            return false;
        for (int i = 2; i < length; ++i) {
            if (p[i] < 0x80 || p[i] > 0xBF)
                return false;
        }
        p += length;
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
        const char16_t unit = byte < 0xA0 ? kWindows1252High[byte - 0x80] : char16_t{byte};
        if (unit < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (unit >> 6)));
            out.push_back(static_cast<char>(0x80 | (unit & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xE0 | (unit >> 12)));
            out.push_back(static_cast<char>(0x80 | ((unit >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (unit & 0x3F)));
        }
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

namespace {
void appendCodePoint(char32_t c, std::string& out)
{
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}
} // namespace

std::size_t TextDecoding::appendUtf16AsUtf8(std::string_view bytes, Utf16 order, std::string& out,
                                            bool final)
{
    constexpr char32_t kReplacement = 0xFFFD;
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
            appendCodePoint(unit, out);
            i += 2;
        } else if (unit <= 0xDBFF) { // a high surrogate: its low one must follow
            if (i + 4 > n) {
                if (!final)
                    return i;
                appendCodePoint(kReplacement, out);
                i += 2;
                continue;
            }
            const char16_t low = unitAt(i + 2);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                appendCodePoint(0x10000 + ((char32_t{unit} - 0xD800) << 10) + (low - 0xDC00), out);
                i += 4;
            } else {
                appendCodePoint(kReplacement, out);
                i += 2;
            }
        } else { // a low surrogate alone
            appendCodePoint(kReplacement, out);
            i += 2;
        }
    }
    if (i < n && final) {
        appendCodePoint(kReplacement, out);
        i = n;
    }
    return i;
}
