#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

// A field of delimited text (CSV, the tab-separated text of a copy) that reads
// back as exactly one field, whatever it holds.
namespace QuotedField {

// Appends lead and field between double quotes, every quote in the field
// doubled (RFC 4180).
void appendQuoted(std::string& out, std::string_view field, std::string_view lead);

// Appends `lead` and then `field` to out: as they are when the field holds
// none of `specials` (its separator and line ends, and the quote), else
// quoted, `lead` then inside the quotes. Inline, as it runs for every cell
// saved: with the specials known where it is called, their set is built
// while compiling.
inline void append(std::string& out, std::string_view field, std::string_view specials,
                   std::string_view lead = {})
{
    std::array<std::uint64_t, 4> special{}; // a bit for each byte value
    for (const char c : specials) {
        const auto b = static_cast<unsigned char>(c);
        special[b >> 6] |= std::uint64_t{1} << (b & 63);
    }
    for (const char c : field) {
        const auto b = static_cast<unsigned char>(c);
        if ((special[b >> 6] >> (b & 63)) & 1) {
            appendQuoted(out, field, lead);
            return;
        }
    }
    if (!lead.empty())
        out.append(lead);
    out.append(field);
}

} // namespace QuotedField
