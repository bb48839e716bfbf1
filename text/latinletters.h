#pragma once

#include <array>
#include <cstdint>

// The Latin-1 letters, U+00C0 to U+00FF, as the letters of the English
// alphabet they are written with and the accent set apart: "Ã" is "a" with a
// tilde, "Ø" is "o" with a stroke, "Æ" is "ae". What "accents aside" means
// for the search and for the sort alike.
namespace LatinLetters {

// Accents in the order they break ties, as the common Unicode order has
// them: none first, then acute, grave, circumflex...
enum Accent : std::uint8_t
{
    kNone,
    kAcute,
    kGrave,
    kCircumflex,
    kRing,
    kDiaeresis,
    kTilde,
    kCedilla,
    kStroke,
    kLigature, // Æ, Þ, ß: after the letters they are written as
    // Other combining marks, U+0300 up, weigh kOtherMarks + their offset.
    kOtherMarks = 16,
};

struct Letter
{
    char first;  // small; '\0' for a character that is no letter (×, ÷)
    char second; // '\0' for a single letter
    Accent accent;
};

// U+00C0 to U+00DF; the small letters U+00E0 to U+00FF are the same, but
// for ÷ and ÿ.
inline constexpr std::array<Letter, 32> kCapitals = {{
    {'a', 0, kGrave},      {'a', 0, kAcute}, {'a', 0, kCircumflex}, {'a', 0, kTilde},
    {'a', 0, kDiaeresis},  {'a', 0, kRing},  {'a', 'e', kLigature}, {'c', 0, kCedilla},
    {'e', 0, kGrave},      {'e', 0, kAcute}, {'e', 0, kCircumflex}, {'e', 0, kDiaeresis},
    {'i', 0, kGrave},      {'i', 0, kAcute}, {'i', 0, kCircumflex}, {'i', 0, kDiaeresis},
    {'d', 0, kStroke},     {'n', 0, kTilde}, {'o', 0, kGrave},      {'o', 0, kAcute},
    {'o', 0, kCircumflex}, {'o', 0, kTilde}, {'o', 0, kDiaeresis},  {0, 0, kNone},
    {'o', 0, kStroke},     {'u', 0, kGrave}, {'u', 0, kAcute},      {'u', 0, kCircumflex},
    {'u', 0, kDiaeresis},  {'y', 0, kAcute}, {'t', 'h', kLigature}, {'s', 's', kLigature},
}};

// The letter at codePoint, U+00C0 to U+00FF.
inline Letter of(unsigned codePoint)
{
    if (codePoint == 0xF7)
        return {0, 0, kNone};
    if (codePoint == 0xFF)
        return {'y', 0, kDiaeresis};
    return kCapitals[codePoint & 0x1F];
}

} // namespace LatinLetters
