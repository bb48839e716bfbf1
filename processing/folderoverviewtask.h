#pragma once

#include "processing/folderoverview.h"

#include <QString>

#include <atomic>
#include <functional>
#include <thread>

// A folder's overview read on a thread of its own, so the window that waits
// for it keeps answering. The progress and `finished` are called on that
// thread: a window hands them on to its own (a queued call), the command line
// just waits.
class FolderOverviewTask
{
public:
    // Starts at once. `progress` may be null; both it and `finished` must
    // outlive the task.
    FolderOverviewTask(const QString& folder, Progress* progress,
                       std::function<void()> finished = {});
    // Stops the reading and waits for it: a window closed mid-way leaves no
    // thread behind.
    ~FolderOverviewTask();
    FolderOverviewTask(const FolderOverviewTask&) = delete;
    FolderOverviewTask& operator=(const FolderOverviewTask&) = delete;

    // Asks the reading to stop before its next file; its result then says
    // Cancelled, even if it was on its last.
    void cancel() { cancelled_ = true; }
    // Waits for the end; the result, once.
    FolderOverview::Result wait();

private:
    class Relay;

    void run(const QString& folder, Progress* progress, const std::function<void()>& finished);

    std::atomic<bool> cancelled_{false};
    FolderOverview::Result result_;
    std::thread thread_;
};
