#pragma once

#include "sheet/cellrange.h"
#include "sheet/cellstore.h"
#include "sheet/returnfields.h"
#include "sheet/rowfilter.h"
#include "sheet/rowsort.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <vector>

// The grid of text cells that holds a loaded return file. Rows and columns are
// 1-based. The commands use it only through these operations; views follow it
// through its signals, which come once per bulk change, never once per cell of
// an import.
//
// An operation whose arguments are out of range does nothing and returns
// false, so a caller can skip it and go on.
//
// The operations keep the capitalised names of the spreadsheet component the
// commands were first written against, so the commands read as they always
// have; those added for the grid's filter and sort are named alike.
class ResultSheet : public QObject
{
    Q_OBJECT

public:
    static constexpr int kMaxColumns = 1024;
    static constexpr int kMaxRows = 16'777'216;

    explicit ResultSheet(QObject* parent = nullptr);
    ~ResultSheet() override;

    int RowCount() const { return rowCount_; }
    // Rows 1 to n become the sheet; stored rows past n are dropped. A
    // negative n is taken as 0.
    bool SetRowCount(int n);
    int ColCount() const { return colCount_; }

    // Empty for a cell that holds nothing and for any cell past RowCount.
    QString CellText(int row, int col) const;
    // Stores the text even past RowCount (rows are written before the row
    // count is set) and widens ColCount to the column written.
    bool SetCellText(int row, int col, const QString& text);
    // The cell's text as UTF-8, without building a QString; valid until the
    // sheet changes.
    std::string_view CellUtf8(int row, int col) const;
    // The first maxChars UTF-16 units of CellText, never half a character.
    // What paints or prints a cell needs no more than its cell can show, and
    // one cell of a hostile file may hold megabytes.
    QString CellTextStart(int row, int col, qsizetype maxChars) const;

    // The rows the grid shows, in the order it shows them: those the filter
    // lets through, in the sort's order. Neither moves the sheet's own rows,
    // which every other operation counts; only the selection, the print
    // range and the active cell count shown rows, as the grid does. Without
    // a filter or a sort, as when the commands run, both are the same. Any
    // reset of the rows (a load, an optimisation, a deletion) shows every
    // row in the sheet's order again.
    int ShownRowCount() const;
    // The sheet row shown at 1-based `position`, 0 when none is.
    int ShownRow(int position) const
    {
        if (position < 1 || position > ShownRowCount())
            return 0;
        const auto at = static_cast<std::size_t>(position - 1);
        if (!filter_.isEmpty())
            return shown_[at] + 1;
        return order_.empty() ? position : order_[at] + 1;
    }
    bool ShowsEveryRowInOrder() const { return filter_.isEmpty() && order_.empty(); }

    // Column `col` shows only the rows that read one of `texts`, besides
    // what the other columns' filters ask.
    bool SetColumnFilter(int col, std::set<std::string> texts);
    bool ClearColumnFilter(int col);
    // Every row shows again, in the order it had.
    void ClearFilters();
    const RowFilter& Filter() const { return filter_; }

    bool SortRows(int col, RowSort::Direction direction);
    // The sheet's own order again.
    void ClearSort();
    // 0 while the rows show in the sheet's order.
    int SortColumn() const { return sortColumn_; }
    RowSort::Direction SortDirection() const { return sortDirection_; }

    bool SetSelection(int row1, int col1, int row2, int col2);
    CellRange Selection() const { return selection_; }
    // Shift 3 removes the selected rows whole and moves the rows below up;
    // RowCount stays, so the vacated rows at the bottom read as empty.
    bool DeleteSelection(int shift);

    // Removes, in one stable pass, the rows among 1 to RowCount for which
    // doomed(row) holds, moves the others up and lowers RowCount by as many.
    // doomed sees the sheet as it was before any removal. One reset.
    int DeleteRowsWhere(const std::function<bool(int row)>& doomed);
    // True when every cell of the range reads exactly `utf8` (cells past the
    // sheet read as empty). Compares handles where it can, so a scan of a
    // million rows builds no text.
    bool RangeReads(const CellRange& range, std::string_view utf8) const;

    bool SetColumnsHidden(int col1, int col2, bool hidden);
    bool IsColumnHidden(int col) const;

    void PrintRangeFromSelection();
    CellRange PrintRange() const { return printRange_; }
    // Prints the print range through whatever printing the sheet was given
    // (the grid gives it the real one, tests a PDF printer); without any, the
    // operation fails. showDialog asks for the print dialog first.
    using PrintHandler = std::function<bool(const ResultSheet& sheet, bool showDialog)>;
    void SetPrintHandler(PrintHandler handler) { printHandler_ = std::move(handler); }
    bool PrintSheet(bool showDialog) const
    {
        return printHandler_ ? printHandler_(*this, showDialog) : false;
    }

    // Columns 1 to FrozenColumnCount() stay in view while the grid scrolls,
    // repeat at the left of every printed page and are frozen in a saved
    // workbook, as a spreadsheet's frozen panes belong to its sheet: CPF,
    // NIS and NOME until the grid's menu switches them off. A new load
    // keeps the choice.
    static constexpr int kFrozenColumns = ReturnFields::kNomeColumn;
    void SetFrozen(bool frozen) { frozen_ = frozen; }
    bool IsFrozen() const { return frozen_; }
    int FrozenColumnCount() const { return frozen_ ? kFrozenColumns : 0; }

    // Whether the user may edit cells in place. The grid is read-only, so
    // this only records the wish; deletions work either way.
    void SetAllowEditing(bool allow) { allowEditing_ = allow; }
    bool AllowEditing() const { return allowEditing_; }
    // Makes (row, col) the active cell and the whole selection, and asks the
    // views to bring it into sight.
    bool SetActiveCell(int row, int col);

    // Replaces every cell at once: what an import does when a file has been
    // read whole. One reset for the observers.
    void ReplaceCells(CellStore&& cells, int rowCount, int colCount);
    const CellStore& Cells() const { return cells_; }

Q_SIGNALS:
    void sheetAboutToBeReset();
    void sheetReset();
    void cellChanged(int row, int col);
    void columnsHiddenChanged(int col1, int col2);
    void selectionChanged();
    void activeCellChanged(int row, int col);
    // Around a change of the rows shown or of their order; the sheet's
    // cells stay as they were.
    void shownRowsAboutToChange();
    void shownRowsChanged();

private:
    template <typename Change> void resetWith(Change&& change);
    // The rows `matcher` lets through, in `order` (empty: the sheet's).
    std::vector<std::int32_t> shownBy(const RowFilter::Matcher& matcher,
                                      const std::vector<std::int32_t>& order) const;
    // Shows `shown` once `commit`, which cannot fail, has set what they
    // come from.
    template <typename Commit> void showRows(std::vector<std::int32_t> shown, Commit&& commit);
    void clearShownRows();

    CellStore cells_;
    int rowCount_ = 0;
    int colCount_ = ReturnFields::kCount;
    std::vector<bool> hidden_;
    CellRange selection_;
    CellRange printRange_;
    bool allowEditing_ = false;
    bool frozen_ = true;
    PrintHandler printHandler_;

    // 0-based sheet rows: the sort's order (empty: the sheet's), and what
    // the filter lets through of it (empty without a filter). Four bytes a
    // row each, and only while a sort or a filter is set.
    RowFilter filter_;
    std::vector<std::int32_t> order_;
    std::vector<std::int32_t> shown_;
    int sortColumn_ = 0;
    RowSort::Direction sortDirection_ = RowSort::Direction::Ascending;
};
