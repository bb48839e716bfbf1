#pragma once

#include "processing/returncounts.h"
#include "processing/returnfilename.h"

#include <QString>
#include <QStringList>

#include <vector>

class Progress;

// An office's folder of returns, one entry per file: what the government's
// name says of it, and its counts or why it is not a return file. Files are
// read one at a time and only their numbers kept, so a folder of two hundred
// companies costs about as much memory as its largest file.
class FolderOverview
{
public:
    struct Entry
    {
        QString path;
        QString fileName;
        ReturnFileName name;
        ReturnCounts counts;
    };

    enum class Status
    {
        Complete,
        Cancelled, // the entries are those read before the stop
        FolderUnreadable,
    };

    struct Result
    {
        Status status = Status::Cancelled;
        std::vector<Entry> entries;

        bool complete() const { return status == Status::Complete; }
    };

    // The ordinary files directly in `folder`, sorted by name, case aside.
    // Hidden files (Windows's desktop.ini and Thumbs.db) are no company's.
    static QStringList filesIn(const QString& folder);
    // The folder's files whose names are no text (not UTF-8, from an old
    // system), which filesIn() cannot give: listed, never read, each with
    // that reason; their names with the bytes that are no text as \xHH.
    static std::vector<Entry> untextedIn(const QString& folder);

    // Reads `folder` on the calling thread. `progress`, when given, hears of
    // each file before it is read (done, total) and can stop the run.
    static Result read(const QString& folder, Progress* progress);
    static Result readFiles(const QStringList& paths, Progress* progress);

    // "A pasta … não pode ser lida." and the like; empty when complete.
    static QString statusText(Status status);
};
