#include "processing/earlierreturn.h"

#include "processing/folderoverview.h"
#include "processing/returnfilename.h"

#include <QDir>
#include <QFileInfo>

QString EarlierReturn::newestBefore(const QString& currentPath)
{
    const QFileInfo current(currentPath);
    const ReturnFileName currentName = ReturnFileName::parse(current.fileName());
    if (!currentName.isGovernments())
        return {};
    QString newest;
    QDateTime newestTime;
    for (const QString& path : FolderOverview::filesIn(current.absolutePath())) {
        const ReturnFileName name = ReturnFileName::parse(path);
        // A copy of the current return (" (1)") bears its time: not earlier.
        if (name.cnpj() != currentName.cnpj() || !(name.dateTime() < currentName.dateTime()))
            continue;
        // Among copies of one return, the first by name, as the folder lists it.
        if (newest.isEmpty() || newestTime < name.dateTime()) {
            newest = path;
            newestTime = name.dateTime();
        }
    }
    return newest.isEmpty() ? QString()
                            : QDir::toNativeSeparators(QFileInfo(newest).absoluteFilePath());
}

bool EarlierReturn::madeAfter(const QString& path, const QString& otherPath)
{
    const ReturnFileName name = ReturnFileName::parse(path);
    const ReturnFileName other = ReturnFileName::parse(otherPath);
    return name.isGovernments() && other.isGovernments() && other.dateTime() < name.dateTime();
}
