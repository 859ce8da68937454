#include "sending/disk_queue.h"

namespace sending {

DiskQueue::~DiskQueue() {
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return queue_.empty() && !running_; });
        stop_ = true;
    }
    changed_.notify_all();
    if (thread_.joinable()) thread_.join();
}

void DiskQueue::Post(std::function<void()> work) {
    {
        std::lock_guard lock(mutex_);
        queue_.push_back(std::move(work));
        if (!thread_.joinable()) thread_ = std::thread([this] { Run(); });
    }
    changed_.notify_all();
}

void DiskQueue::Drain() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return queue_.empty() && !running_; });
}

void DiskQueue::Run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return stop_ || !queue_.empty(); });
        if (queue_.empty()) return;  // stopping, nothing left
        std::function<void()> work = std::move(queue_.front());
        queue_.pop_front();
        running_ = true;
        lock.unlock();
        work();  // the journal's work logs its own failures and never throws
        lock.lock();
        running_ = false;
        changed_.notify_all();
    }
}

}  // namespace sending
