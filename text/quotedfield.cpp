#include "text/quotedfield.h"

void QuotedField::appendQuoted(std::string& out, std::string_view field, std::string_view lead)
{
    out.push_back('"');
    out.append(lead);
    for (const char c : field) {
        if (c == '"')
            out.push_back('"');
        out.push_back(c);
    }
    out.push_back('"');
}
