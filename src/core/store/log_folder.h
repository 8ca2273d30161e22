#pragma once
// Folds the tables' logs into their files a moment after the last commit, on a thread of its own,
// so that the interface never waits for it and a crash leaves at most the last moment's changes
// only in a log.
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace barqeen {

class LogFolder {
public:
    // fold: folds every log; called on the folder's thread once the commits have paused for
    // `quiet`, or `longest` after the first unfolded commit while they go on.
    explicit LogFolder(std::function<void()> fold, std::chrono::milliseconds quiet = std::chrono::milliseconds(300),
                       std::chrono::milliseconds longest = std::chrono::seconds(3));
    ~LogFolder();  // stops the thread; what is not folded yet is folded at close
    LogFolder(const LogFolder&) = delete;
    LogFolder& operator=(const LogFolder&) = delete;

    // A commit was made: a fold follows.
    void committed();

private:
    using Clock = std::chrono::steady_clock;
    void run();

    std::function<void()> fold_;
    std::chrono::milliseconds quiet_, longest_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool pending_ = false, stopping_ = false;
    Clock::time_point first_, last_;
    std::thread thread_;
};

}  // namespace barqeen
