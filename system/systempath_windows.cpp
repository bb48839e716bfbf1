#include "system/systempath.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <windows.h>

namespace {
// CreateDirectoryW's limit, the lowest of the calls': a folder's path must
// leave room for an 8.3 name in it.
constexpr qsizetype kShortestLimit = 248;

// The name in the code page, with no look-alike put for a character the
// code page lacks; empty then.
QByteArray inCodePage(const QString& path)
{
    const auto* wide = reinterpret_cast<const wchar_t*>(path.utf16());
    const int units = static_cast<int>(path.size());
    BOOL lossy = FALSE;
    const int size =
        WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, units, nullptr, 0, nullptr, &lossy);
    if (size <= 0 || lossy)
        return {};
    QByteArray bytes(size, '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, units, bytes.data(), size, nullptr,
                        &lossy);
    // Checked back as well: some code pages map without saying they lost.
    std::wstring back(static_cast<std::size_t>(units) + 1, L'\0');
    const int read = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, bytes.constData(), size,
                                         back.data(), static_cast<int>(back.size()));
    if (lossy || read != units ||
        back.compare(0, std::size_t(units), wide, std::size_t(units)) != 0)
        return {};
    return bytes;
}
} // namespace

QByteArray SystemPath::narrow(const QString& path)
{
    if (path.isEmpty() || path.contains(QChar(u'\0')))
        return {};
    const std::wstring full = wide(path);
    const QString native = QString::fromStdWString(full);
    // The manifest asks for UTF-8 as the program's code page, which Windows
    // gives from Windows 10 1903 on: then every name has its bytes.
    if (GetACP() == CP_UTF8)
        return native.toUtf8();
    return inCodePage(native);
}

std::wstring SystemPath::wide(const QString& path)
{
    QString native = QDir::toNativeSeparators(path);
    if (native.size() < kShortestLimit || native.startsWith(QStringLiteral("\\\\?\\")) ||
        native.startsWith(QStringLiteral("\\\\.\\")))
        return native.toStdWString();
    // The long form takes the path as it is: no "." or ".." resolved, no "/".
    native = QDir::toNativeSeparators(QDir::cleanPath(QFileInfo(path).absoluteFilePath()));
    if (native.startsWith(QStringLiteral("\\\\")))
        return (QStringLiteral("\\\\?\\UNC\\") + native.mid(2)).toStdWString();
    return (QStringLiteral("\\\\?\\") + native).toStdWString();
}
