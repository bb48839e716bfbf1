#pragma once

#include "sheet/cellstore.h"
#include "sheet/returnfields.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

// Turns the return file's worker lines into sheet rows. Fields are split on
// every ";": field k goes to column k; the check columns become "OK" or their
// message, the orientation column its instruction, the rest stays as it is.
//
// Each line is UTF-8 when it is valid UTF-8, else Windows-1252: files joined
// from two sources, or one line edited in an old editor, keep the accents of
// every other line. A UTF-8 byte order mark that starts a line (the second of
// two files joined with cat) is dropped.
class ReturnFileParser
{
public:
    enum class LineResult
    {
        Added,
        Blank
    };

    // How the sixteen check codes of a line are read: Shortcut reads the
    // usual one-character codes all at once; FieldByField reads every line
    // field by field, as the shortcut must agree with (tests compare them).
    enum class Checks
    {
        Shortcut,
        FieldByField
    };

    explicit ReturnFileParser(Checks checks = Checks::Shortcut);

    // A line without its line end.
    LineResult addLine(std::string_view line);

    int rows() const { return store_.rows(); }
    // How many fields the last line added had (at most the sheet's column
    // limit): a return file's worker line has ReturnFields::kCount.
    int lastLineFields() const { return lastLineFields_; }
    // Whether the last line added is a return file's line: its 21 fields,
    // and text. Text never holds a NUL byte; a UTF-16 file without its
    // mark, read byte by byte, does, with its ";" still in place.
    bool lastLineHadReturnFields() const
    {
        return lastLineFields_ == ReturnFields::kCount && !lastLineHadNul_;
    }
    // The widest line's field count, at least the 21 of the file format and
    // at most the sheet's column limit.
    int columns() const { return columns_; }
    CellStore takeCells() { return std::move(store_); }

    static bool isBlank(std::string_view line);
    // The return file's heading line: the 21 field names in their order, in
    // any case, spaces around them and a byte order mark aside. Every file
    // the government sends starts with it; a later one is where two files
    // were joined.
    static bool isHeading(std::string_view line);
    // The start of the heading line, cut within its first 21 fields: the
    // field names in their order, the last one perhaps only begun. What a
    // return file still being copied holds while its first line is. A whole
    // heading passes too: isHeading tells it.
    static bool isCutHeading(std::string_view line);
    // A line as a worker's is: the 21 fields, every code among them digits.
    // Tells a file that starts with its first worker from one that starts
    // with a heading of another form.
    static bool looksLikeWorker(std::string_view line);

private:
    CellStore::Handle rawText(std::string_view field);
    CellStore::Handle orientation(std::string_view field);
    bool addSingleCharacterChecks(std::string_view& line, CellStore::RowWriter& cells) const;
    static constexpr int kOrientationCodes = 4;

    Checks checks_;
    // The line being added is not UTF-8.
    bool windows1252_ = false;
    CellStore store_;
    CellStore::CheckText ok_{};
    CellStore::CheckTexts checkMessages_{};
    std::array<CellStore::Handle, kOrientationCodes> orientationCodes_{};
    int columns_;
    int lastLineFields_ = 0;
    bool lastLineHadNul_ = false;
    std::string scratch_;
};
