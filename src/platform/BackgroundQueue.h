#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace platform {

// A pool of worker threads for the work that must stay off the main run loop (picture
// loading, conversions, background checks). Results go back with dispatchMain.
class BackgroundQueue {
public:
    explicit BackgroundQueue(unsigned workers);
    ~BackgroundQueue();
    BackgroundQueue(const BackgroundQueue&) = delete;
    BackgroundQueue& operator=(const BackgroundQueue&) = delete;

    static BackgroundQueue& shared();

    void async(std::function<void()> task);
    // Blocks until every queued task has finished (tests and shutdown).
    void waitIdle();

private:
    void work();

    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::deque<std::function<void()>> tasks_;
    std::vector<std::thread> threads_;
    unsigned busy_ = 0;
    bool stopping_ = false;
};

// Runs `task` on the shared background queue.
void dispatchBackground(std::function<void()> task);

}  // namespace platform
