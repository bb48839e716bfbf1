#include "sheet/rowfilter.h"

void RowFilter::set(int col, std::set<std::string> texts)
{
    set(column(col, std::move(texts)));
}

RowFilter::ColumnTexts RowFilter::column(int col, std::set<std::string> texts)
{
    std::map<int, std::set<std::string>> one;
    one.emplace(col, std::move(texts));
    return one.extract(col);
}

void RowFilter::set(ColumnTexts column) noexcept
{
    // Neither allocates: the node is reused whole.
    columns_.erase(column.key());
    columns_.insert(std::move(column));
}

void RowFilter::clear(int col) noexcept
{
    columns_.erase(col);
}

RowFilter::Matcher::Matcher(const RowFilter& filter, const CellStore& cells, int exceptColumn)
    : cells_(cells)
{
    for (const auto& [col, texts] : filter.columns()) {
        if (col != exceptColumn)
            add(col, texts);
    }
}

RowFilter::Matcher::Matcher(const RowFilter& filter, const CellStore& cells, int col,
                            const std::set<std::string>& texts)
    : Matcher(filter, cells, col)
{
    add(col, texts);
}

void RowFilter::Matcher::add(int col, const std::set<std::string>& texts)
{
    Column column{col - 1, std::vector<bool>(std::size_t(cells_.internedCount()) + 1), {}};
    column.texts.reserve(texts.size());
    for (const std::string& text : texts)
        column.texts.insert(text);
    for (CellStore::Handle h = 0; h < column.interned.size(); ++h)
        column.interned[h] = column.texts.contains(cells_.utf8(h));
    columns_.push_back(std::move(column));
}

bool RowFilter::Matcher::accepts(int row) const
{
    const CellStore::RowView cells = cells_.row(row);
    for (const Column& column : columns_) {
        const CellStore::Handle h = cells.handle(column.col0);
        const bool passes = h < column.interned.size() ? bool(column.interned[h])
                                                       : column.texts.contains(cells_.utf8(h));
        if (!passes)
            return false;
    }
    return true;
}
