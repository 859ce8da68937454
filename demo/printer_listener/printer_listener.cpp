#include "printer_listener.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QtDebug>
#include <cerrno>
#include <cstring>

namespace printerlistener {
namespace {

QString SystemError() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

void CloseFd(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
}

// Opens a listening socket on address:port; -1 with the reason in `error`.
int ListenOn(const QString& address, quint16 port, QString* error) {
    sockaddr_in where{};
    where.sin_family = AF_INET;
    where.sin_port = htons(port);
    if (::inet_pton(AF_INET, address.toLatin1().constData(), &where.sin_addr) != 1) {
        *error = QStringLiteral("Dirección no válida: %1").arg(address);
        return -1;
    }
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        *error = QStringLiteral("No se pudo abrir un socket: %1").arg(SystemError());
        return -1;
    }
    const int on = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&where), sizeof where) != 0 ||
        ::listen(fd, 8) != 0) {
        *error = QStringLiteral("No se pudo escuchar en %1:%2: %3")
                     .arg(address)
                     .arg(port)
                     .arg(SystemError());
        ::close(fd);
        return -1;
    }
    return fd;
}

}  // namespace

PrinterListener::PrinterListener(JobCallback on_job) : on_job_(std::move(on_job)) {
    if (::pipe2(changed_fds_, O_CLOEXEC | O_NONBLOCK) != 0)
        qCritical().noquote() << "printer listener: no pipe for fault changes, a fault set while a "
                                 "connection waits is seen only when it sends more:"
                              << SystemError();
}

PrinterListener::~PrinterListener() {
    Stop();
    CloseFd(changed_fds_[0]);
    CloseFd(changed_fds_[1]);
}

void PrinterListener::SetFault(Fault fault) {
    fault_.store(fault);
    // Full pipe: a wake-up is already pending, and the thread reads the new
    // fault when it takes it.
    const char changed = 'f';
    if (::write(changed_fds_[1], &changed, 1) != 1 && errno != EAGAIN)
        qWarning().noquote() << "printer listener: fault change not signalled:" << SystemError();
}

PrinterListener::Fault PrinterListener::CurrentFault() const {
    return fault_.load();
}

void PrinterListener::SetAnswersStatus(bool answers) {
    answers_status_.store(answers);
}

void PrinterListener::SetStatusAnswer(int byte) {
    status_answer_.store(byte);
}

bool PrinterListener::AnswersStatus() const {
    return answers_status_.load();
}

void PrinterListener::DrainChanges() {
    char buffer[64];
    while (::read(changed_fds_[0], buffer, sizeof buffer) > 0) {
    }
}

bool PrinterListener::Start(const QString& address, quint16 port, QString* error) {
    if (Listening()) {
        *error = QStringLiteral("Ya está escuchando.");
        return false;
    }
    listen_fd_ = ListenOn(address, port, error);
    if (listen_fd_ < 0) return false;
    if (::pipe2(wake_fds_, O_CLOEXEC) != 0) {
        *error = QStringLiteral("No se pudo crear el aviso de parada: %1").arg(SystemError());
        CloseFd(listen_fd_);
        return false;
    }
    thread_ = std::thread([this] { Serve(); });
    return true;
}

void PrinterListener::Stop() {
    if (!thread_.joinable()) return;
    const char stop = 'x';
    if (::write(wake_fds_[1], &stop, 1) != 1) qWarning() << "printer listener: stop signal lost";
    thread_.join();
    CloseFd(listen_fd_);
    CloseFd(wake_fds_[0]);
    CloseFd(wake_fds_[1]);
}

bool PrinterListener::Listening() const {
    return thread_.joinable();
}

void PrinterListener::Serve() {
    for (;;) {
        pollfd waits[2] = {{listen_fd_, POLLIN, 0}, {wake_fds_[0], POLLIN, 0}};
        if (::poll(waits, 2, -1) < 0) {
            if (errno == EINTR) continue;
            qWarning().noquote() << "printer listener: poll failed:" << SystemError();
            return;
        }
        if (waits[1].revents) return TakeWaiting();
        const int connection = ::accept4(listen_fd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection < 0) continue;
        if (!Take(connection)) return TakeWaiting();  // stopped in the middle of a job
    }
}

// Reads the job of `connection` and keeps it when it came whole; false when
// Stop() came in the middle of it.
bool PrinterListener::Take(int connection) {
    QByteArray job;
    const bool complete = ReadJob(connection, &job);
    ::close(connection);
    if (complete && !job.isEmpty()) Record(std::move(job));
    return complete;
}

// Switched off: a connection the system already took for the printer (one
// waiting in the listening socket's queue) may carry a job its sender has
// sent whole and takes as printed. Each one waiting is read as the job in
// progress at Stop() is: kept when its sender is done within a moment.
// Closing the port with them still queued would drop them unread.
void PrinterListener::TakeWaiting() {
    constexpr int kMostWaiting = 16;  // a sender that keeps connecting does not keep the printer on
    for (int i = 0; i < kMostWaiting; ++i) {
        pollfd waiting{listen_fd_, POLLIN, 0};
        if (::poll(&waiting, 1, 0) <= 0) return;
        const int connection = ::accept4(listen_fd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection < 0) return;
        Take(connection);
    }
}

// Reads until the sender closes; false when Stop() came in the middle of a
// job. A sender that has already handed over its whole job only waits for the
// printer to close: once stopping, the listener still reads for a moment, so a
// job sent whole is kept (its sender takes it as printed), and only one still
// being sent is dropped (its sender sees the connection fail and sends it again).
// Status requests are answered as they come and never kept; what arrives
// while out of paper or with the cover open is thrown away; while offline the
// connection is not read at all (stopping then drops the job).
bool PrinterListener::ReadJob(int connection, QByteArray* job) {
    constexpr int kLastBytesMs = 300;
    char buffer[4096];
    bool stopping = false;
    StatusRequests requests;
    for (;;) {
        const bool offline = CurrentFault() == Fault::Offline;
        if (stopping && offline) return false;
        pollfd waits[3] = {{offline ? -1 : connection, POLLIN, 0},
                           {changed_fds_[0], POLLIN, 0},
                           {wake_fds_[0], POLLIN, 0}};
        const int ready = ::poll(waits, stopping ? 2 : 3, stopping ? kLastBytesMs : -1);
        if (ready < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (ready == 0) return false;  // stopping, and the sender is not done
        if (waits[1].revents) DrainChanges();
        if (!stopping && waits[2].revents) {
            stopping = true;
            continue;
        }
        if (!waits[0].revents) continue;
        const ssize_t n = ::read(connection, buffer, sizeof buffer);
        if (n == 0) {
            if (CurrentFault() == Fault::None) job->append(requests.Flush());
            return true;
        }
        if (n < 0) {
            if (errno == EINTR || errno == EAGAIN) continue;
            qWarning().noquote() << "printer listener: connection lost mid-job:" << SystemError();
            return true;  // keep what came: it is what a printer would have printed
        }
        QByteArray data;
        std::vector<char> asked;
        requests.Feed(buffer, static_cast<std::size_t>(n), &data, &asked);
        if (CurrentFault() == Fault::None) job->append(data);
        Answer(connection, asked);
    }
}

// One status byte per request, in the order asked, unless the printer has no
// status support. A sender that has gone away gets nothing: no signal, no error.
void PrinterListener::Answer(int connection, const std::vector<char>& asked) {
    if (asked.empty() || !AnswersStatus()) return;
    const Fault fault = CurrentFault();
    QByteArray answer;
    const int fixed = status_answer_.load();
    for (const char n : asked) answer.append(fixed >= 0 ? static_cast<char>(fixed) : StatusByte(fault, n));
    if (::send(connection, answer.constData(), static_cast<std::size_t>(answer.size()), MSG_NOSIGNAL) !=
        answer.size())
        qDebug().noquote() << "printer listener: status answer not delivered:" << SystemError();
}

void PrinterListener::Record(QByteArray job) {
    if (on_job_) on_job_(job);
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        jobs_.push_back(std::move(job));
    }
    arrived_.notify_all();
}

std::vector<QByteArray> PrinterListener::Jobs() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return jobs_;
}

bool PrinterListener::WaitForJobs(std::size_t count, std::chrono::milliseconds limit) const {
    std::unique_lock<std::mutex> lock(mutex_);
    return arrived_.wait_for(lock, limit, [&] { return jobs_.size() >= count; });
}

}  // namespace printerlistener
