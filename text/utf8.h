#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Reading and writing UTF-8 one character at a time, for the places that must know the
// characters themselves: checking a return file's encoding, folding text
// beyond ASCII, escaping a workbook's cells.
namespace Utf8 {

inline constexpr char32_t kReplacement = 0xFFFD;

// The code point at the start of non-empty `text` and its length in bytes;
// kReplacement and a length of 1 for a byte that does not start a
// well-formed sequence (overlong, a surrogate, past U+10FFFF, cut short).
inline char32_t decode(std::string_view text, std::size_t& length)
{
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const unsigned char c = p[0];
    length = 1;
    if (c < 0x80)
        return c;
    std::size_t more = 0;
    char32_t value = 0;
    char32_t least = 0;
    if (c >= 0xC2 && c <= 0xDF) {
        more = 1, value = c & 0x1F, least = 0x80;
    } else if (c >= 0xE0 && c <= 0xEF) {
        more = 2, value = c & 0x0F, least = 0x800;
    } else if (c >= 0xF0 && c <= 0xF4) {
        more = 3, value = c & 0x07, least = 0x10000;
    } else {
        return kReplacement;
    }
    if (text.size() <= more)
        return kReplacement;
    for (std::size_t i = 1; i <= more; ++i) {
        if ((p[i] & 0xC0) != 0x80)
            return kReplacement;
        value = (value << 6) | (p[i] & 0x3F);
    }
    if (value < least || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return kReplacement;
    length = more + 1;
    return value;
}

// Whether decode found no character at the start of the text: the
// replacement character written out in the text takes three bytes.
inline bool isMalformed(char32_t c, std::size_t length)
{
    return c == kReplacement && length == 1;
}

// Appends code point c, at most U+10FFFF and no surrogate, as UTF-8.
inline void append(char32_t c, std::string& out)
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

} // namespace Utf8
