#include "sheet/resultsheet.h"

#include "text/utf8boundary.h"

#include <algorithm>

ResultSheet::ResultSheet(QObject* parent) : QObject(parent), hidden_(kMaxColumns + 1, false) {}

ResultSheet::~ResultSheet() = default;

template <typename Change> void ResultSheet::resetWith(Change&& change)
{
    Q_EMIT sheetAboutToBeReset();
    change();
    // Shown rows name rows by number, which the change may have moved.
    clearShownRows();
    Q_EMIT sheetReset();
}

void ResultSheet::clearShownRows()
{
    filter_.clearAll();
    order_ = {};
    shown_ = {};
    sortColumn_ = 0;
}

std::vector<std::int32_t> ResultSheet::shownBy(const RowFilter::Matcher& matcher,
                                               const std::vector<std::int32_t>& order) const
{
    // Counted first, so the list takes exactly its rows' memory.
    const int rows = order.empty() ? rowCount_ : static_cast<int>(order.size());
    auto rowAt = [&](int i) { return order.empty() ? i : order[static_cast<std::size_t>(i)]; };
    std::vector<bool> passes(static_cast<std::size_t>(rows));
    std::size_t count = 0;
    for (int i = 0; i < rows; ++i) {
        passes[static_cast<std::size_t>(i)] = matcher.accepts(rowAt(i));
        count += passes[static_cast<std::size_t>(i)];
    }
    std::vector<std::int32_t> shown;
    shown.reserve(count);
    for (int i = 0; i < rows; ++i) {
        if (passes[static_cast<std::size_t>(i)])
            shown.push_back(rowAt(i));
    }
    return shown;
}

template <typename Commit>
void ResultSheet::showRows(std::vector<std::int32_t> shown, Commit&& commit)
{
    static_assert(noexcept(commit()), "the views hear of a change only when it cannot fail");
    Q_EMIT shownRowsAboutToChange();
    commit();
    shown_ = std::move(shown);
    Q_EMIT shownRowsChanged();
    // The rows under a selection are others now: the first row is selected
    // in the column that was, as a spreadsheet does after filtering.
    SetActiveCell(1, std::max(selection_.col1, 1));
}

int ResultSheet::ShownRowCount() const
{
    return filter_.isEmpty() ? rowCount_ : static_cast<int>(shown_.size());
}

// Each change below computes its rows (and whatever else may fail for want of
// memory) before it touches the sheet: a failure leaves the rows shown, the
// filter and the sort as they were.

bool ResultSheet::SetColumnFilter(int col, std::set<std::string> texts)
{
    if (col < 1 || col > colCount_)
        return false;
    std::vector<std::int32_t> shown =
        shownBy(RowFilter::Matcher(filter_, cells_, col, texts), order_);
    RowFilter::ColumnTexts column = RowFilter::column(col, std::move(texts));
    showRows(std::move(shown), [&]() noexcept { filter_.set(std::move(column)); });
    return true;
}

bool ResultSheet::ClearColumnFilter(int col)
{
    if (!filter_.filters(col))
        return false;
    // Without another filter every row shows, and none needs listing.
    std::vector<std::int32_t> shown;
    if (filter_.columns().size() > 1)
        shown = shownBy(RowFilter::Matcher(filter_, cells_, col), order_);
    showRows(std::move(shown), [&]() noexcept { filter_.clear(col); });
    return true;
}

void ResultSheet::ClearFilters()
{
    if (!filter_.isEmpty())
        showRows({}, [&]() noexcept { filter_.clearAll(); });
}

bool ResultSheet::SortRows(int col, RowSort::Direction direction)
{
    if (col < 1 || col > colCount_)
        return false;
    std::vector<std::int32_t> order = RowSort::order(cells_, rowCount_, col, direction);
    std::vector<std::int32_t> shown;
    if (!filter_.isEmpty())
        shown = shownBy(RowFilter::Matcher(filter_, cells_), order);
    showRows(std::move(shown), [&]() noexcept {
        order_ = std::move(order);
        sortColumn_ = col;
        sortDirection_ = direction;
    });
    return true;
}

void ResultSheet::ClearSort()
{
    if (sortColumn_ == 0)
        return;
    std::vector<std::int32_t> shown;
    if (!filter_.isEmpty())
        shown = shownBy(RowFilter::Matcher(filter_, cells_), {});
    showRows(std::move(shown), [&]() noexcept {
        order_ = {};
        sortColumn_ = 0;
    });
}

bool ResultSheet::SetRowCount(int n)
{
    n = std::max(n, 0);
    if (n > kMaxRows)
        return false;
    if (n == rowCount_) {
        cells_.resizeRows(std::min(n, cells_.rows()));
        return true;
    }
    resetWith([&] {
        cells_.resizeRows(std::min(n, cells_.rows()));
        rowCount_ = n;
    });
    return true;
}

QString ResultSheet::CellText(int row, int col) const
{
    if (row < 1 || row > rowCount_ || col < 1 || col > colCount_)
        return {};
    return cells_.text(cells_.handle(row - 1, col - 1));
}

std::string_view ResultSheet::CellUtf8(int row, int col) const
{
    if (row < 1 || row > rowCount_ || col < 1 || col > colCount_)
        return {};
    return cells_.utf8(cells_.handle(row - 1, col - 1));
}

QString ResultSheet::CellTextStart(int row, int col, qsizetype maxChars) const
{
    std::string_view utf8 = CellUtf8(row, col);
    // A UTF-16 unit takes at most three bytes of UTF-8 (a pair takes four),
    // so that many bytes are enough, cut between two characters.
    const std::size_t enough = static_cast<std::size_t>(std::max<qsizetype>(maxChars, 0)) * 3;
    utf8 = utf8.substr(0, Utf8Boundary::atOrBefore(utf8, enough));
    QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    if (text.size() > maxChars)
        text.truncate(maxChars > 0 && text.at(maxChars - 1).isHighSurrogate() ? maxChars - 1
                                                                              : maxChars);
    return text;
}

bool ResultSheet::SetCellText(int row, int col, const QString& text)
{
    if (row < 1 || row > kMaxRows || col < 1 || col > kMaxColumns)
        return false;
    const QByteArray utf8 = text.toUtf8();
    const CellStore::Handle h = cells_.storeText(std::string_view(utf8.constData(), utf8.size()));
    if (col > colCount_) {
        resetWith([&] {
            cells_.setHandle(row - 1, col - 1, h);
            colCount_ = col;
        });
        return true;
    }
    cells_.setHandle(row - 1, col - 1, h);
    if (row <= rowCount_)
        Q_EMIT cellChanged(row, col);
    return true;
}

bool ResultSheet::SetSelection(int row1, int col1, int row2, int col2)
{
    const bool valid = row1 >= 1 && col1 >= 1 && row2 >= row1 - 1 && col2 >= col1 - 1 &&
                       row2 <= kMaxRows && col2 <= kMaxColumns;
    if (!valid)
        return false;
    const CellRange range{row1, col1, row2, col2};
    if (range != selection_) {
        selection_ = range;
        Q_EMIT selectionChanged();
    }
    return true;
}

bool ResultSheet::DeleteSelection(int shift)
{
    constexpr int kShiftRows = 3;
    if (shift != kShiftRows)
        return false;
    if (!ShowsEveryRowInOrder()) {
        // The rows selected are the ones shown there, wherever the sheet
        // holds them.
        std::vector<bool> doomed(static_cast<std::size_t>(cells_.rows()), false);
        const int last = std::min(selection_.row2, ShownRowCount());
        for (int position = std::max(selection_.row1, 1); position <= last; ++position) {
            if (const int row = ShownRow(position); row <= cells_.rows())
                doomed[static_cast<std::size_t>(row - 1)] = true;
        }
        resetWith([&] {
            cells_.removeRowsIf(
                [&doomed](int row) { return doomed[static_cast<std::size_t>(row)]; });
        });
        return true;
    }
    if (!selection_.hasRows() || selection_.row1 > cells_.rows())
        return true;
    resetWith(
        [&] { cells_.removeRows(selection_.row1 - 1, selection_.row2 - selection_.row1 + 1); });
    return true;
}

int ResultSheet::DeleteRowsWhere(const std::function<bool(int row)>& doomed)
{
    std::vector<bool> mask(static_cast<std::size_t>(std::min(rowCount_, cells_.rows())), false);
    std::size_t count = 0;
    for (std::size_t i = 0; i < mask.size(); ++i) {
        mask[i] = doomed(static_cast<int>(i) + 1);
        count += mask[i];
    }
    // Rows past the stored ones are empty: removing them only shortens the sheet.
    int removed = static_cast<int>(count);
    for (int row = static_cast<int>(mask.size()) + 1; row <= rowCount_; ++row)
        removed += doomed(row) ? 1 : 0;
    if (removed == 0)
        return 0;
    resetWith([&] {
        cells_.removeRowsIf([&mask](int row) {
            return static_cast<std::size_t>(row) < mask.size() &&
                   mask[static_cast<std::size_t>(row)];
        });
        rowCount_ -= removed;
    });
    return removed;
}

bool ResultSheet::RangeReads(const CellRange& range, std::string_view utf8) const
{
    const CellStore::Handle interned = cells_.findInterned(utf8);
    for (int row = range.row1; row <= range.row2; ++row) {
        const bool inSheet = row >= 1 && row <= rowCount_;
        const CellStore::RowView cells = cells_.row(inSheet ? row - 1 : -1);
        for (int col = range.col1; col <= range.col2; ++col) {
            const CellStore::Handle h =
                col <= colCount_ ? cells.handle(col - 1) : CellStore::kEmpty;
            if (h == interned && (h != CellStore::kEmpty || utf8.empty()))
                continue;
            // Interned texts are distinct, so another interned handle differs;
            // a pool text may still spell the same.
            if (h == CellStore::kEmpty || CellStore::isInterned(h) || cells_.utf8(h) != utf8)
                return false;
        }
    }
    return true;
}

bool ResultSheet::SetColumnsHidden(int col1, int col2, bool hidden)
{
    if (col1 < 1 || col2 < col1 || col2 > kMaxColumns)
        return false;
    bool changed = false;
    for (int col = col1; col <= col2; ++col) {
        changed = changed || hidden_[static_cast<std::size_t>(col)] != hidden;
        hidden_[static_cast<std::size_t>(col)] = hidden;
    }
    if (changed)
        Q_EMIT columnsHiddenChanged(col1, col2);
    return true;
}

bool ResultSheet::IsColumnHidden(int col) const
{
    return col >= 1 && col <= kMaxColumns && hidden_[static_cast<std::size_t>(col)];
}

void ResultSheet::PrintRangeFromSelection()
{
    printRange_ = selection_;
}

bool ResultSheet::SetActiveCell(int row, int col)
{
    if (!SetSelection(row, col, row, col))
        return false;
    Q_EMIT activeCellChanged(row, col);
    return true;
}

void ResultSheet::ReplaceCells(CellStore&& cells, int rowCount, int colCount)
{
    resetWith([&] {
        cells_ = std::move(cells);
        rowCount_ = std::clamp(rowCount, 0, kMaxRows);
        colCount_ = std::clamp(colCount, ReturnFields::kCount, kMaxColumns);
        cells_.resizeRows(std::min(rowCount_, cells_.rows()));
    });
}
