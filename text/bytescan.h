#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <string_view>

// Scans of text eight bytes at a time, in one 64-bit word, for the loops that
// look at every byte of a return file or of a sheet, and the first bytes of a
// text as one number for the sorts. Inline, because they are
// called once per field or cell, where a call costs about as much as the scan.
namespace ByteScan {

// find and findLineEnd take the first flagged byte as the lowest set bit of
// the word, which is the first byte in memory only in little-endian order.
static_assert(std::endian::native == std::endian::little,
              "ByteScan finds the first byte of a word by its lowest bits");

inline constexpr std::uint64_t kOnes = 0x0101010101010101ull;
inline constexpr std::uint64_t kHigh = 0x8080808080808080ull;

inline std::uint64_t load(const char* p)
{
    std::uint64_t word;
    std::memcpy(&word, p, sizeof word);
    return word;
}

// Where the first `byte` in text is, or npos: what memchr finds.
inline std::size_t find(std::string_view text, char byte)
{
    const char* const begin = text.data();
    const char* p = begin;
    const char* const end = p + text.size();
    while (end - p >= 8) {
        const std::uint64_t word = load(p) ^ (kOnes * static_cast<unsigned char>(byte));
        // The lowest flag always marks a zero byte; a false one (a borrow
        // through a 0x01 byte) can only sit above a true one.
        if (const std::uint64_t zero = (word - kOnes) & ~word & kHigh)
            return static_cast<std::size_t>(p - begin) + std::countr_zero(zero) / 8;
        p += 8;
    }
    for (; p < end; ++p) {
        if (*p == byte)
            return static_cast<std::size_t>(p - begin);
    }
    return std::string_view::npos;
}

// Where the first CR or LF in text is, or text.size(). Line ends are the only
// bytes below 0x0E that text holds besides tabs: every such byte is flagged in
// one step, and the flagged ones are looked at one by one.
inline std::size_t findLineEnd(std::string_view text)
{
    const char* const begin = text.data();
    const char* p = begin;
    const char* const end = p + text.size();
    while (end - p >= 8) {
        const std::uint64_t word = load(p);
        // Flagged bytes, lowest first; a false flag can only sit above a
        // true one, and each is checked.
        for (std::uint64_t low = (word - kOnes * 0x0E) & ~word & kHigh; low != 0; low &= low - 1) {
            const char* at = p + std::countr_zero(low) / 8;
            if (*at == '\n' || *at == '\r')
                return static_cast<std::size_t>(at - begin);
        }
        p += 8;
    }
    while (p < end && *p != '\n' && *p != '\r')
        ++p;
    return static_cast<std::size_t>(p - begin);
}

// How many bytes below 0x80 text starts with.
inline std::size_t asciiPrefix(std::string_view text)
{
    const char* const begin = text.data();
    const char* p = begin;
    const char* const end = p + text.size();
    // Return files and sheets are mostly ASCII: sixteen bytes a step while
    // it lasts.
    while (end - p >= 16 && ((load(p) | load(p + 8)) & kHigh) == 0)
        p += 16;
    while (end - p >= 8 && (load(p) & kHigh) == 0)
        p += 8;
    while (p < end && static_cast<unsigned char>(*p) < 0x80)
        ++p;
    return static_cast<std::size_t>(p - begin);
}

inline bool isAscii(std::string_view text)
{
    return asciiPrefix(text) == text.size();
}

// 'A' to 'Z' lowered, any other byte as it is.
inline char lowerAscii(char byte)
{
    return byte >= 'A' && byte <= 'Z' ? static_cast<char>(byte - 'A' + 'a') : byte;
}

// Eight bytes below 0x80 with 'A' to 'Z' lowered: a byte's top bit is set
// by adding (0x80 - 'A') when it is 'A' or above, by adding (0x80 - 'Z' - 1)
// when it is above 'Z'; bytes below 0x80 carry into no neighbour.
inline std::uint64_t lowerAscii(std::uint64_t word)
{
    const std::uint64_t fromA = word + kOnes * (0x80 - 'A');
    const std::uint64_t pastZ = word + kOnes * (0x80 - 'Z' - 1);
    return word | ((fromA & ~pastZ & kHigh) >> 2);
}

// The eight bytes at p as one number that orders as the bytes do.
inline std::uint64_t loadBigEndian(const char* p)
{
    return __builtin_bswap64(load(p));
}

// A text's first eight bytes, zeros after a shorter one, as one number that
// orders as the bytes do: most comparisons of a sort end there, without
// reading the texts again.
inline std::uint64_t prefixKey(std::string_view text)
{
    if (text.size() >= 8)
        return loadBigEndian(text.data());
    std::uint64_t word = 0;
    if (!text.empty())
        std::memcpy(&word, text.data(), text.size());
    return __builtin_bswap64(word);
}

} // namespace ByteScan
