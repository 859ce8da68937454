// The delay proxy between a client and a stand-in server that sends back
// every byte it gets: bytes reach both ends whole and in order, also when
// the delay is made shorter with chunks still held; a server's last words
// reach the client before its close; and the round trips a client's packets
// make are counted, one per command, however the bytes are cut up; and,
// on the tests' server (PEDIDOS_TEST_DB_HOST, which offers TLS), a client
// that encrypts when offered: plain through a proxy that strips the offer,
// encrypted through one that passes it, its turns counted either way.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <QString>
#include <random>
#include <thread>

#include "runtime/configuration.h"
#include "support/bare_client.h"
#include "tls_test_server.h"
#include "support/delay_proxy.h"
#include "support/mysql_packets.h"

namespace {

using namespace std::chrono_literals;

sockaddr_in Loopback(int port) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<uint16_t>(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return a;
}

// Sends back what it gets, one client at a time; with `closeAfter`, closes
// a client once that many bytes went back.
class EchoServer {
public:
    explicit EchoServer(std::size_t closeAfter = 0) : closeAfter_(closeAfter) {
        sockaddr_in a = Loopback(0);
        socklen_t length = sizeof a;
        bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a);
        listen(fd_, 4);
        getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &length);
        port_ = ntohs(a.sin_port);
        thread_ = std::thread([this] { Serve(); });
    }
    ~EchoServer() {
        shutdown(fd_, SHUT_RDWR);
        close(fd_);
        thread_.join();
    }
    int Port() const { return port_; }

private:
    void Serve() {
        for (int client; (client = accept(fd_, nullptr, nullptr)) >= 0; close(client)) {
            char buffer[8192];
            std::size_t echoed = 0;
            for (ssize_t n; (n = recv(client, buffer, sizeof buffer, 0)) > 0;) {
                send(client, buffer, static_cast<std::size_t>(n), MSG_NOSIGNAL);
                echoed += static_cast<std::size_t>(n);
                if (closeAfter_ > 0 && echoed >= closeAfter_) break;
            }
        }
    }
    int fd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    int port_ = 0;
    std::size_t closeAfter_;
    std::thread thread_;
};

int Connect(int port) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    timeval limit{10, 0};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    const sockaddr_in a = Loopback(port);
    return connect(fd, reinterpret_cast<const sockaddr*>(&a), sizeof a) == 0 ? fd : -1;
}

// Reads until `n` bytes came or the stream ended.
std::string Read(int fd, std::size_t n) {
    std::string out(n, '\0');
    std::size_t got = 0;
    for (ssize_t r; got < n && (r = recv(fd, out.data() + got, n - got, 0)) > 0;) got += static_cast<std::size_t>(r);
    out.resize(got);
    return out;
}

void Send(int fd, const std::string& bytes) {
    ASSERT_EQ(send(fd, bytes.data(), bytes.size(), 0), ssize_t(bytes.size()));
}

class DelayProxyTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(proxy.Start(&error)) << error;
        client = Connect(proxy.ListenPort());
        ASSERT_GE(client, 0);
    }
    void TearDown() override { close(client); }
    EchoServer server;
    bench::DelayProxy proxy{"127.0.0.1", 0, "127.0.0.1", server.Port(), bench::TlsPassage::Pass};
    int client = -1;
};

TEST_F(DelayProxyTest, BytesArriveWholeAndInOrderBothWays) {
    proxy.SetOneWayDelay(2ms);
    std::mt19937 random(7);
    std::string sent;
    for (int chunk = 0; chunk < 300; ++chunk) {
        const std::size_t size = 1 + random() % 20000;
        for (std::size_t i = 0; i < size; ++i) sent += static_cast<char>(random());
    }
    // Written in pieces of every size while the echo comes back.
    std::thread writer([&] {
        std::mt19937 pieces(11);
        for (std::size_t at = 0; at < sent.size();) {
            const std::size_t n = std::min<std::size_t>(1 + pieces() % 30000, sent.size() - at);
            Send(client, sent.substr(at, n));
            at += n;
        }
    });
    const std::string echoed = Read(client, sent.size());
    writer.join();
    EXPECT_EQ(echoed.size(), sent.size());
    EXPECT_TRUE(echoed == sent) << "the bytes came back changed or out of order";
}

TEST_F(DelayProxyTest, AShorterDelayNeverOvertakesWhatIsHeld) {
    proxy.SetOneWayDelay(300ms);
    Send(client, "first ");
    std::this_thread::sleep_for(20ms);
    proxy.SetOneWayDelay(0ms);
    Send(client, "second");
    EXPECT_EQ(Read(client, 12), "first second");
}

TEST(DelayProxy, TheServersLastWordsReachTheClientBeforeItsClose) {
    EchoServer server(5);
    bench::DelayProxy proxy("127.0.0.1", 0, "127.0.0.1", server.Port(), bench::TlsPassage::Pass);
    std::string error;
    ASSERT_TRUE(proxy.Start(&error)) << error;
    proxy.SetOneWayDelay(50ms);
    const int client = Connect(proxy.ListenPort());
    Send(client, "adios");
    EXPECT_EQ(Read(client, 5), "adios");
    char more;
    EXPECT_EQ(recv(client, &more, 1, 0), 0) << "then the stream ends";
    close(client);
}

std::string Packet(std::string_view payload, unsigned char sequence) {
    const std::size_t n = payload.size();
    return std::string{static_cast<char>(n & 0xff), static_cast<char>((n >> 8) & 0xff),
                       static_cast<char>((n >> 16) & 0xff), static_cast<char>(sequence)} +
           std::string(payload);
}

TEST_F(DelayProxyTest, CountsTheLogInAndEachCommandAsOneRoundTrip) {
    // The log-in answer and an extra authentication step, then three
    // commands: one query, one of several statements, one cut into bytes
    // sent one at a time; COM_QUIT is no round trip (nothing answers it).
    const std::string whole = Packet("user and password", 1) + Packet("auth switch answer", 3) +
                              bench::QueryPacket("select 1") +
                              bench::QueryPacket("insert into a values (1); insert into b values (2); COMMIT");
    const std::string cut = bench::QueryPacket("select * from mantenimiento"), quit = Packet("\x01", 0);
    Send(client, whole);
    for (char c : cut) Send(client, std::string(1, c));
    Send(client, quit);
    // Back from the server: the proxy has seen every byte.
    ASSERT_EQ(Read(client, whole.size() + cut.size() + quit.size()), whole + cut + quit);
    const bench::DelayCounts counts = proxy.Counts();
    EXPECT_EQ(counts.connections, 1);
    EXPECT_EQ(counts.logInPackets, 2);
    EXPECT_EQ(counts.commands, 3);
    EXPECT_EQ(bench::RoundTrips(counts), 5.5);

    proxy.ResetCounts();
    // After a command, a packet with another sequence number is no log-in any more.
    const std::string more = Packet("x", 1) + bench::QueryPacket("select 2");
    Send(client, more);
    ASSERT_EQ(Read(client, more.size()), more);
    EXPECT_EQ(proxy.Counts().commands, 1);
    EXPECT_EQ(proxy.Counts().logInPackets, 0);
    EXPECT_EQ(proxy.Counts().connections, 0);
}

// A log-in and three queries of a client that asks for TLS when offered,
// through the proxy (one-way delay 5 ms, so that what the server says
// unasked after the TLS handshake reaches the proxy after the client's
// log-in), then its close (COM_QUIT is one more turn: the client speaks
// after the server's last answer). Plain: greeting, log-in answer, three
// queries, quit. TLS: greeting, SSL request with the TLS hello, the end of
// the TLS handshake with the log-in answer, three queries, quit. The delay
// orders those bytes only on a machine that keeps up: a loaded one may let
// the server's unasked bytes through before the log-in, one turn more.
TEST(DelayProxyOnAServer, CountsTurnsOfPlainAndEncryptedSessions) {
    const QString host = campaigntest::TlsOfferingServer(QStringLiteral("delay_proxy_turns"));
    if (host.isEmpty()) return;

    struct Case {
        bench::TlsPassage passage;
        bool encrypted;
        int turns;
        int turnsLoaded;
    };
    for (const Case c : {Case{bench::TlsPassage::Strip, false, 5, 5}, Case{bench::TlsPassage::Pass, true, 6, 7}}) {
        const bool strip = c.passage == bench::TlsPassage::Strip;
        SCOPED_TRACE(strip ? "strip" : "pass");
        bench::DelayProxy proxy("127.0.0.1", 0, host.toStdString(), 3306, c.passage);
        std::string error;
        ASSERT_TRUE(proxy.Start(&error)) << error;
        proxy.SetOneWayDelay(5ms);
        bench::BareClient client;
        client.SetTlsWhenOffered(true);
        client.Connect(rt::BuildConnectionString(QStringLiteral("delay_proxy_turns"), QStringLiteral("127.0.0.1"))
                           .replace(QStringLiteral("PORT=3306;"),
                                    QStringLiteral("PORT=%1;").arg(proxy.ListenPort())));
        EXPECT_EQ(!client.Cipher().isEmpty(), c.encrypted) << client.Cipher().toStdString();
        for (int i = 0; i < 3; ++i) EXPECT_EQ(client.Value(QStringLiteral("select %1").arg(i)), QString::number(i));
        client.Close();
        // The quit reaches the proxy after the client closed: wait for it to be counted.
        for (int i = 0; i < 200 && proxy.Counts().turns < c.turns; ++i) std::this_thread::sleep_for(5ms);
        const bench::DelayCounts counts = proxy.Counts();
        EXPECT_EQ(counts.encrypted, c.encrypted ? 1 : 0);
        EXPECT_TRUE(counts.turns == c.turns || counts.turns == c.turnsLoaded) << counts.turns;
        // Plain: the packets tell the same round trips (the quit is none).
        if (strip) {
            EXPECT_EQ(bench::RoundTrips(counts), bench::RoundTripsByTurns(counts) - 1);
        }
    }
}

}  // namespace
