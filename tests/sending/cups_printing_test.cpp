// The CUPS printing system against the private scheduler of scripts/test:
// its queues "Cocina" (raw, to the stand-in printer on PEDIDOS_TEST_PRINTER_HOST:9100),
// "Oficina" (a driver that passes PDF on, to :9101) and "Rechaza" (refuses jobs).
// Without that scheduler these tests fail; they never skip.
#include "printers/cups_printing.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <chrono>
#include <cstring>

#include "printer_listener.h"
#include "printers/cups_connection.h"
#include "sending/cups_queue_probe.h"
#include "sending/escpos.h"
#include "sending/print_test_helpers.h"

namespace {

using namespace std::chrono_literals;
using printerlistener::PrinterListener;
using printers::CupsPrintingSystem;
using sendingtest::SampleTicket;

// Generous: CUPS's socket backend waits 5 s before its first retry.
constexpr auto kJobArrives = 90s;

class CupsPrinting : public ::testing::Test {
protected:
    void SetUp() override {
        server_ = sendingtest::TestCupsServer();
        ASSERT_FALSE(server_.isEmpty()) << "CUPS_SERVER is not set: run the tests through "
                                           "scripts/test, which starts the private CUPS";
        for (const char* queue : {"Cocina", "Oficina"}) {
            QString error;
            ASSERT_TRUE(sendingtest::PurgeJobs(QString::fromLatin1(queue), &error))
                << "private CUPS at " << server_.toStdString()
                << " unusable: " << error.toStdString();
        }
        StartListener(kitchen_, 9100);
        StartListener(office_, 9101);
    }
    void TearDown() override {
        QString ignored;
        sendingtest::PurgeJobs(QStringLiteral("Cocina"), &ignored);
        sendingtest::PurgeJobs(QStringLiteral("Oficina"), &ignored);
    }

    void StartListener(PrinterListener& listener, quint16 port) {
        QString error;
        ASSERT_TRUE(listener.Start(sendingtest::TestPrinterHost(), port, &error))
            << error.toStdString();
    }

    // Polls the jobs of `queue` until one still printing carries a message
    // from the backend (it tried the device and could not reach it).
    bool WaitForBackendTrouble(const QString& queue) {
        const auto deadline = std::chrono::steady_clock::now() + 30s;
        while (std::chrono::steady_clock::now() < deadline) {
            std::vector<sendingtest::QueueJob> jobs;
            QString error;
            if (!sendingtest::QueueJobs(queue, &jobs, &error)) {
                ADD_FAILURE() << error.toStdString();
                return false;
            }
            for (const auto& job : jobs)
                if (job.active && !job.printer_message.isEmpty()) return true;
            QThread::msleep(100);
        }
        return false;
    }

    QString server_;
    PrinterListener kitchen_;
    PrinterListener office_;
    CupsPrintingSystem cups_;  // the machine's default scheduler: CUPS_SERVER
};

TEST_F(CupsPrinting, ListsTheSchedulersQueuesInItsOwnOrder) {
    const sending::PrinterList list = cups_.InstalledPrinters();
    ASSERT_TRUE(list.ok) << list.error.toStdString();
    EXPECT_TRUE(list.error.isEmpty());
    QProcess lpstat;
    lpstat.start(QStringLiteral("lpstat"), {QStringLiteral("-e")});
    ASSERT_TRUE(lpstat.waitForFinished(20000)) << "lpstat -e did not finish";
    const QStringList from_lpstat = QString::fromUtf8(lpstat.readAllStandardOutput())
                                        .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    EXPECT_EQ(list.printers, from_lpstat);
    EXPECT_TRUE(list.printers.contains(QStringLiteral("Cocina")))
        << list.printers.join(u',').toStdString();
    EXPECT_TRUE(list.printers.contains(QStringLiteral("Oficina")));
    EXPECT_TRUE(list.printers.contains(QStringLiteral("Rechaza")));
}

TEST_F(CupsPrinting, RawQueueGetsEachTicketAsItsEscPosBytesOneJobPerTicketInOrder) {
    const std::vector<sending::Ticket> tickets = {
        SampleTicket(QStringLiteral("ASISTENTE"), {QStringLiteral("Ñoquis a la crema"),
                                                   QStringLiteral("Término: 3/4, 65°")}),
        SampleTicket(QStringLiteral("CHEF"), {QStringLiteral("Pabellón criollo")}),
        SampleTicket(QStringLiteral("BARRA"), {QStringLiteral("Café")}),
    };
    for (const auto& ticket : tickets) {
        const sending::JobResult sent = cups_.PrintTicket(QStringLiteral("Cocina"), ticket);
        ASSERT_TRUE(sent.ok) << sent.error.toStdString();
    }
    ASSERT_TRUE(kitchen_.WaitForJobs(tickets.size(), kJobArrives))
        << "the kitchen printer got " << kitchen_.Jobs().size() << " of " << tickets.size()
        << " jobs";
    const std::vector<QByteArray> jobs = kitchen_.Jobs();
    ASSERT_EQ(jobs.size(), tickets.size());
    for (std::size_t i = 0; i < tickets.size(); ++i)
        EXPECT_EQ(jobs[i], sending::EscPosBytes(tickets[i])) << "job " << i;
    EXPECT_TRUE(office_.Jobs().empty());

    std::vector<sendingtest::QueueJob> queued;
    QString error;
    ASSERT_TRUE(sendingtest::QueueJobs(QStringLiteral("Cocina"), &queued, &error))
        << error.toStdString();
    QStringList titles;
    for (const auto& job : queued) titles << job.title;
    EXPECT_EQ(titles, (QStringList{"Comanda ASISTENTE", "Comanda CHEF", "Comanda BARRA"}));
}

TEST_F(CupsPrinting, QueueThatRefusesJobsIsAFailureWithTheSchedulersReason) {
    const sending::JobResult sent =
        cups_.PrintTicket(QStringLiteral("Rechaza"), SampleTicket(QStringLiteral("ASISTENTE"), {}));
    EXPECT_FALSE(sent.ok);
    EXPECT_TRUE(sent.error.contains(QStringLiteral("Rechaza"))) << sent.error.toStdString();
    // The scheduler's own reason follows ours, and it is a real one.
    const QString reason = sent.error.section(QStringLiteral("\": "), -1);
    EXPECT_FALSE(reason.isEmpty()) << sent.error.toStdString();
    EXPECT_NE(reason, QStringLiteral("no hubo respuesta a tiempo"));
    EXPECT_FALSE(reason.contains(QStringLiteral("no aceptó"))) << sent.error.toStdString();
    EXPECT_FALSE(sent.sinRespuesta);
}

TEST_F(CupsPrinting, AClassOfRawKitchenPrintersGetsTheRawBytes) {
    const sending::Ticket ticket = SampleTicket(QStringLiteral("ASISTENTE"), {QStringLiteral("Sopa")});
    const sending::JobResult sent = cups_.PrintTicket(QStringLiteral("Cocinas"), ticket);
    ASSERT_TRUE(sent.ok) << sent.error.toStdString();
    ASSERT_TRUE(kitchen_.WaitForJobs(1, kJobArrives)) << "the class's printer got nothing";
    EXPECT_EQ(kitchen_.Jobs()[0], sending::EscPosBytes(ticket));
}

TEST_F(CupsPrinting, PrinterTheSchedulerDoesNotHaveIsAFailure) {
    const sending::JobResult sent = cups_.PrintTicket(
        QStringLiteral("NoExiste"), SampleTicket(QStringLiteral("ASISTENTE"), {}));
    EXPECT_FALSE(sent.ok);
    EXPECT_TRUE(sent.error.contains(QStringLiteral("NoExiste"))) << sent.error.toStdString();
}

TEST_F(CupsPrinting, TicketForAPrinterThatIsOffIsPrintedWhenItComesBack) {
    kitchen_.Stop();
    const sending::Ticket ticket =
        SampleTicket(QStringLiteral("ASISTENTE"), {QStringLiteral("Arepa de pabellón")});
    const sending::JobResult sent = cups_.PrintTicket(QStringLiteral("Cocina"), ticket);
    ASSERT_TRUE(sent.ok) << "the scheduler keeps the job while the printer is off: "
                         << sent.error.toStdString();
    ASSERT_TRUE(WaitForBackendTrouble(QStringLiteral("Cocina")))
        << "the socket backend never reported the printer unreachable";
    EXPECT_TRUE(kitchen_.Jobs().empty());
    StartListener(kitchen_, 9100);
    ASSERT_TRUE(kitchen_.WaitForJobs(1, kJobArrives)) << "the job never reached the printer again";
    const std::vector<QByteArray> jobs = kitchen_.Jobs();
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_EQ(jobs[0], sending::EscPosBytes(ticket));
}

TEST_F(CupsPrinting, DriverQueueGetsTheTicketDrawnAsAPdfOnThePrintersPage) {
    const sending::JobResult sent = cups_.PrintTicket(
        QStringLiteral("Oficina"),
        SampleTicket(QStringLiteral("ASISTENTE"), {QStringLiteral("Cachapa")}));
    ASSERT_TRUE(sent.ok) << sent.error.toStdString();
    ASSERT_TRUE(office_.WaitForJobs(1, kJobArrives)) << "the driver queue's printer got nothing";
    const QByteArray pdf = office_.Jobs().at(0);
    EXPECT_TRUE(pdf.startsWith("%PDF-")) << pdf.left(40).toStdString();
    EXPECT_TRUE(pdf.trimmed().endsWith("%%EOF"));
    EXPECT_EQ(sendingtest::PdfPages(pdf), 1);
    // The page is the driver's (A5, 420 x 595 points), which QPrinter read from its PPD.
    const QRegularExpressionMatch box =
        QRegularExpression(QStringLiteral("/MediaBox\\s*\\[\\s*0\\s+0\\s+([\\d.]+)\\s+([\\d.]+)"))
            .match(QString::fromLatin1(pdf));
    ASSERT_TRUE(box.hasMatch());
    EXPECT_NEAR(box.captured(1).toDouble(), 419.5, 1.0);
    EXPECT_NEAR(box.captured(2).toDouble(), 595.3, 1.0);
    EXPECT_TRUE(kitchen_.Jobs().empty());
}

TEST(CupsUnreachable, NoSchedulerAtTheSocketIsAFailureNotAnEmptyList) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    CupsPrintingSystem cups(dir.filePath(QStringLiteral("nadie.sock")));
    const sending::PrinterList list = cups.InstalledPrinters();
    EXPECT_FALSE(list.ok);
    EXPECT_TRUE(list.error.contains(QStringLiteral("nadie.sock"))) << list.error.toStdString();
    const sending::JobResult sent =
        cups.PrintTicket(QStringLiteral("Cocina"), SampleTicket(QStringLiteral("ASISTENTE"), {}));
    EXPECT_FALSE(sent.ok);
    EXPECT_FALSE(sent.error.isEmpty());
    EXPECT_TRUE(sent.sinRespuesta);
}

// A socket that takes connections into its backlog and never answers: a
// scheduler that hangs. The printing system gives up at its time limit.
TEST(CupsUnreachable, SchedulerThatNeverAnswersIsAFailureAfterTheTimeLimit) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray path = dir.filePath(QStringLiteral("mudo.sock")).toLocal8Bit();
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un where{};
    where.sun_family = AF_UNIX;
    ASSERT_LT(static_cast<std::size_t>(path.size()), sizeof where.sun_path);
    std::memcpy(where.sun_path, path.constData(), static_cast<std::size_t>(path.size()));
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&where), sizeof where), 0);
    ASSERT_EQ(::listen(fd, 4), 0);

    CupsPrintingSystem cups(QString::fromLocal8Bit(path), 300ms);
    const sending::PrinterList list = cups.InstalledPrinters();
    EXPECT_FALSE(list.ok);
    EXPECT_TRUE(list.error.contains(QStringLiteral("mudo.sock"))) << list.error.toStdString();
    EXPECT_FALSE(list.error.contains(QStringLiteral("Success"))) << list.error.toStdString();
    const sending::JobResult sent =
        cups.PrintTicket(QStringLiteral("Cocina"), SampleTicket(QStringLiteral("ASISTENTE"), {}));
    EXPECT_FALSE(sent.ok);
    EXPECT_TRUE(sent.sinRespuesta) << sent.error.toStdString();
    EXPECT_FALSE(sent.error.contains(QStringLiteral("Success"))) << sent.error.toStdString();
    ::close(fd);
}

TEST(CupsServerAddress, ReadsTheFormsCupsServerTakes) {
    EXPECT_EQ(printers::ParseCupsServer(QStringLiteral("/run/x/cups.sock")).host,
              "/run/x/cups.sock");
    const auto named = printers::ParseCupsServer(QStringLiteral("impresion.local:8631"));
    EXPECT_EQ(named.host, "impresion.local");
    EXPECT_EQ(named.port, 8631);
    const auto v6 = printers::ParseCupsServer(QStringLiteral("[::1]:632/version=1.1"));
    EXPECT_EQ(v6.host, "::1");
    EXPECT_EQ(v6.port, 632);
    const auto bare = printers::ParseCupsServer(QStringLiteral("servidor"));
    EXPECT_EQ(bare.host, "servidor");
    EXPECT_EQ(bare.port, ippPort());
}

}  // namespace
