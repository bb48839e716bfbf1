#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Every text cell of a workbook passes through here on its way to
// libxlsxwriter, which takes a C string, escapes "&", "<" and ">" itself and
// writes the rest as it is. So the cell's text is made into what the library
// must be given for a spreadsheet to read back exactly that text:
//
// - a character XML 1.0 cannot hold (the controls U+0000 to U+001F other than
//   tab and line feed, U+FFFE, U+FFFF) becomes its OOXML escape "_xHHHH_",
//   which Excel and LibreOffice turn back into the character. The escape,
//   rather than U+FFFD, because it loses nothing (the CSV keeps the same
//   character), and it is what the library and Excel already write for the
//   other controls. U+000D is escaped too: XML readers turn a raw CR into a
//   line feed. U+0000 escaped is also what keeps a NUL from ending the C
//   string, and the cell, early (libxlsxwriter has no call taking a length);
// - a literal "_xHHHH_" in the text gets its underscore escaped ("_x005F_"),
//   so a spreadsheet shows it as written instead of the character it names;
//   so does "_xHHHH" before a character that is escaped, whose escape's "_"
//   would complete it;
// - bytes that are not UTF-8 become U+FFFD;
// - the text is cut at 32,767 UTF-16 units, as spreadsheets count a cell,
//   never between the two halves of a character beyond U+FFFF. The library
//   refuses a string of more than 32,767 characters, which it counts after
//   these escapes: a cell whose escapes would pass that is cut where they fit
//   (only a cell of thousands of control characters comes near).
//
// Nothing is escaped twice: the result holds no control character for the
// library to escape again, and the library's "&amp;" forms are not OOXML
// escapes.
class XlsxCell
{
public:
    // A cell's limit, in UTF-16 units.
    static constexpr std::size_t kMaxUnits = 32'767;

    // `out` becomes the text to hand to the library.
    static void prepare(std::string_view utf8, std::string& out);
};
