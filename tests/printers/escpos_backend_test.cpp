// The escpos backend for real: jobs through the private scheduler's queue
// "Parrilla" (escpos://PEDIDOS_TEST_PRINTER_HOST:9102) to the stand-in
// printer, which is put out of paper, its cover opened or taken offline.
// Without that scheduler these tests fail; they never skip.
#include <gtest/gtest.h>

#include <QProcess>
#include <QThread>
#include <functional>

#include "printer_listener.h"
#include "printers/cups_connection.h"
#include "printers/cups_printing.h"
#include "sending/cups_queue_probe.h"
#include "sending/escpos.h"
#include "sending/print_test_helpers.h"

namespace {

using namespace std::chrono_literals;
using printerlistener::Fault;
using printerlistener::PrinterListener;

const QString kQueue = QStringLiteral("Parrilla");
constexpr quint16 kPort = 9102;
// Generous bounds for what takes a few seconds: the backend asks again every 1.5 s.
constexpr auto kLimit = 60s;

QByteArray Ticket(const QString& dish) {
    return sending::EscPosBytes(sendingtest::SampleTicket(QStringLiteral("Parrilla"), {dish}));
}

class EscPosBackend : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(sendingtest::TestCupsServer().isEmpty())
            << "CUPS_SERVER is not set: run the tests with the private CUPS of scripts/test";
        QString error;
        ASSERT_TRUE(sendingtest::PurgeJobs(kQueue, &error)) << error.toStdString();
        ASSERT_TRUE(listener_.Start(sendingtest::TestPrinterHost(), kPort, &error)) << error.toStdString();
    }
    void TearDown() override {
        QString ignored;
        sendingtest::PurgeJobs(kQueue, &ignored);
    }

    // Queues `ticket` on `queue`; the job's id.
    int Print(const QString& queue, const QByteArray& ticket) {
        QString error;
        const auto cups = printers::CupsConnection::Open(sendingtest::TestCupsServer(), 10s, &error);
        EXPECT_TRUE(cups) << error.toStdString();
        if (!cups) return 0;
        const int job = cups->SendJob(queue, QStringLiteral("comanda"), CUPS_FORMAT_RAW, ticket, &error);
        EXPECT_GT(job, 0) << error.toStdString();
        return job;
    }

    static bool WaitFor(const std::function<bool()>& done) {
        const auto deadline = std::chrono::steady_clock::now() + kLimit;
        while (std::chrono::steady_clock::now() < deadline) {
            if (done()) return true;
            QThread::msleep(100);
        }
        return false;
    }

    static sendingtest::QueueJob Job(const QString& queue, int job) {
        QString error;
        const sendingtest::QueueJob state = sendingtest::FindJob(queue, job, &error);
        EXPECT_EQ(state.id, job) << error.toStdString();
        return state;
    }
    static bool Completed(const QString& queue, int job) {
        return Job(queue, job).state == IPP_JSTATE_COMPLETED;
    }
    static QStringList Reasons() {
        const sending::QueueState queue = printers::CupsPrintingSystem(sendingtest::TestCupsServer()).AskQueue(kQueue);
        EXPECT_TRUE(queue.answered) << queue.error.toStdString();
        return queue.reasons;
    }

    // One job printed with the printer fine: it completes, on paper once.
    void PrintNormally(const QByteArray& ticket) {
        const std::size_t before = listener_.Jobs().size();
        const int job = Print(kQueue, ticket);
        ASSERT_TRUE(WaitFor([&] { return Completed(kQueue, job); })) << "job " << job << " never completed";
        ASSERT_TRUE(listener_.WaitForJobs(before + 1, kLimit));
        EXPECT_EQ(listener_.Jobs().size(), before + 1);
        EXPECT_EQ(listener_.Jobs().back().toHex(), ticket.toHex());
    }

    PrinterListener listener_;
};

TEST_F(EscPosBackend, AJobWithThePrinterFineCompletesOnPaperOnce) {
    PrintNormally(Ticket(QStringLiteral("1 Entrecot")));
    PrintNormally(Ticket(QStringLiteral("2 Chuletas")));
    EXPECT_TRUE(Reasons().filter(QStringLiteral("offline")).isEmpty()) << Reasons().join(' ').toStdString();
}

// While the fault holds the job stays processing, the queue shows the fault's
// reason and nothing reaches paper; once the printer is fine again the job
// completes and is on paper exactly once.
TEST_F(EscPosBackend, AFaultHoldsTheJobUntilThePrinterIsFine) {
    // Offline is told from a printer without status only once it has answered.
    PrintNormally(Ticket(QStringLiteral("0 Pan")));
    struct Case {
        Fault fault;
        const char* reason;
        const char* message;
    };
    const Case cases[] = {
        {Fault::PaperOut, "media-empty", "Sin papel"},
        {Fault::CoverOpen, "door-open", "Tapa abierta"},
        {Fault::Offline, "offline-report", "Fuera de línea"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reason);
        const std::size_t on_paper = listener_.Jobs().size();
        listener_.SetFault(c.fault);
        const QByteArray ticket = Ticket(QString::fromUtf8(c.reason));
        const int job = Print(kQueue, ticket);
        ASSERT_TRUE(WaitFor([&] { return Reasons().contains(QLatin1String(c.reason)); }))
            << "reasons: " << Reasons().join(' ').toStdString();
        const sendingtest::QueueJob held = Job(kQueue, job);
        EXPECT_EQ(held.state, IPP_JSTATE_PROCESSING);
        EXPECT_TRUE(held.printer_message.startsWith(QString::fromUtf8(c.message)))
            << held.printer_message.toStdString();
        EXPECT_EQ(listener_.Jobs().size(), on_paper) << "printed while faulty";

        listener_.SetFault(Fault::None);
        ASSERT_TRUE(WaitFor([&] { return Completed(kQueue, job); })) << "job " << job << " never completed";
        ASSERT_TRUE(listener_.WaitForJobs(on_paper + 1, kLimit));
        EXPECT_EQ(listener_.Jobs().size(), on_paper + 1);
        EXPECT_EQ(listener_.Jobs().back().toHex(), ticket.toHex());
        EXPECT_FALSE(Reasons().contains(QLatin1String(c.reason))) << Reasons().join(' ').toStdString();
    }
}

// A printer that has never answered a status request prints as a plain
// socket printer, and the job says so. Its own queue and port: "Parrilla"'s
// printer has answered before.
TEST_F(EscPosBackend, APrinterWithoutStatusPrintsUnchecked) {
    const QString queue = QStringLiteral("ParrillaSinEstado");
    constexpr quint16 port = 9103;
    const QString uri = QStringLiteral("escpos://%1:%2").arg(sendingtest::TestPrinterHost()).arg(port);
    ASSERT_EQ(QProcess::execute(QStringLiteral("lpadmin"),
                                {QStringLiteral("-p"), queue, QStringLiteral("-v"), uri, QStringLiteral("-E")}),
              0);
    PrinterListener silent;
    silent.SetAnswersStatus(false);
    QString error;
    ASSERT_TRUE(silent.Start(sendingtest::TestPrinterHost(), port, &error)) << error.toStdString();
    const QByteArray ticket = Ticket(QStringLiteral("3 Morcillas"));
    const int job = Print(queue, ticket);
    const bool completed = WaitFor([&] { return Completed(queue, job); });
    const sendingtest::QueueJob state = Job(queue, job);
    QProcess::execute(QStringLiteral("lpadmin"), {QStringLiteral("-x"), queue});
    ASSERT_TRUE(completed) << "job " << job << ": " << state.printer_message.toStdString();
    EXPECT_TRUE(state.printer_message.contains(QStringLiteral("sin estado"))) << state.printer_message.toStdString();
    ASSERT_TRUE(silent.WaitForJobs(1, kLimit));
    EXPECT_EQ(silent.Jobs().size(), 1u);
    EXPECT_EQ(silent.Jobs().front().toHex(), ticket.toHex());
}

// A printer that has answered before and now answers every status request
// with 0x00: it is there, so it is printed to unchecked, each job once, and
// the job says why; never a queue waiting on a printer "que no responde".
TEST_F(EscPosBackend, APrinterWhoseAnswersAreNoStatusPrintsUncheckedEveryJob) {
    PrintNormally(Ticket(QStringLiteral("0 Pan")));
    listener_.SetStatusAnswer(0x00);
    for (const QString& dish : {QStringLiteral("4 Pinchos"), QStringLiteral("5 Chorizos")}) {
        SCOPED_TRACE(dish.toStdString());
        const std::size_t on_paper = listener_.Jobs().size();
        const QByteArray ticket = Ticket(dish);
        const int job = Print(kQueue, ticket);
        const bool completed = WaitFor([&] { return Completed(kQueue, job); });
        const sendingtest::QueueJob state = Job(kQueue, job);
        ASSERT_TRUE(completed) << "job " << job << ": " << state.printer_message.toStdString();
        EXPECT_TRUE(state.printer_message.contains(QStringLiteral("no se entienden")))
            << state.printer_message.toStdString();
        ASSERT_TRUE(listener_.WaitForJobs(on_paper + 1, kLimit));
        EXPECT_EQ(listener_.Jobs().size(), on_paper + 1);
        EXPECT_EQ(listener_.Jobs().back().toHex(), ticket.toHex());
    }
}

}  // namespace
