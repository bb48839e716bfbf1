#include "system/terminaltext.h"

#include <QDir>
#include <QList>

// Flushed at once, so that a failure is known while the message is told,
// not when the program ends.
bool TerminalText::writeUtf8(std::FILE* stream, const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    const auto size = static_cast<std::size_t>(bytes.size());
    return std::fwrite(bytes.constData(), 1, size, stream) == size && std::fflush(stream) == 0;
}

namespace {
// What a terminal acts on, or draws as nothing, instead of showing it.
bool invisible(char32_t c)
{
    switch (QChar::category(c)) {
    case QChar::Other_Control:
    case QChar::Other_Format:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
        return true;
    default:
        return false;
    }
}

QString escaped(char32_t c)
{
    switch (c) {
    case u'\n':
        return QStringLiteral("\\n");
    case u'\r':
        return QStringLiteral("\\r");
    case u'\t':
        return QStringLiteral("\\t");
    default:
        break;
    }
    if (c < 0x80)
        return QStringLiteral("\\%1").arg(uint(c), 3, 8, QLatin1Char('0'));
    if (c <= 0xFFFF)
        return QStringLiteral("\\u%1").arg(uint(c), 4, 16, QLatin1Char('0'));
    return QStringLiteral("\\U%1").arg(uint(c), 8, 16, QLatin1Char('0'));
}
} // namespace

QString TerminalText::shown(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (const char32_t c : text.toUcs4())
        out += invisible(c) ? escaped(c) : QString::fromUcs4(&c, 1);
    return out;
}

QString TerminalText::shownPath(const QString& path)
{
    return shown(QDir::toNativeSeparators(path));
}

bool TerminalText::writeAbout(std::FILE* stream, const QString& name, const QString& text)
{
    QString told;
    for (const QString& line : text.split(u'\n'))
        told += shownPath(name) + QStringLiteral(": ") + line + u'\n';
    return write(stream, told);
}

QString TerminalText::shownBytes(const QByteArray& bytes)
{
    QString shown;
    for (const char byte : bytes) {
        const auto code = static_cast<unsigned char>(byte);
        shown += code < 0x80 ? TerminalText::shown(QString(QLatin1Char(byte)))
                             : QStringLiteral("\\x%1").arg(uint(code), 2, 16, QLatin1Char('0'));
    }
    return shown;
}
