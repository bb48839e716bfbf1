#include "system/filepattern.h"

#include "text/filenameorder.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <utility>

namespace {
// The last component as Windows splits a path: after its last "\" or "/",
// or after a drive's "C:".
QString lastComponent(const QString& argument)
{
    return QFileInfo(QDir::fromNativeSeparators(argument)).fileName();
}

QRegularExpression expression(QString name)
{
    const bool anyExtension = name.size() > 2 && name.endsWith(QStringLiteral(".*"));
    if (anyExtension)
        name.chop(2);
    // The text between wildcards escaped whole, so that a character beyond
    // the basic plane ("🙂") stays one.
    QString pattern;
    QString literal;
    for (const QChar c : name) {
        if (c != u'*' && c != u'?') {
            literal += c;
            continue;
        }
        pattern += QRegularExpression::escape(std::exchange(literal, {}));
        pattern += c == u'*' ? QStringLiteral(".*") : QStringLiteral(".");
    }
    pattern += QRegularExpression::escape(literal);
    if (anyExtension)
        pattern += QStringLiteral("(\\..*)?");
    return QRegularExpression(QRegularExpression::anchoredPattern(pattern),
                              QRegularExpression::CaseInsensitiveOption |
                                  QRegularExpression::DotMatchesEverythingOption);
}
} // namespace

bool FilePattern::isPattern(const QString& argument)
{
    const QString name = lastComponent(argument);
    return name.contains(u'*') || name.contains(u'?');
}

QStringList FilePattern::matches(const QString& pattern)
{
    const QString name = lastComponent(pattern);
    const QString folder = QFileInfo(QDir::fromNativeSeparators(pattern)).path();
    const QRegularExpression matching = expression(name);
    QStringList found =
        QDir(folder).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDir::NoSort);
    found.removeIf([&matching](const QString& entry) { return !matching.match(entry).hasMatch(); });
    std::sort(found.begin(), found.end(), FileNameOrder::before);
    const QString typed = pattern.left(pattern.size() - name.size());
    for (QString& entry : found)
        entry.prepend(typed);
    return found;
}

QString FilePattern::noMatchText()
{
    return QStringLiteral("nenhum arquivo corresponde a este padrão.");
}
