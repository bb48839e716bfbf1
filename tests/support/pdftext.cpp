#include "tests/support/pdftext.h"

#include "tests/support/hosttool.h"

#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>

namespace {
QByteArray run(const QString& program, const QStringList& arguments)
{
    int exitCode = 0;
    const QByteArray out = HostTool::run(HostTool::program(program), arguments, &exitCode);
    return exitCode == 0 ? out : QByteArray();
}
} // namespace

bool PdfText::Page::has(const QString& text) const
{
    return std::any_of(words.begin(), words.end(), [&](const Word& w) { return w.text == text; });
}

std::vector<PdfText::Word> PdfText::Page::within(const QRectF& area) const
{
    std::vector<Word> out;
    std::copy_if(words.begin(), words.end(), std::back_inserter(out),
                 [&](const Word& w) { return area.contains(w.box); });
    return out;
}

bool PdfText::available()
{
    return !HostTool::program(QStringLiteral("pdftotext")).isEmpty() &&
           !HostTool::program(QStringLiteral("pdftoppm")).isEmpty() &&
           !HostTool::path(QStringLiteral(".")).isEmpty();
}

std::vector<PdfText::Page> PdfText::pages(const QString& pdf)
{
    const QString html =
        QString::fromUtf8(run(QStringLiteral("pdftotext"),
                              {QStringLiteral("-bbox"), HostTool::path(pdf), QStringLiteral("-")}));
    static const QRegularExpression tag(QString::fromLatin1(
        R"re(<(page) width="([\d.]+)" height="([\d.]+)">|<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re"));
    std::vector<Page> out;
    for (auto it = tag.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        auto number = [&](int i) { return m.captured(i).toDouble(); };
        if (!m.captured(1).isEmpty()) {
            out.push_back({QSizeF(number(2), number(3)), {}});
        } else if (!out.empty()) {
            QString text = m.captured(8);
            text.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
            out.back().words.push_back(
                {text, QRectF(QPointF(number(4), number(5)), QPointF(number(6), number(7)))});
        }
    }
    return out;
}

QImage PdfText::render(const QString& pdf, int page)
{
    QTemporaryDir dir;
    const QString base = dir.filePath(QStringLiteral("page"));
    const QString n = QString::number(page);
    run(QStringLiteral("pdftoppm"),
        {QStringLiteral("-gray"), QStringLiteral("-r"), QStringLiteral("72"), QStringLiteral("-f"),
         n, QStringLiteral("-l"), n, QStringLiteral("-singlefile"), HostTool::path(pdf),
         HostTool::path(base)});
    return QImage(base + QStringLiteral(".pgm"));
}
