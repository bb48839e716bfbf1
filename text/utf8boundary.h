#pragma once

#include <cstddef>
#include <string_view>

// Where UTF-8 text can be cut without splitting a character.
namespace Utf8Boundary {

// The last place at or before `at` where a character starts, or the text
// ends: text.substr(0, atOrBefore(text, n)) is at most n bytes and ends
// between two characters. Only continuation bytes are stepped over, so text
// that is not UTF-8 is cut as near to `at` as its bytes allow.
std::size_t atOrBefore(std::string_view text, std::size_t at);

} // namespace Utf8Boundary
