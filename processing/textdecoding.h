#pragma once

#include <string>
#include <string_view>

// The return file's bytes are UTF-8 when they are valid UTF-8, else the
// Windows code page the files have always been written in (Windows-1252).
class TextDecoding
{
public:
    static bool isAscii(std::string_view bytes);
    // Strict UTF-8: no overlong forms, no surrogates, nothing past U+10FFFF.
    static bool isValidUtf8(std::string_view bytes);
    // Appends the Windows-1252 text as UTF-8. The five bytes the code page
    // leaves undefined become the C1 controls of the same value.
    static void appendWindows1252AsUtf8(std::string_view bytes, std::string& out);
};
