#pragma once
// A stand-in for a network ticket printer: it listens on ADDRESS:PORT and
// keeps what each connection sends. CUPS's socket backend opens one
// connection per job, so one connection is one printed ticket. The demo's
// printer program and the print tests both use it.
#include <QByteArray>
#include <QString>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace printerlistener {

class PrinterListener {
public:
    // Called on the listener's thread with each job as it arrives.
    using JobCallback = std::function<void(const QByteArray& job)>;

    explicit PrinterListener(JobCallback on_job = {});
    ~PrinterListener();  // stops listening
    PrinterListener(const PrinterListener&) = delete;
    PrinterListener& operator=(const PrinterListener&) = delete;

    // Listens on `address` (IPv4, e.g. "127.0.0.1") and `port`. False, with
    // the reason in `error`, when the port cannot be taken.
    bool Start(const QString& address, quint16 port, QString* error);
    // Stops listening: the port is closed (a client is refused, as by a
    // printer that is switched off). A job whose sender has sent it whole is
    // still read to its end and kept, also one whose connection was waiting
    // to be taken; one still being sent is dropped unrecorded. The jobs
    // received so far are kept.
    void Stop();
    bool Listening() const;

    // The jobs received so far, in arrival order. A connection that sent
    // nothing is no job.
    std::vector<QByteArray> Jobs() const;
    // Waits until `count` jobs have arrived, at most `limit`. True when they did.
    bool WaitForJobs(std::size_t count, std::chrono::milliseconds limit) const;

private:
    void Serve();
    bool ReadJob(int connection, QByteArray* job);
    bool Take(int connection);
    void TakeWaiting();
    void Record(QByteArray job);

    JobCallback on_job_;
    int listen_fd_ = -1;
    int wake_fds_[2] = {-1, -1};  // a pipe: Stop() writes to it to end the thread's waits
    std::thread thread_;
    mutable std::mutex mutex_;
    mutable std::condition_variable arrived_;
    std::vector<QByteArray> jobs_;
};

}  // namespace printerlistener
