#include "text/utf8boundary.h"

#include <algorithm>

std::size_t Utf8Boundary::atOrBefore(std::string_view text, std::size_t at)
{
    std::size_t cut = std::min(at, text.size());
    while (cut > 0 && cut < text.size() && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
        --cut;
    return cut;
}
