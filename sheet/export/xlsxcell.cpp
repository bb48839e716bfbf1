#include "sheet/export/xlsxcell.h"

#include <cstdint>

namespace {
constexpr char32_t kReplacement = 0xFFFD;

bool isHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

bool xmlCannotHold(char32_t c)
{
    // Surrogates never get here: they are not UTF-8.
    return (c < 0x20 && c != 0x09 && c != 0x0A) || c == 0xFFFE || c == 0xFFFF;
}

// The code point at the start of `text` and its length in bytes; U+FFFD for
// one byte that does not start a well-formed UTF-8 sequence.
char32_t decode(std::string_view text, std::size_t& length)
{
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const unsigned char c = p[0];
    length = 1;
    if (c < 0x80)
        return c;
    int more = 0;
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
    if (text.size() < std::size_t(more) + 1)
        return kReplacement;
    for (int i = 1; i <= more; ++i) {
        if ((p[i] & 0xC0) != 0x80)
            return kReplacement;
        value = (value << 6) | (p[i] & 0x3F);
    }
    if (value < least || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return kReplacement;
    length = std::size_t(more) + 1;
    return value;
}

// Whether the text at the start of `text` would be read as an escape once
// written: "_xHHHH" followed by "_", or by a character whose own escape
// starts with "_".
bool startsLikeEscape(std::string_view text)
{
    if (text.size() < 7 || text[0] != '_' || (text[1] != 'x' && text[1] != 'X') ||
        !isHexDigit(text[2]) || !isHexDigit(text[3]) || !isHexDigit(text[4]) ||
        !isHexDigit(text[5]))
        return false;
    std::size_t length = 0;
    return text[6] == '_' || xmlCannotHold(decode(text.substr(6), length));
}

void appendEscape(char32_t c, std::string& out)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    out += "_x";
    for (int shift = 12; shift >= 0; shift -= 4)
        out.push_back(kHex[(c >> shift) & 0xF]);
    out.push_back('_');
}
} // namespace

void XlsxCell::prepare(std::string_view utf8, std::string& out)
{
    out.clear();
    std::size_t units = 0;      // UTF-16 units of the cell's own text
    std::size_t characters = 0; // characters of what the library is given
    for (std::size_t i = 0; i < utf8.size();) {
        std::size_t length = 0;
        const char32_t c = decode(utf8.substr(i), length);
        const std::size_t cellUnits = c >= 0x10000 ? 2 : 1;
        const bool escaped = xmlCannotHold(c) || startsLikeEscape(utf8.substr(i));
        const std::size_t written = escaped ? 7 : 1;
        if (units + cellUnits > kMaxUnits || characters + written > kMaxUnits)
            return;
        units += cellUnits;
        characters += written;
        if (escaped)
            appendEscape(c, out);
        else if (c == kReplacement && length == 1)
            out += "\xEF\xBF\xBD";
        else
            out.append(utf8.substr(i, length));
        i += length;
    }
}
