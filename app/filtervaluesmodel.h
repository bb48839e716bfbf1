#pragma once

#include "sheet/columnvalues.h"
#include "text/latinfolder.h"

#include <QAbstractListModel>
#include <QLocale>
#include <QString>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The texts of a column as a filter offers them: one checkable row each,
// "CPF cancelado (1.234)", the empty text as "(vazias)". A column can hold a
// million distinct names, so a row's text is made only when the view asks
// for it; the model itself keeps a flag per value and the positions of the
// values the search lists.
//
// As in a spreadsheet's filter, a search is a choice of its own: the values
// it finds are listed ticked, the user may untick some, and the choice is
// what stays ticked of what it found. The flags the list had without a
// search come back, as they were, when the search is emptied.
class FilterValuesModel : public QAbstractListModel
{
    Q_OBJECT

public:
    // `values` must outlive the model; `chosen` holds one flag per value.
    FilterValuesModel(const std::vector<ColumnValues::Value>& values, std::vector<bool> chosen,
                      QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Lists the values whose text holds `search`, case and accents aside,
    // each ticked; every value, with the flags it had, when it is empty.
    // Short of memory (std::bad_alloc), the list stays as it was.
    void listMatching(const QString& search);
    // Ticks, or unticks, every listed value.
    void chooseListed(bool choose);

    // One flag per value: whether its rows stay shown. With a search, only
    // the values it found and left ticked.
    std::vector<bool> chosen() const;
    bool anyChosen() const;

    static QString label(const ColumnValues::Value& value);

private:
    struct Search
    {
        std::string needle;       // folded, UTF-8
        QString foldedNeedle;     // the same, for texts beyond Latin-1
        bool emptyMatches = true; // whether "(vazias)" holds it
    };

    bool searching() const { return !search_.foldedNeedle.isEmpty(); }
    static bool matches(const ColumnValues::Value& value, const Search& search,
                        LatinFolder& folder);
    void setChosen(std::size_t value, bool choose);
    void setFound(std::size_t row, bool choose);

    const std::vector<ColumnValues::Value>& values_;
    std::vector<bool> chosen_; // without a search, one per value
    std::size_t chosenCount_ = 0;
    std::vector<int> listed_; // positions in values_, in their order
    std::vector<bool> found_; // with a search, one per listed value
    std::size_t foundCount_ = 0;
    Search search_;
};
