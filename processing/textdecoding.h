#pragma once

#include <string>
#include <string_view>

// The return file's bytes are UTF-8 when they are valid UTF-8, else the
// Windows code page the files have always been written in (Windows-1252).
// A file that starts with a UTF-16 byte order mark (FF FE little endian,
// FE FF big endian) is UTF-16, as Windows editors save "Unicode" text.
class TextDecoding
{
public:
    enum class Utf16
    {
        None,
        LittleEndian,
        BigEndian
    };
    // The UTF-16 byte order mark the bytes start with, if any.
    static Utf16 utf16Bom(std::string_view firstBytes);
    // Appends the UTF-16 text as UTF-8 and returns how many bytes it used:
    // all of them when `final`, else all but a trailing odd byte or a high
    // surrogate whose pair may follow in the next bytes. Unpaired surrogates
    // and a final odd byte become U+FFFD, so the result is always valid UTF-8.
    static std::size_t appendUtf16AsUtf8(std::string_view bytes, Utf16 order, std::string& out,
                                         bool final);

    // Strict UTF-8: no overlong forms, no surrogates, nothing past U+10FFFF.
    static bool isValidUtf8(std::string_view bytes);
    // Appends the Windows-1252 text as UTF-8. The five bytes the code page
    // leaves undefined become the C1 controls of the same value.
    static void appendWindows1252AsUtf8(std::string_view bytes, std::string& out);
};
