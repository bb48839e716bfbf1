#pragma once

#include "sheet/chunkedvector.h"
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
// store (the result messages, which fill most cells), and the others name a
// text kept as UTF-8 in one pool. A QString is built only when a cell is read.
//
// Rows and columns are 0-based here; the first kInlineColumns columns of a row
// live inline, wider rows keep their further cells beside it.
class CellStore
{
public:
    using Handle = std::uint32_t;
    static constexpr Handle kEmpty = 0;
    static constexpr int kInlineColumns = ReturnFields::kCount;
    static constexpr int kMaxInterned = 254;
    using RowCells = std::array<Handle, kInlineColumns>;

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
    // handles run out.
    Handle addText(std::string_view utf8);
    // Stores a text, reusing the interned handle when there is one.
    Handle storeText(std::string_view utf8);

    std::string_view utf8(Handle h) const;
    QString text(Handle h) const;

    int rows() const { return static_cast<int>(rows_.size()); }
    // Appends an empty row and returns its inline cells.
    RowCells& appendRow();
    void resizeRows(int rows);

    Handle handle(int row, int col) const
    {
        if (row < 0 || row >= rows() || col < 0)
            return kEmpty;
        if (col < kInlineColumns)
            return rows_[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)];
        return extraHandle(row, col);
    }
    const RowCells* inlineCells(int row) const
    {
        return row >= 0 && row < rows() ? &rows_[static_cast<std::size_t>(row)] : nullptr;
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
    void remapExtras(const std::function<int(int oldRow)>& newRow);
    void recomputeWidestExtra();

    static constexpr int kPoolBlockBits = 20;

    ChunkedVector<RowCells, 12> rows_;
    // Cells past kInlineColumns, for the rare rows that have any.
    std::unordered_map<int, std::vector<Handle>> extras_;
    int widestExtra_ = 0;

    std::vector<std::string> internedUtf8_;
    std::vector<QString> internedText_;

    // Pool entries: a varint length, then the UTF-8 bytes. A position is the
    // block index in the high 32 bits and the offset in the low ones.
    std::vector<std::unique_ptr<char[]>> blocks_;
    std::vector<std::size_t> blockSizes_;
    std::size_t blockUsed_ = 0;
    ChunkedVector<std::uint64_t, 16> textPositions_;
};
