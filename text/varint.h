#pragma once

#include <cstddef>

// A length written before the bytes it counts, seven bits a byte, low bits
// first, the top bit saying another byte follows: a short text's length
// costs one byte. How the cell pool and the sort's key arena keep texts.
class Varint
{
public:
    static constexpr std::size_t kMostBytes = (sizeof(std::size_t) * 8 + 6) / 7;

    static std::size_t size(std::size_t n)
    {
        std::size_t bytes = 1;
        for (; n >= 0x80; n >>= 7)
            ++bytes;
        return bytes;
    }
    // Writes n at out and returns the byte after it.
    static char* write(char* out, std::size_t n)
    {
        for (; n >= 0x80; n >>= 7)
            *out++ = static_cast<char>((n & 0x7Fu) | 0x80u);
        *out++ = static_cast<char>(n);
        return out;
    }
    // Reads the number at p and steps p past it.
    static std::size_t read(const char*& p)
    {
        std::size_t n = 0;
        int shift = 0;
        unsigned char byte = 0;
        do {
            byte = static_cast<unsigned char>(*p++);
            n |= std::size_t{byte & 0x7Fu} << shift;
            shift += 7;
        } while (byte & 0x80u);
        return n;
    }
};
