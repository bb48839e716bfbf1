#include "processing/savetarget.h"

#include "processing/linereader.h"
#include "processing/returnfilejob.h"
#include "processing/returnfileparser.h"
#include "processing/textdecoding.h"
#include "processing/utf16device.h"
#include "system/regularfile.h"

#include <QBuffer>
#include <QFile>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace {
// The lines of `start`, the file's first bytes: the last one is left out
// when the file goes on past them, as it may be cut.
std::vector<std::string> linesOf(QByteArray& start, bool whole)
{
    QBuffer buffer(&start);
    buffer.open(QIODevice::ReadOnly);
    QIODevice* device = &buffer;
    std::unique_ptr<Utf16Device> decoded;
    if (const TextDecoding::Utf16 order =
            TextDecoding::utf16Bom(std::string_view(start.constData(), start.size()));
        order != TextDecoding::Utf16::None) {
        buffer.skip(2);
        decoded = std::make_unique<Utf16Device>(buffer, order);
        device = decoded.get();
    }
    std::vector<std::string> lines;
    LineReader reader(*device, static_cast<std::size_t>(SaveTarget::kReadBytes),
                      static_cast<std::size_t>(SaveTarget::kReadBytes) * 2);
    std::string_view line;
    while (reader.next(line))
        lines.emplace_back(line);
    if (!whole && !lines.empty())
        lines.pop_back();
    return lines;
}
} // namespace

SaveTarget::Refusal SaveTarget::check(const QString& output, const QStringList& inputs)
{
    for (const QString& input : inputs) {
        if (ReturnFileJob::savesOver(output, input))
            return Refusal::Input;
    }
    return isReturnFile(output) ? Refusal::ReturnFile : Refusal::None;
}

bool SaveTarget::isReturnFile(const QString& path)
{
    QFile file;
    if (path.isEmpty() || RegularFile::open(path, file) != RegularFile::Refusal::None)
        return false;
    QByteArray start = file.read(kReadBytes + 1);
    const bool whole = start.size() <= kReadBytes;
    start.truncate(kReadBytes);
    const std::vector<std::string> lines = linesOf(start, whole);
    if (lines.empty())
        return false;
    // The grid's own CSV starts with the same heading, but its check
    // columns hold "OK" and messages where a return holds codes; with no
    // row under it (a filter that kept nobody), its byte order mark, which
    // the government's files do not start with, tells it.
    bool onlyHeading = whole && ReturnFileParser::isHeading(lines.front()) &&
                       !lines.front().starts_with("\xEF\xBB\xBF");
    for (const std::string& line : lines) {
        if (ReturnFileParser::looksLikeWorker(line))
            return true;
        if (&line != &lines.front() && !ReturnFileParser::isBlank(line))
            onlyHeading = false;
    }
    return onlyHeading;
}

namespace {
QString lostText(const QString& shownPath, const QString& what)
{
    return QStringLiteral("\"%1\" é %2 e seria perdido. Escolha outro nome.").arg(shownPath, what);
}
} // namespace

QString SaveTarget::refusalText(const QString& output, const QStringList& inputs,
                                const QString& notSaved, const QString& inputsAre,
                                const QString& shownPath)
{
    switch (check(output, inputs)) {
    case Refusal::None:
        return {};
    case Refusal::Input:
        return notSaved + QStringLiteral(": ") + lostText(shownPath, inputsAre);
    case Refusal::ReturnFile:
        return notSaved + QStringLiteral(": ") + returnFileText(shownPath);
    }
    return {};
}

QString SaveTarget::returnFileText(const QString& shownPath)
{
    return lostText(shownPath, QStringLiteral("um arquivo de retorno"));
}
