#pragma once

#include <QImage>
#include <QRectF>
#include <QString>

#include <vector>

// A PDF printout read back with poppler's command-line tools: the words of
// each page with their boxes, and a page as pixels. Lengths are in points
// from the page's top-left corner.
class PdfText
{
public:
    struct Word
    {
        QString text;
        QRectF box;
    };

    struct Page
    {
        QSizeF size;
        std::vector<Word> words;

        bool has(const QString& text) const;
        // The words lying wholly inside the area.
        std::vector<Word> within(const QRectF& area) const;
    };

    // Whether pdftotext and pdftoppm are installed.
    static bool available();
    // Empty when the file cannot be read.
    static std::vector<Page> pages(const QString& pdf);
    // One page (1-based) in grey, one pixel a point.
    static QImage render(const QString& pdf, int page);
};
