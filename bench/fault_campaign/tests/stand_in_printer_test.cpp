// The campaign's stand-in kitchen printer switched off: a job its sender
// has sent whole is kept, also when its connection was still waiting to be
// taken; its sender takes it as printed.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QThread>
#include <thread>

#include "printer_listener.h"

namespace {

// A client connection to 127.0.0.1:`port`; -1 when refused.
int ConnectTo(quint16 port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    ::inet_pton(AF_INET, "127.0.0.1", &a.sin_addr);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0) return fd;
    ::close(fd);
    return -1;
}

bool Send(int fd, const QByteArray& bytes) { return ::write(fd, bytes.constData(), static_cast<size_t>(bytes.size())) == bytes.size(); }

TEST(StandInPrinter, JobsSentWholeWhenSwitchedOffAreKeptEvenIfNotTakenYet) {
    printerlistener::PrinterListener printer;
    QString error;
    quint16 port = 0;
    for (quint16 p = 29170; p < 29190 && port == 0; ++p)
        if (printer.Start(QStringLiteral("127.0.0.1"), p, &error)) port = p;
    ASSERT_NE(port, 0) << qPrintable(error);
    // The printer is reading the first job when the second sender connects
    // and sends all of its own: that one waits in the port's queue.
    const int first = ConnectTo(port), second = ConnectTo(port);
    ASSERT_GE(first, 0);
    ASSERT_GE(second, 0);
    ASSERT_TRUE(Send(first, "first, "));
    QThread::msleep(100);
    ASSERT_TRUE(Send(second, "second job"));
    ::shutdown(second, SHUT_WR);
    std::thread off([&] { printer.Stop(); });
    QThread::msleep(50);
    ASSERT_TRUE(Send(first, "end"));
    ::shutdown(first, SHUT_WR);  // done within the moment a stopping printer waits
    off.join();
    ::close(first);
    ::close(second);
    const std::vector<QByteArray> jobs = printer.Jobs();
    ASSERT_EQ(jobs.size(), 2u);
    EXPECT_EQ(jobs[0], QByteArray("first, end"));
    EXPECT_EQ(jobs[1], QByteArray("second job")) << "the job waiting to be taken";
    EXPECT_LT(ConnectTo(port), 0) << "switched off, the printer refuses new jobs";
}

}  // namespace
