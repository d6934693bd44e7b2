#pragma once
// Named pipes that a test puts in the place of a file. Opening one for reading waits until
// somebody writes to it, for good when nobody does: so that code which still does that fails its
// test instead of hanging the run, a helper thread, once `patience` has passed, keeps opening the
// guarded pipes as a writer and closing them again, which lets every waiting reader go on with an
// empty file. Late() tells whether the helper ever found a reader waiting.
#include <sys/stat.h>
#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class PipeGuard {
public:
    explicit PipeGuard(std::chrono::seconds patience = std::chrono::seconds(30))
        : thread_([this, patience] { Run(patience); })
    {
    }
    ~PipeGuard()
    {
        {
            std::lock_guard lock(mutex_);
            stop_ = true;
        }
        wake_.notify_all();
        thread_.join();
    }
    PipeGuard(const PipeGuard&) = delete;
    PipeGuard& operator=(const PipeGuard&) = delete;

    // Makes a pipe at `path` (nothing may stand there) and guards it.
    bool Make(const std::string& path)
    {
        if (::mkfifo(path.c_str(), 0600) != 0)
            return false;
        std::lock_guard lock(mutex_);
        pipes_.push_back(path);
        return true;
    }
    bool Late() const { return late_; }

private:
    void Run(std::chrono::seconds patience)
    {
        std::unique_lock lock(mutex_);
        if (wake_.wait_for(lock, patience, [this] { return stop_; }))
            return;
        while (!wake_.wait_for(lock, std::chrono::milliseconds(20), [this] { return stop_; }))
            for (const std::string& pipe : pipes_) {
                // Succeeds only while a reader has the pipe open; closing it at once is its end.
                const int fd = ::open(pipe.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
                if (fd >= 0) {
                    late_ = true;
                    ::close(fd);
                }
            }
    }

    std::mutex mutex_;
    std::condition_variable wake_;
    std::vector<std::string> pipes_;
    bool stop_ = false;
    std::atomic<bool> late_{false};
    std::thread thread_;
};
