#pragma once
// A stand-in for a network ticket printer: it listens on ADDRESS:PORT and
// keeps what each connection sends. CUPS's socket backend opens one
// connection per job, so one connection is one printed ticket. The demo's
// printer program and the print tests both use it.
//
// Like an ESC/POS printer it answers the real-time status requests DLE EOT 1,
// 2 and 4 (see printer_status.h) and can be put into a fault while it runs:
// out of paper, cover open (it answers so and prints nothing), or offline (it
// stops reading). Status requests are never part of a job.
#include <QByteArray>
#include <QString>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

#include "printer_status.h"

namespace printerlistener {

class PrinterListener {
public:
    using Fault = printerlistener::Fault;
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
    // (Start() after Stop() opens the port again.)
    bool Listening() const;

    // Puts the printer into `fault` (or back to normal with Fault::None), at
    // once, also on a connection in progress: with PaperOut or CoverOpen what
    // arrives is read and thrown away and status requests are answered with
    // the fault; with Offline nothing is read nor answered (the sender's bytes
    // wait in the connection) until the fault changes, and then reading goes on.
    void SetFault(Fault fault);
    Fault CurrentFault() const;
    // False: a printer without status support, which answers no status
    // request (the requests are still never part of a job). True by default.
    void SetAnswersStatus(bool answers);
    bool AnswersStatus() const;
    // A byte to answer every status request with instead of the status
    // (0x00, say: a printer whose answers are no ESC/POS status); -1, the
    // status as usual (the default).
    void SetStatusAnswer(int byte);

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
    void Answer(int connection, const std::vector<char>& asked);
    void DrainChanges();

    JobCallback on_job_;
    int listen_fd_ = -1;
    int wake_fds_[2] = {-1, -1};  // a pipe: Stop() writes to it to end the thread's waits
    // A pipe for the object's whole life: SetFault() writes to it so that a
    // wait on a connection sees the change at once.
    int changed_fds_[2] = {-1, -1};
    std::atomic<Fault> fault_{Fault::None};
    std::atomic<bool> answers_status_{true};
    std::atomic<int> status_answer_{-1};
    std::thread thread_;
    mutable std::mutex mutex_;
    mutable std::condition_variable arrived_;
    std::vector<QByteArray> jobs_;
};

}  // namespace printerlistener
