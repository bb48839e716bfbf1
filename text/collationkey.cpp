#include "text/collationkey.h"

#include "text/bytescan.h"
#include "text/latinletters.h"
#include "text/utf8.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>

namespace {
using namespace LatinLetters; // Letter, Accent and the accents' names

Accent markAccent(unsigned codePoint)
{
    switch (codePoint) {
    case 0x300:
        return kGrave;
    case 0x301:
        return kAcute;
    case 0x302:
        return kCircumflex;
    case 0x303:
        return kTilde;
    case 0x308:
        return kDiaeresis;
    case 0x30A:
        return kRing;
    case 0x327:
        return kCedilla;
    default:
        return static_cast<Accent>(kOtherMarks + (codePoint - 0x300));
    }
}
} // namespace

void CollationKey::append(std::string_view utf8, std::string& key)
{
    accents_.clear();
    const std::size_t start = key.size();
    // An accent is kept as where its letter sits among the folded bytes,
    // counted down from the top, and then its weight. Compared byte by
    // byte, the first place where two texts' accents differ decides, and a
    // letter with an accent weighs more than the same letter without one,
    // whose entry only comes later (a lower count) or never.
    auto accent = [&](std::size_t at, Accent weight) {
        constexpr std::size_t kTop = 0xFFFFFF; // beyond, places share an entry
        const std::size_t down = kTop - std::min(at - start, kTop);
        accents_.push_back(static_cast<char>(down >> 16));
        accents_.push_back(static_cast<char>(down >> 8));
        accents_.push_back(static_cast<char>(down));
        accents_.push_back(static_cast<char>(weight));
    };

    const std::size_t size = utf8.size();
    for (std::size_t i = 0; i < size; ++i) {
        const auto byte = static_cast<unsigned char>(utf8[i]);
        if (byte < 0x80) {
            // The key's zero byte ends the letters: a zero or one in the text
            // takes two bytes, one then itself + 1, and keeps its place.
            if (byte <= 0x01) {
                key.push_back('\x01');
                key.push_back(static_cast<char>(byte + 1));
            } else {
                key.push_back(ByteScan::lowerAscii(static_cast<char>(byte)));
            }
            continue;
        }
        std::size_t length = 0;
        const auto codePoint = static_cast<unsigned>(Utf8::decode(utf8.substr(i), length));
        if (length == 2 && codePoint >= 0xC0 && codePoint <= 0xFF) {
            const Letter letter = LatinLetters::of(codePoint);
            if (letter.first != 0) {
                if (letter.accent != kNone)
                    accent(key.size(), letter.accent);
                key.push_back(letter.first);
                if (letter.second != 0)
                    key.push_back(letter.second);
                ++i;
                continue;
            }
        } else if (length == 2 && codePoint == 0xA0) { // no-break space
            key.push_back(' ');
            ++i;
            continue;
        } else if (length == 2 && codePoint >= 0x300 && codePoint <= 0x36F && key.size() > start) {
            // A combining mark on the character before it.
            accent(key.size() - 1, markAccent(codePoint));
            ++i;
            continue;
        }
        key.push_back(static_cast<char>(byte));
    }
    key.push_back('\0');
    key += accents_;
}
