#pragma once

#include "sheet/growablememory.h"
#include "sheet/returnfields.h"

#include <QString>
#include <QtGlobal>

#include <array>
#include <bit>
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
    // What the 32-bit handles can reach: a sheet holds at most about 4 GiB
    // of text besides the interned texts.
    static constexpr std::size_t kMaxPoolBytes = std::size_t{UINT32_MAX} - kMaxInterned;

    // An interned text as a check cell keeps it inline: its handle in one
    // byte. Made by checkText(), from a handle intern() gave.
    enum class CheckText : std::uint8_t
    {
    };
    static CheckText checkText(Handle interned)
    {
        Q_ASSERT(isInterned(interned));
        return static_cast<CheckText>(interned);
    }
    using CheckTexts = std::array<CheckText, kNarrowColumns>;

    // Writes the cells of the row appendRow() has just added: how a reader
    // of a file fills a row without knowing how it is laid out.
    class RowWriter
    {
    public:
        // Column col (0-based) := h.
        void set(int col, Handle h)
        {
            Row& cells = store_.rows_[static_cast<std::size_t>(row_)];
            const int narrow = col - kFirstNarrowColumn;
            if (col < kFirstNarrowColumn)
                cells.lead[static_cast<std::size_t>(col)] = h;
            else if (narrow < kNarrowColumns && isInterned(h))
                cells.narrow[static_cast<std::size_t>(narrow)] = static_cast<std::uint8_t>(h);
            else if (narrow >= kNarrowColumns && col < kInlineColumns)
                cells.tail[static_cast<std::size_t>(narrow - kNarrowColumns)] = h;
            else
                store_.setHandle(row_, col, h);
        }
        // The check column `check` (0 for the first) := text.
        void setCheck(int check, CheckText text)
        {
            store_.rows_[static_cast<std::size_t>(row_)].narrow[static_cast<std::size_t>(check)] =
                static_cast<std::uint8_t>(text);
        }
        // Every check column, first to last, at once: for a reader that
        // fills them without a branch per field.
        void setChecks(const CheckTexts& texts)
        {
            store_.rows_[static_cast<std::size_t>(row_)].narrow =
                std::bit_cast<std::array<std::uint8_t, kNarrowColumns>>(texts);
        }

    private:
        friend class CellStore;
        RowWriter(CellStore& store, int row) : store_(store), row_(row) {}
        CellStore& store_;
        int row_;
    };

    // One row's cells as a reader scans them, column after column; a row
    // past the store reads as empty.
    class RowView
    {
    public:
        Handle handle(int col) const
        {
            if (!inside_ || col < 0)
                return kEmpty;
            if (col >= kInlineColumns)
                return store_.extraHandle(row_, col);
            const Row& cells = store_.rows_[static_cast<std::size_t>(row_)];
            const int narrow = col - kFirstNarrowColumn;
            if (col < kFirstNarrowColumn)
                return cells.lead[static_cast<std::size_t>(col)];
            if (narrow >= kNarrowColumns)
                return cells.tail[static_cast<std::size_t>(narrow - kNarrowColumns)];
            const std::uint8_t byte = cells.narrow[static_cast<std::size_t>(narrow)];
            return byte != kEscaped ? byte : store_.escapedHandle(row_, narrow);
        }

    private:
        friend class CellStore;
        RowView(const CellStore& store, int row)
            : store_(store), row_(row), inside_(row >= 0 && row < store.rows())
        {
        }
        const CellStore& store_;
        int row_;
        bool inside_;
    };

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
    // Handles 1 to internedCount() are the interned texts.
    int internedCount() const { return static_cast<int>(internedUtf8_.size()); }

    // Stores a text in the pool without looking for it among the interned
    // ones; the empty text is kEmpty. Throws std::length_error when the
    // pool would pass kMaxPoolBytes.
    Handle addText(std::string_view utf8);
    // Stores a text, reusing the interned handle when there is one.
    Handle storeText(std::string_view utf8);

    std::string_view utf8(Handle h) const;
    QString text(Handle h) const;

    int rows() const { return static_cast<int>(rows_.size()); }
    // Appends an empty row and returns the way to fill it.
    RowWriter appendRow();
    void resizeRows(int rows);

    RowView row(int row) const { return RowView(*this, row); }
    Handle handle(int row, int col) const { return RowView(*this, row).handle(col); }
    // Grows the rows as needed.
    void setHandle(int row, int col, Handle h);

    // Removes every row for which doomed(row) is true, keeping the order of
    // the others; returns how many were removed. Pool texts are not reclaimed.
    int removeRowsIf(const std::function<bool(int row)>& doomed);
    void removeRows(int first, int count);

    std::size_t memoryBytes() const;

private:
    // A row of the first kInlineColumns cells. The check columns only ever
    // hold "OK" or their message in a loaded file, so they are one byte each,
    // an interned handle, or kEscaped for a text kept in escaped_.
    struct Row
    {
        std::array<Handle, kFirstNarrowColumn> lead;
        std::array<std::uint8_t, kNarrowColumns> narrow;
        std::array<Handle, kInlineColumns - kFirstNarrowColumn - kNarrowColumns> tail;
    };
    static_assert(sizeof(Row) == 36);

    Handle extraHandle(int row, int col) const;
    Handle escapedHandle(int row, int narrow) const;
    void setNarrow(int row, int narrow, Handle h);
    void remapSideRows(const std::function<int(int oldRow)>& newRow);

    GrowableArray<Row> rows_;
    // Cells past kInlineColumns, for the rare rows that have any.
    std::unordered_map<int, std::vector<Handle>> extras_;
    // The handles of the narrow cells that hold kEscaped, by row.
    std::unordered_map<int, std::array<Handle, kNarrowColumns>> escaped_;

    std::vector<std::string> internedUtf8_;
    std::vector<QString> internedText_;

    // Pool entries: a varint length, then the UTF-8 bytes. A pool handle is
    // kMaxInterned + 1 + the entry's offset.
    GrowableMemory pool_;
    std::size_t poolUsed_ = 0;
};
