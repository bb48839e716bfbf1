#pragma once

#include <string>
#include <string_view>

// Sort keys for Portuguese text: two keys compared byte by byte (unsigned,
// the shorter first when one begins the other) order their texts as a
// Portuguese reader expects. Letters compare without case and accents first
// ("ÁLVARO" and "alvaro" share their letters); only when the letters are all
// equal do accents decide, an unaccented letter before an accented one
// ("ALVARO" < "ÁLVARO" < "ALVES"). Case never decides. Ç goes with C, Ñ with
// N; digits, spaces and punctuation keep their byte value after folding.
//
// Latin-1 letters and combining accents (a decomposed "A" + U+0301) are
// folded; any other character, and bytes that are not UTF-8 at all, keep
// their bytes, after every ASCII character, so any text still has one place.
class CollationKey
{
public:
    // Appends the key of `utf8` to `key`. At most 3 * utf8.size() + 1 bytes
    // are appended.
    void append(std::string_view utf8, std::string& key);

private:
    // The accents of the text being folded, kept until its letters are done.
    std::string accents_;
};
