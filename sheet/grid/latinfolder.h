#pragma once

#include <optional>
#include <string>
#include <string_view>

// Folds text of ASCII and Latin-1 letters (the names and messages of a
// return file) the way SheetFinder::fold does, without a QString: ASCII
// eight bytes at a time, each Latin-1 letter by one copy from a table, into
// a buffer used again for the next text. A search goes through a million
// texts, and a QString each would cost more than the comparison.
class LatinFolder
{
public:
    // The folded text, valid until the next call; nothing when the text
    // holds any other character, which the caller folds the slow way.
    std::optional<std::string_view> fold(std::string_view utf8);

private:
    std::string buffer_;
};
