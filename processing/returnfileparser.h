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
class ReturnFileParser
{
public:
    enum class Encoding
    {
        Utf8,
        Windows1252
    };
    enum class LineResult
    {
        Added,
        Blank,
        NotUtf8
    };

    explicit ReturnFileParser(Encoding encoding);

    // A line without its line end. NotUtf8 (only in UTF-8 mode) means the
    // file has to be read again as Windows-1252; the line is not added.
    LineResult addLine(std::string_view line);

    int rows() const { return store_.rows(); }
    // How many fields the last line added had (at most the sheet's column
    // limit): a return file's worker line has ReturnFields::kCount.
    int lastLineFields() const { return lastLineFields_; }
    // The widest line's field count, at least the 21 of the file format and
    // at most the sheet's column limit.
    int columns() const { return columns_; }
    CellStore takeCells() { return std::move(store_); }

    static bool isBlank(std::string_view line);

private:
    CellStore::Handle rawText(std::string_view field);
    CellStore::Handle orientation(std::string_view field);
    bool addSingleCharacterChecks(std::string_view& line, CellStore::Row& cells) const;
    static constexpr int kOrientationCodes = 4;

    Encoding encoding_;
    CellStore store_;
    // Interned, so they fit the narrow check cells.
    std::uint8_t ok_ = CellStore::kEmpty;
    std::array<std::uint8_t, ReturnFields::kCheckColumnCount> checkMessages_{};
    std::array<CellStore::Handle, kOrientationCodes> orientationCodes_{};
    int columns_;
    int lastLineFields_ = 0;
    std::string scratch_;
};
