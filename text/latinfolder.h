#pragma once

#include <QString>

#include <optional>
#include <string>
#include <string_view>

// Text without case or accents, as Localizar, the filter's search and the
// sort's letters compare it: "Ã" is "a", "Ç" is "c", and the letters an
// accent cannot be lifted from are the letters they are written with, as
// the sort has them ("Ø" is "o", "Æ" is "ae", "ß" is "ss"), since a clerk
// types them so on a Brazilian keyboard.
class LatinFolder
{
public:
    // Any text: compatibility decomposition ("ﬁ" is "fi"), marks dropped,
    // case folded, then each Latin-1 letter as above.
    static QString fold(const QString& text);

    // The same for text of ASCII and Latin-1 (the names and messages of a
    // return file) without a QString: ASCII eight bytes at a time, each
    // Latin-1 character by one copy from a table, into a buffer used again
    // for the next text; a search goes through a million texts, and a
    // QString each would cost more than the comparison. The folded text is
    // valid until the next call; nothing when the text holds any other
    // character, which the caller folds with fold(QString).
    std::optional<std::string_view> fold(std::string_view utf8);

private:
    std::string buffer_;
};
