#pragma once
// Disk work that nobody needs to wait for, done in order on a thread of its
// own: taking the journal's record of a ticket out, or its removal once the
// tickets are out, from the cache to the disk. Reading the journal back
// first waits for everything queued (Drain).
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace sending {

class DiskQueue {
public:
    DiskQueue() = default;
    // Waits for the work queued, then ends the thread.
    ~DiskQueue();
    DiskQueue(const DiskQueue&) = delete;
    DiskQueue& operator=(const DiskQueue&) = delete;

    // Queues `work`; the thread starts with the first.
    void Post(std::function<void()> work);
    // Returns once everything queued so far is done.
    void Drain();

private:
    void Run();

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::function<void()>> queue_;
    bool running_ = false;  // a work taken off the queue is being done
    bool stop_ = false;
    std::thread thread_;
};

}  // namespace sending
