#pragma once

#include <QString>

#include <concepts>
#include <cstdint>
#include <string_view>

// Removes qtde characters of alfa starting at the 1-based position inicio.
// Nothing changes when inicio or qtde is below 1, or when inicio + qtde does
// not fit Int: with 16-bit counters a text is left alone once the sum passes
// 32,767, so a caller gets exactly the limits of the type it counts in. A
// position past the end cuts what is there.
template <std::signed_integral Int> void Del(QString& alfa, Int inicio, Int qtde)
{
    Int end = 0;
    if (inicio < 1 || qtde < 1 || __builtin_add_overflow(inicio, qtde, &end))
        return;
    alfa.remove(static_cast<qsizetype>(inicio) - 1, static_cast<qsizetype>(qtde));
}

// The same cut on a view, for the import: cutting a consumed field off the
// front of a line moves the view and copies nothing. Only a cut at the front
// (inicio 1) or one that reaches the end can be expressed on a view; others
// leave it unchanged and return false.
template <std::signed_integral Int> bool Del(std::string_view& alfa, Int inicio, Int qtde)
{
    Int end = 0;
    if (inicio < 1 || qtde < 1 || __builtin_add_overflow(inicio, qtde, &end))
        return true;
    const auto from = static_cast<std::size_t>(inicio) - 1;
    if (from >= alfa.size())
        return true;
    const auto count = static_cast<std::size_t>(qtde);
    if (from == 0) {
        alfa.remove_prefix(count < alfa.size() ? count : alfa.size());
        return true;
    }
    if (count >= alfa.size() - from) {
        alfa = alfa.substr(0, from);
        return true;
    }
    return false;
}
