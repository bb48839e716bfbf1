#pragma once

#include <QImage>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <vector>

// What a PDF printout shows, read back with poppler's command-line tools:
// the words of each page with their boxes in points, and a page as pixels.
class PdfText
{
public:
    struct Word
    {
        QString text;
        QRectF box; // points, from the page's top-left corner
    };

    struct Page
    {
        QSizeF size; // points
        std::vector<Word> words;

        QStringList texts() const;
        bool has(const QString& text) const;
        // The words lying wholly inside the area.
        std::vector<Word> within(const QRectF& area) const;
    };

    // Whether pdftotext and pdftoppm are installed.
    static bool available();
    // Empty when the file cannot be read.
    static std::vector<Page> pages(const QString& pdf);
    // One page (1-based) in grey at the given resolution.
    static QImage render(const QString& pdf, int page, int dpi);
};
