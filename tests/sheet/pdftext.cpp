#include "pdftext.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>

namespace {
QByteArray run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60'000) || process.exitCode() != 0)
        return {};
    return process.readAllStandardOutput();
}

QString unescape(QString text)
{
    text.replace(QStringLiteral("&lt;"), QStringLiteral("<"));
    text.replace(QStringLiteral("&gt;"), QStringLiteral(">"));
    text.replace(QStringLiteral("&quot;"), QStringLiteral("\""));
    text.replace(QStringLiteral("&apos;"), QStringLiteral("'"));
    text.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
    return text;
}
} // namespace

QStringList PdfText::Page::texts() const
{
    QStringList out;
    for (const Word& word : words)
        out.append(word.text);
    return out;
}

bool PdfText::Page::has(const QString& text) const
{
    return std::any_of(words.begin(), words.end(),
                       [&](const Word& word) { return word.text == text; });
}

std::vector<PdfText::Word> PdfText::Page::within(const QRectF& area) const
{
    std::vector<Word> out;
    for (const Word& word : words) {
        if (area.contains(word.box))
            out.push_back(word);
    }
    return out;
}

bool PdfText::available()
{
    return !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty() &&
           !QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty();
}

std::vector<PdfText::Page> PdfText::pages(const QString& pdf)
{
    const QString html = QString::fromUtf8(
        run(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")}));
    static const QRegularExpression pageTag(
        QString::fromLatin1(R"re(<page width="([\d.]+)" height="([\d.]+)">)re"));
    static const QRegularExpression wordTag(QString::fromLatin1(
        R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re"));
    std::vector<Page> out;
    for (const QString& chunk : html.split(QStringLiteral("</page>"))) {
        const QRegularExpressionMatch start = pageTag.match(chunk);
        if (!start.hasMatch())
            continue;
        Page page;
        page.size = QSizeF(start.captured(1).toDouble(), start.captured(2).toDouble());
        for (auto it = wordTag.globalMatch(chunk); it.hasNext();) {
            const QRegularExpressionMatch m = it.next();
            const QPointF topLeft(m.captured(1).toDouble(), m.captured(2).toDouble());
            const QPointF bottomRight(m.captured(3).toDouble(), m.captured(4).toDouble());
            page.words.push_back({unescape(m.captured(5)), QRectF(topLeft, bottomRight)});
        }
        out.push_back(std::move(page));
    }
    return out;
}

QImage PdfText::render(const QString& pdf, int page, int dpi)
{
    QTemporaryDir dir;
    const QString base = dir.filePath(QStringLiteral("page"));
    const QString number = QString::number(page);
    run(QStringLiteral("pdftoppm"),
        {QStringLiteral("-gray"), QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-f"),
         number, QStringLiteral("-l"), number, QStringLiteral("-singlefile"), pdf, base});
    return QImage(base + QStringLiteral(".pgm"));
}
