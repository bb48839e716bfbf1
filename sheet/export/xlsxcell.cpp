#include "sheet/export/xlsxcell.h"

#include "text/utf8.h"

#include <cstdint>

namespace {
bool isHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

bool xmlCannotHold(char32_t c)
{
    // Surrogates never get here: they are not UTF-8.
    return (c < 0x20 && c != 0x09 && c != 0x0A) || c == 0xFFFE || c == 0xFFFF;
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
    return text[6] == '_' || xmlCannotHold(Utf8::decode(text.substr(6), length));
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
        const char32_t c = Utf8::decode(utf8.substr(i), length);
        const std::size_t cellUnits = c >= 0x10000 ? 2 : 1;
        const bool escaped = xmlCannotHold(c) || startsLikeEscape(utf8.substr(i));
        const std::size_t written = escaped ? 7 : 1;
        if (units + cellUnits > kMaxUnits || characters + written > kMaxUnits)
            return;
        units += cellUnits;
        characters += written;
        if (escaped)
            appendEscape(c, out);
        else if (Utf8::isMalformed(c, length))
            out += "\xEF\xBF\xBD";
        else
            out.append(utf8.substr(i, length));
        i += length;
    }
}
