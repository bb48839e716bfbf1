#pragma once

#include "sheet/print/pageplan.h"

#include <QFont>
#include <QFontMetricsF>
#include <QStringList>

#include <map>
#include <string>
#include <string_view>
#include <unordered_map>

class QPaintDevice;
class ResultSheet;

// The lines a cell's text takes when its column prints narrower than its
// width, broken at word boundaries (within a word only when one word is too
// long), measured at the printer's resolution in the font the cells print
// in. The page plan asks it how tall each row is, and the painter draws the
// same lines, so a page holds what its plan counted. A check column holds a
// few messages over and over: each text is broken once per width.
class WrappedCells
{
public:
    // `cellFont` is the cells' font made for `device`.
    WrappedCells(const ResultSheet& sheet, const QFont& cellFont, const QPaintDevice& device);

    // The text of the shown row `position`, column `col`, within `width`
    // sheet pixels less the insets; none for an empty cell. Good until the
    // next call: a text not kept is broken into the same list each time.
    const QStringList& lines(int position, int col, int width);
    // The row's height in sheet pixels given the columns a band prints.
    double rowHeight(int position, const std::vector<PagePlan::Column>& printed);
    // A height in sheet pixels of that many lines.
    double heightOf(int lines) const;
    // Between the baselines of two lines, in device pixels.
    double lineSpacing() const { return metrics_.lineSpacing(); }

    // Text sits this far inside its cell, in sheet pixels.
    static constexpr double kTextInset = 2.0;

private:
    struct Hash
    {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const
        {
            return std::hash<std::string_view>()(text);
        }
    };
    using Cache = std::unordered_map<std::string, QStringList, Hash, std::equal_to<>>;

    QStringList breakLines(const QString& text, int width) const;

    const ResultSheet& sheet_;
    QFont font_;
    const QPaintDevice& device_;
    QFontMetricsF metrics_;
    double scaleX_;
    double scaleY_;
    std::map<int, Cache> byWidth_;
    QStringList lines_; // the last uncached text's
};
