// The stand-in ESC/POS printer over TCP: its status answers in each fault,
// what it keeps, and being switched off and on.
#include "printer_listener.h"

#include <gtest/gtest.h>

#include "printers/listener_client.h"
#include "sending/cups_queue_probe.h"
#include "sending/escpos.h"
#include "sending/print_test_helpers.h"

namespace {

using namespace std::chrono_literals;
using printerlistener::Fault;
using printerlistener::PrinterListener;
using printerstest::ListenerClient;
using printerstest::StatusRequest;

constexpr quint16 kPort = 9110;
constexpr auto kAnswer = 10s;  // generous: the printer answers at once

QByteArray Ticket() {
    return sending::EscPosBytes(sendingtest::SampleTicket(QStringLiteral("Parrilla"),
                                                          {QStringLiteral("1 Entrecot"), QStringLiteral("2 Chorizo")}));
}

QByteArray AskAll() {
    return StatusRequest(1) + StatusRequest(2) + StatusRequest(4);
}

class StandInPrinter : public ::testing::Test {
protected:
    void SetUp() override {
        QString error;
        ASSERT_TRUE(listener_.Start(sendingtest::TestPrinterHost(), kPort, &error)) << error.toStdString();
    }
    void Connect(ListenerClient& client) {
        QString error;
        ASSERT_TRUE(client.Connect(sendingtest::TestPrinterHost(), kPort, &error)) << error.toStdString();
    }
    PrinterListener listener_;
};

TEST_F(StandInPrinter, AnswersEachStatusRequestForItsFaultAtOnce) {
    struct Case {
        Fault fault;
        QByteArray answers;  // to DLE EOT 1, 2, 4
    };
    const Case cases[] = {
        {Fault::None, QByteArray("\x12\x12\x12")},
        {Fault::PaperOut, QByteArray("\x1A\x32\x7E")},
        {Fault::CoverOpen, QByteArray("\x1A\x16\x12")},
        {Fault::None, QByteArray("\x12\x12\x12")},
    };
    // One connection throughout: a change of fault holds on a connection in progress.
    ListenerClient client;
    Connect(client);
    for (const Case& c : cases) {
        listener_.SetFault(c.fault);
        EXPECT_EQ(listener_.CurrentFault(), c.fault);
        ASSERT_TRUE(client.Send(AskAll()));
        EXPECT_EQ(client.Read(3, kAnswer).toHex(), c.answers.toHex()) << int(c.fault);
    }
    EXPECT_TRUE(client.Finish(kAnswer).isEmpty());
    // Only status requests: no job.
    ListenerClient next;
    Connect(next);
    ASSERT_TRUE(next.Send("x"));
    next.Finish(kAnswer);
    ASSERT_TRUE(listener_.WaitForJobs(1, kAnswer));
    EXPECT_EQ(listener_.Jobs(), std::vector<QByteArray>{"x"});
}

TEST_F(StandInPrinter, StatusRequestsAreNeverPartOfTheJob) {
    ListenerClient client;
    Connect(client);
    const QByteArray ticket = Ticket();
    // Before, inside and after the ticket, as a backend asks.
    ASSERT_TRUE(client.Send(AskAll()));
    EXPECT_EQ(client.Read(3, kAnswer).size(), 3);
    ASSERT_TRUE(client.Send(ticket.left(10) + StatusRequest(2) + ticket.mid(10) + AskAll()));
    EXPECT_EQ(client.Read(4, kAnswer).toHex(), QByteArray("\x12\x12\x12\x12").toHex());
    client.Finish(kAnswer);
    ASSERT_TRUE(listener_.WaitForJobs(1, kAnswer));
    EXPECT_EQ(listener_.Jobs().front().toHex(), ticket.toHex());
}

TEST_F(StandInPrinter, KeepsNothingWhileOutOfPaperOrWithItsCoverOpen) {
    for (const Fault fault : {Fault::PaperOut, Fault::CoverOpen}) {
        listener_.SetFault(fault);
        ListenerClient client;
        Connect(client);
        ASSERT_TRUE(client.Send(Ticket() + StatusRequest(1)));
        // The answer comes after the ticket was read (and thrown away).
        EXPECT_EQ(client.Read(1, kAnswer).toHex(), QByteArray("\x1A").toHex()) << int(fault);
        client.Finish(kAnswer);
    }
    // Paper runs out in the middle of a ticket: the part before it is printed.
    listener_.SetFault(Fault::None);
    ListenerClient client;
    Connect(client);
    ASSERT_TRUE(client.Send("first half" + StatusRequest(1)));
    EXPECT_EQ(client.Read(1, kAnswer).toHex(), QByteArray("\x12").toHex());
    listener_.SetFault(Fault::PaperOut);
    ASSERT_TRUE(client.Send("second half" + StatusRequest(1)));
    EXPECT_EQ(client.Read(1, kAnswer).toHex(), QByteArray("\x1A").toHex());
    client.Finish(kAnswer);
    ASSERT_TRUE(listener_.WaitForJobs(1, kAnswer));
    EXPECT_EQ(listener_.Jobs(), std::vector<QByteArray>{"first half"});
}

TEST_F(StandInPrinter, OfflineReadsNothingUntilBackToNormal) {
    listener_.SetFault(Fault::Offline);
    ListenerClient client;
    Connect(client);
    ASSERT_TRUE(client.Send(Ticket() + StatusRequest(1)));
    EXPECT_TRUE(client.Read(1, 500ms).isEmpty()) << "an offline printer answered";
    EXPECT_TRUE(listener_.Jobs().empty());
    listener_.SetFault(Fault::None);
    EXPECT_EQ(client.Read(1, kAnswer).toHex(), QByteArray("\x12").toHex());
    client.Finish(kAnswer);
    ASSERT_TRUE(listener_.WaitForJobs(1, kAnswer));
    EXPECT_EQ(listener_.Jobs().front().toHex(), Ticket().toHex());
}

TEST_F(StandInPrinter, WithoutStatusSupportItAnswersNothingAndStillDropsTheRequests) {
    listener_.SetAnswersStatus(false);
    EXPECT_FALSE(listener_.AnswersStatus());
    ListenerClient client;
    Connect(client);
    ASSERT_TRUE(client.Send(AskAll() + Ticket() + AskAll()));
    // Read to the printer's close: nothing came back.
    EXPECT_TRUE(client.Finish(kAnswer).isEmpty());
    ASSERT_TRUE(listener_.WaitForJobs(1, kAnswer));
    EXPECT_EQ(listener_.Jobs().front().toHex(), Ticket().toHex());
}

TEST_F(StandInPrinter, StartsAgainAfterStop) {
    listener_.Stop();
    EXPECT_FALSE(listener_.Listening());
    ListenerClient refused;
    QString error;
    EXPECT_FALSE(refused.Connect(sendingtest::TestPrinterHost(), kPort, &error));
    ASSERT_TRUE(listener_.Start(sendingtest::TestPrinterHost(), kPort, &error)) << error.toStdString();
    ListenerClient client;
    Connect(client);
    ASSERT_TRUE(client.Send("again"));
    client.Finish(kAnswer);
    ASSERT_TRUE(listener_.WaitForJobs(1, kAnswer));
    EXPECT_EQ(listener_.Jobs(), std::vector<QByteArray>{"again"});
}

// Requests cut across reads anywhere are still requests; what only looks
// like the start of one is data.
TEST(StatusRequests, FoundWhereverTheReadsCutThem) {
    struct Case {
        QByteArray sent, data, asked;
    };
    const Case cases[] = {
        {QByteArray("ab\x10\x04\x01" "cd"), "abcd", "\x01"},
        {QByteArray("\x10\x10\x04\x02"), "\x10", "\x02"},
        {QByteArray("\x10\x04\x03x"), QByteArray("\x10\x04\x03x"), ""},
        {QByteArray("\x1B!\x10\x0A\x10\x04\x04"), QByteArray("\x1B!\x10\x0A"), "\x04"},
        {QByteArray("z\x10\x04"), QByteArray("z\x10\x04"), ""},  // cut off at the end: data
        {QByteArray("\x10\x04\x10\x04\x01"), QByteArray("\x10\x04"), "\x01"},
    };
    for (const Case& c : cases) {
        for (int chunk = 1; chunk <= c.sent.size(); ++chunk) {
            SCOPED_TRACE(testing::Message() << c.sent.toHex().constData() << " in reads of " << chunk);
            printerlistener::StatusRequests requests;
            QByteArray data;
            std::vector<char> asked;
            for (int at = 0; at < c.sent.size(); at += chunk)
                requests.Feed(c.sent.constData() + at, std::min<int>(chunk, c.sent.size() - at), &data, &asked);
            data += requests.Flush();
            EXPECT_EQ(data.toHex(), c.data.toHex());
            EXPECT_EQ(QByteArray(asked.data(), static_cast<int>(asked.size())).toHex(), c.asked.toHex());
        }
    }
}

}  // namespace
