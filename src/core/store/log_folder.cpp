#include "core/store/log_folder.h"

namespace barqeen {

LogFolder::LogFolder(std::function<void()> fold, std::chrono::milliseconds quiet, std::chrono::milliseconds longest)
    : fold_(std::move(fold)), quiet_(quiet), longest_(longest), thread_([this] { run(); })
{
}

LogFolder::~LogFolder()
{
    {
        std::lock_guard hold(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

void LogFolder::committed()
{
    {
        std::lock_guard hold(mutex_);
        last_ = Clock::now();
        if (!pending_)
            first_ = last_;
        pending_ = true;
    }
    wake_.notify_all();
}

void LogFolder::run()
{
    std::unique_lock hold(mutex_);
    for (;;) {
        wake_.wait(hold, [this] { return stopping_ || pending_; });
        if (stopping_)
            return;
        const Clock::time_point due = std::min(last_ + quiet_, first_ + longest_);
        if (Clock::now() < due) {
            wake_.wait_until(hold, due, [this] { return stopping_; });
            continue;  // a later commit may have moved the moment
        }
        pending_ = false;
        hold.unlock();
        fold_();
        hold.lock();
    }
}

}  // namespace barqeen
