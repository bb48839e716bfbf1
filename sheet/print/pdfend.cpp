#include "sheet/print/pdfend.h"

#include <QByteArray>
#include <QDir>
#include <QFile>

#include <algorithm>

namespace {
// More than the trailer the printer writes after "startxref".
constexpr qint64 kTailBytes = 64;
} // namespace

bool PdfEnd::whole(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const qint64 size = file.size();
    if (size <= 0 || !file.seek(std::max<qint64>(0, size - kTailBytes)))
        return false;
    const QByteArray tail = file.read(kTailBytes);
    const qsizetype start = tail.lastIndexOf("startxref");
    if (start < 0 || !tail.trimmed().endsWith("%%EOF"))
        return false;
    bool number = false;
    const qint64 table =
        tail.mid(start + 9).trimmed().split('\n').value(0).trimmed().toLongLong(&number);
    // The table comes before the line that gives its place.
    const qint64 startAt = size - tail.size() + start;
    if (!number || table <= 0 || table >= startAt || !file.seek(table))
        return false;
    return file.read(4) == "xref";
}

QString PdfEnd::cutText(const QString& target)
{
    return QStringLiteral("Não foi possível gravar o arquivo PDF \"%1\": parte dele não foi "
                          "gravada (o disco está cheio ou o arquivo passou do tamanho máximo "
                          "permitido).")
        .arg(QDir::toNativeSeparators(target));
}
