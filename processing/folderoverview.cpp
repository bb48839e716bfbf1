#include "processing/folderoverview.h"

#include "sheet/progress.h"
#include "system/terminaltext.h"
#include "system/untextednames.h"
#include "text/filenameorder.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <iterator>

QStringList FolderOverview::filesIn(const QString& folder)
{
    // Without QDir::System: no FIFO, device or broken link, which the import
    // would refuse anyway, and no folder.
    QFileInfoList found = QDir(folder).entryInfoList(QDir::Files, QDir::NoSort);
    std::sort(found.begin(), found.end(), [](const QFileInfo& a, const QFileInfo& b) {
        return FileNameOrder::before(a.fileName(), b.fileName());
    });
    QStringList paths;
    paths.reserve(found.size());
    for (const QFileInfo& file : found)
        paths.append(file.filePath());
    return paths;
}

std::vector<FolderOverview::Entry> FolderOverview::untextedIn(const QString& folder)
{
    std::vector<QString> names;
    for (const QByteArray& bytes : UntextedNames::in(folder))
        names.push_back(TerminalText::shownBytes(bytes));
    std::sort(names.begin(), names.end());
    std::vector<Entry> entries;
    for (const QString& name : names) {
        const QString path = QDir(folder).filePath(name);
        entries.push_back({path, name, ReturnFileName::parse(path),
                           ReturnCounts::unread(CommandMessage::NameNotText)});
    }
    return entries;
}

FolderOverview::Result FolderOverview::read(const QString& folder, Progress* progress)
{
    const QFileInfo info(folder);
    if (!info.isDir() || !info.isReadable())
        return {Status::FolderUnreadable, {}};
    Result result = readFiles(filesIn(folder), progress);
    if (result.complete()) {
        std::vector<Entry> untexted = untextedIn(folder);
        result.entries.insert(result.entries.end(), std::make_move_iterator(untexted.begin()),
                              std::make_move_iterator(untexted.end()));
    }
    return result;
}

FolderOverview::Result FolderOverview::readFiles(const QStringList& paths, Progress* progress)
{
    Result result;
    result.entries.reserve(static_cast<std::size_t>(paths.size()));
    const int total = static_cast<int>(paths.size());
    for (int done = 0; done < total; ++done) {
        if (progress && !progress->advance(done, total))
            return result;
        const QString& path = paths[done];
        result.entries.push_back({path, QFileInfo(path).fileName(), ReturnFileName::parse(path),
                                  ReturnCounts::ofFile(path)});
    }
    if (progress && !progress->finish())
        return result;
    result.status = Status::Complete;
    return result;
}

QString FolderOverview::statusText(Status status)
{
    switch (status) {
    case Status::Complete:
        return {};
    case Status::Cancelled:
        return QStringLiteral("A leitura da pasta foi cancelada: a lista não tem todos os "
                              "arquivos.");
    case Status::FolderUnreadable:
        return QStringLiteral("A pasta não existe ou não pode ser lida.");
    }
    return {};
}
