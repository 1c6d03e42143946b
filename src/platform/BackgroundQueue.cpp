#include "platform/BackgroundQueue.h"

#include "platform/Log.h"

#include <exception>

namespace platform {

BackgroundQueue::BackgroundQueue(unsigned workers) {
    if (workers == 0) workers = 1;
    for (unsigned i = 0; i < workers; ++i) threads_.emplace_back([this] { work(); });
}

BackgroundQueue::~BackgroundQueue() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    for (auto& t : threads_) t.join();
}

BackgroundQueue& BackgroundQueue::shared() {
    // Never destroyed: workers may still be finishing while static objects go away.
    static auto* queue = new BackgroundQueue(4);
    return *queue;
}

void BackgroundQueue::async(std::function<void()> task) {
    {
        std::lock_guard lock(mutex_);
        tasks_.push_back(std::move(task));
    }
    wake_.notify_one();
}

void BackgroundQueue::waitIdle() {
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [this] { return tasks_.empty() && busy_ == 0; });
}

void BackgroundQueue::work() {
    for (;;) {
        std::function<void()> task;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return stopping_ || !tasks_.empty(); });
            if (tasks_.empty()) return;
            task = std::move(tasks_.front());
            tasks_.pop_front();
            ++busy_;
        }
        try {
            task();
        } catch (const std::exception& e) {
            log("background task failed: %s", e.what());
        }
        {
            std::lock_guard lock(mutex_);
            --busy_;
            if (tasks_.empty() && busy_ == 0) idle_.notify_all();
        }
    }
}

void dispatchBackground(std::function<void()> task) { BackgroundQueue::shared().async(std::move(task)); }

}  // namespace platform
