#pragma once
// Disk work that nobody needs to wait for, done in order on a thread of its
// own: the journal's record of a ticket taken by the printer, its removal
// once the tickets are out. Whatever must be on the disk before the send
// goes on first waits for everything queued before it (Drain), so the file
// sees every operation in the order the terminal made it.
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
