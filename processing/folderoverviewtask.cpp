#include "processing/folderoverviewtask.h"

#include "sheet/progress.h"

// The caller's progress, if any, with the task's own stop in front of it.
class FolderOverviewTask::Relay : public Progress
{
public:
    Relay(const std::atomic<bool>& cancelled, Progress* progress)
        : cancelled_(cancelled), progress_(progress)
    {
    }

    bool advance(int done, int total) override
    {
        return !cancelled_ && (!progress_ || progress_->advance(done, total));
    }

    bool finish() override { return !cancelled_ && (!progress_ || progress_->finish()); }

private:
    const std::atomic<bool>& cancelled_;
    Progress* progress_;
};

FolderOverviewTask::FolderOverviewTask(const QString& folder, Progress* progress,
                                       std::function<void()> finished)
    : thread_([this, folder, progress, finished = std::move(finished)] {
          run(folder, progress, finished);
      })
{
}

FolderOverviewTask::~FolderOverviewTask()
{
    cancel();
    if (thread_.joinable())
        thread_.join();
}

void FolderOverviewTask::run(const QString& folder, Progress* progress,
                             const std::function<void()>& finished)
{
    Relay relay(cancelled_, progress);
    result_ = FolderOverview::read(folder, &relay);
    if (finished)
        finished();
}

FolderOverview::Result FolderOverviewTask::wait()
{
    if (thread_.joinable())
        thread_.join();
    return std::move(result_);
}
