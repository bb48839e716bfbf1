#pragma once

#include "sheet/growablememory.h"
#include "sheet/returnfields.h"

#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// The texts of a sheet's cells, made for millions of rows. A cell is a 32-bit
// handle: 0 is the empty cell, small handles name texts interned once per
// store (the result messages, which fill most cells), and the others are the
// position of a text kept as UTF-8 in one pool, so a text costs its bytes and
// a length byte or two, nothing more. A QString is built only when a cell is
// read. The rows and the pool each live in one growable block of memory that
// starts small (a sheet of a few rows costs a few kilobytes) and grows without
// copying once it is big.
//
// Rows and columns are 0-based here; the first kInlineColumns columns of a row
// live inline, wider rows keep their further cells beside it. The check
// columns only ever hold "OK" or their message in a loaded file, so inline
// they are one byte each, an interned handle: a row costs 36 bytes instead of
// 84. The rare check cell written with any other text holds kEscaped and
// keeps its handle beside the row.
class CellStore
{
public:
    using Handle = std::uint32_t;
    static constexpr Handle kEmpty = 0;
    static constexpr int kInlineColumns = ReturnFields::kCount;
    static constexpr int kMaxInterned = 254;
    static constexpr int kFirstNarrowColumn = ReturnFields::kFirstCheckColumn - 1;
    static constexpr int kNarrowColumns = ReturnFields::kCheckColumnCount;
    static constexpr std::uint8_t kEscaped = 255;
    static_assert(kMaxInterned < kEscaped);

    struct Row
    {
        std::array<Handle, kFirstNarrowColumn> lead;
        std::array<std::uint8_t, kNarrowColumns> narrow;
        std::array<Handle, kInlineColumns - kFirstNarrowColumn - kNarrowColumns> tail;
    };
    static_assert(sizeof(Row) == 36);

    CellStore();
    ~CellStore();
    CellStore(CellStore&&) noexcept;
    CellStore& operator=(CellStore&&) noexcept;
    CellStore(const CellStore&) = delete;
    CellStore& operator=(const CellStore&) = delete;

    // Interns a text and returns its handle; interning the same text again
    // returns the same handle. Throws std::length_error past kMaxInterned.
    Handle intern(std::string_view utf8);
    // The handle of an interned text, kEmpty when it is not interned.
    Handle findInterned(std::string_view utf8) const;
    static bool isInterned(Handle h) { return h != kEmpty && h <= kMaxInterned; }

    // Stores a text in the pool without looking for it among the interned
    // ones; the empty text is kEmpty. Throws std::length_error when the
    // pool would pass kMaxPoolBytes.
    Handle addText(std::string_view utf8);
    // Stores a text, reusing the interned handle when there is one.
    Handle storeText(std::string_view utf8);

    std::string_view utf8(Handle h) const;
    QString text(Handle h) const;

    int rows() const { return static_cast<int>(rows_.size()); }
    // Appends an empty row and returns its inline cells; a narrow cell takes
    // an interned handle only.
    Row& appendRow();
    void resizeRows(int rows);

    Handle handle(int row, int col) const
    {
        if (row < 0 || row >= rows() || col < 0)
            return kEmpty;
        if (col < kInlineColumns)
            return inlineHandle(rows_[static_cast<std::size_t>(row)], row, col);
        return extraHandle(row, col);
    }
    const Row* inlineRow(int row) const
    {
        return row >= 0 && row < rows() ? &rows_[static_cast<std::size_t>(row)] : nullptr;
    }
    // The handle of cells (row `row`) in column col, 0 <= col < kInlineColumns.
    Handle inlineHandle(const Row& cells, int row, int col) const
    {
        if (col < kFirstNarrowColumn)
            return cells.lead[static_cast<std::size_t>(col)];
        const int narrow = col - kFirstNarrowColumn;
        if (narrow >= kNarrowColumns)
            return cells.tail[static_cast<std::size_t>(narrow - kNarrowColumns)];
        const std::uint8_t byte = cells.narrow[static_cast<std::size_t>(narrow)];
        return byte != kEscaped ? byte : escapedHandle(row, narrow);
    }
    // Grows the rows as needed.
    void setHandle(int row, int col, Handle h);
    // The widest stored row, in columns (at least kInlineColumns once a row exists).
    int widestRow() const;

    // Removes every row for which doomed(row) is true, keeping the order of
    // the others; returns how many were removed. Pool texts are not reclaimed.
    int removeRowsIf(const std::function<bool(int row)>& doomed);
    void removeRows(int first, int count);

    std::size_t memoryBytes() const;

private:
    Handle extraHandle(int row, int col) const;
    Handle escapedHandle(int row, int narrow) const;
    void setNarrow(int row, int narrow, Handle h);
    void remapSideRows(const std::function<int(int oldRow)>& newRow);
    void recomputeWidestExtra();

    GrowableArray<Row> rows_;
    // Cells past kInlineColumns, for the rare rows that have any.
    std::unordered_map<int, std::vector<Handle>> extras_;
    // The handles of the narrow cells that hold kEscaped, by row.
    std::unordered_map<int, std::array<Handle, kNarrowColumns>> escaped_;
    int widestExtra_ = 0;

    std::vector<std::string> internedUtf8_;
    std::vector<QString> internedText_;

    // Pool entries: a varint length, then the UTF-8 bytes. A pool handle is
    // kMaxInterned + 1 + the entry's offset.
    GrowableMemory pool_;
    std::size_t poolUsed_ = 0;

public:
    // What the 32-bit handles can reach: a sheet holds at most about 4 GiB
    // of text besides the interned texts.
    static constexpr std::size_t kMaxPoolBytes = std::size_t{UINT32_MAX} - kMaxInterned;
};
