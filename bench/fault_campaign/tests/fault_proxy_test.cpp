// The fault proxy between a client and a stand-in server that answers each
// packet with "ok:" and its text: what goes through unchanged, what a cut
// before or after a statement does on both sides, a stall that holds one
// connection and not the others, the lock tracking the policy sees, and a
// server that is not there. On the tests' server (PEDIDOS_TEST_DB_HOST, which
// offers TLS): a client that encrypts when offered goes on in plain text
// through the proxy, whose policy sees its statements.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

#include "runtime/configuration.h"
#include "support/bare_client.h"
#include "tls_test_server.h"
#include "support/fault_proxy.h"

namespace {

using bench::FaultAction;
using Clock = std::chrono::steady_clock;

int Listen(int* port) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof a;
    if (bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || listen(fd, 16) != 0) return -1;
    getsockname(fd, reinterpret_cast<sockaddr*>(&a), &length);
    *port = ntohs(a.sin_port);
    return fd;
}

int Connect(int port) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    timeval limit{5, 0};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<uint16_t>(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

bool ReadExactly(int fd, std::string& out, std::size_t n) {
    out.resize(n);
    for (std::size_t got = 0; got < n;) {
        const ssize_t r = recv(fd, out.data() + got, n - got, 0);
        if (r <= 0) return false;
        got += static_cast<std::size_t>(r);
    }
    return true;
}

// The next packet's payload; nothing at the end of the stream.
std::optional<std::string> ReadPayload(int fd) {
    std::string header, payload;
    if (!ReadExactly(fd, header, 4)) return std::nullopt;
    const auto b = [&](int i) { return static_cast<std::size_t>(static_cast<unsigned char>(header[i])); };
    if (!ReadExactly(fd, payload, b(0) | (b(1) << 8) | (b(2) << 16))) return std::nullopt;
    return payload;
}

std::string Packet(std::string_view payload, char sequence) {
    const std::size_t n = payload.size();
    std::string p{static_cast<char>(n & 0xff), static_cast<char>((n >> 8) & 0xff), static_cast<char>((n >> 16) & 0xff),
                  sequence};
    return p + std::string(payload);
}

// Greets each client, then answers every packet it gets with "ok:" + its statement.
class StandInServer {
public:
    StandInServer() : fd_(Listen(&port_)) {
        thread_ = std::thread([this] { Serve(); });
    }
    ~StandInServer() {
        shutdown(fd_, SHUT_RDWR);
        close(fd_);
        thread_.join();
        for (std::thread& t : clients_) t.join();
    }
    int Port() const { return port_; }
    std::vector<std::string> Received() {
        std::lock_guard lock(mutex_);
        return received_;
    }

private:
    void Serve() {
        for (;;) {
            const int client = accept(fd_, nullptr, nullptr);
            if (client < 0) return;
            clients_.emplace_back([this, client] { Answer(client); });
        }
    }
    void Answer(int client) {
        const std::string greeting = Packet("greeting", 0);
        send(client, greeting.data(), greeting.size(), MSG_NOSIGNAL);
        while (const auto payload = ReadPayload(client)) {
            const std::string sql = payload->substr(1);
            {
                std::lock_guard lock(mutex_);
                received_.push_back(sql);
            }
            const std::string answer = Packet("ok:" + sql, 1);
            send(client, answer.data(), answer.size(), MSG_NOSIGNAL);
        }
        close(client);
    }

    int port_ = 0;
    int fd_;
    std::thread thread_;
    std::vector<std::thread> clients_;
    std::mutex mutex_;
    std::vector<std::string> received_;
};

// A client of the proxy that has read the server's greeting.
struct Client {
    explicit Client(int port) : fd(Connect(port)) { greeting = ReadPayload(fd); }
    ~Client() { close(fd); }
    std::optional<std::string> Ask(std::string_view sql) {
        const std::string p = bench::QueryPacket(sql);
        send(fd, p.data(), p.size(), MSG_NOSIGNAL);
        return ReadPayload(fd);
    }
    int fd;
    std::optional<std::string> greeting;
};

class FaultProxyTest : public ::testing::Test {
protected:
    void Start(bench::FaultPolicy policy) {
        std::string error;
        ASSERT_TRUE(proxy.Start(std::move(policy), &error)) << error;
    }
    StandInServer server;
    bench::FaultProxy proxy{"127.0.0.1", 0, "127.0.0.1", server.Port()};
};

FaultAction On(std::string_view sql, std::string_view target, FaultAction action) {
    return sql == target ? action : FaultAction{};
}

TEST_F(FaultProxyTest, PassesEverythingUnchangedWithoutFaults) {
    Start(nullptr);
    Client c(proxy.ListenPort());
    EXPECT_EQ(c.greeting, "greeting");
    EXPECT_EQ(c.Ask("START TRANSACTION"), "ok:START TRANSACTION");
    const std::string big(100000, 'x');
    EXPECT_EQ(c.Ask(big), "ok:" + big);
    EXPECT_EQ(server.Received().size(), 2u);
    EXPECT_EQ(proxy.Counts().connections, 1);
}

TEST_F(FaultProxyTest, ACutBeforeAStatementKeepsItFromTheServer) {
    Start([](const bench::StatementSeen& s) { return On(s.sql, "COMMIT", {FaultAction::Kind::CutBefore, {}}); });
    Client c(proxy.ListenPort());
    EXPECT_EQ(c.Ask("insert into comanda values (1)"), "ok:insert into comanda values (1)");
    EXPECT_FALSE(c.Ask("COMMIT")) << "the client sees its connection end";
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(server.Received(), std::vector<std::string>{"insert into comanda values (1)"});
    EXPECT_EQ(proxy.Counts().cutBefore, 1);
}

TEST_F(FaultProxyTest, ACutAfterACommitLetsTheServerRunItAndDropsTheAnswer) {
    Start([](const bench::StatementSeen& s) { return On(s.sql, "COMMIT", {FaultAction::Kind::CutAfter, {}}); });
    Client c(proxy.ListenPort());
    EXPECT_FALSE(c.Ask("COMMIT"));
    EXPECT_EQ(server.Received(), std::vector<std::string>{"COMMIT"});
    const bench::ProxyCounts counts = proxy.Counts();
    EXPECT_EQ(counts.answersDropped, 1);
    EXPECT_EQ(counts.commitAnswersDropped, 1);
    Client next(proxy.ListenPort());
    EXPECT_EQ(next.Ask("select 1"), "ok:select 1") << "other connections go on";
}

TEST_F(FaultProxyTest, AStallHoldsItsConnectionOnlyAndThenGoesOn) {
    const auto stall = std::chrono::milliseconds(800);
    Start([&](const bench::StatementSeen& s) { return On(s.sql, "slow", {FaultAction::Kind::Stall, stall}); });
    Client held(proxy.ListenPort()), other(proxy.ListenPort());
    const Clock::time_point start = Clock::now();
    std::optional<std::string> heldAnswer;
    std::thread asking([&] { heldAnswer = held.Ask("slow"); });
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_TRUE(server.Received().empty()) << "the held statement has not reached the server";
    EXPECT_EQ(other.Ask("fast"), "ok:fast");
    EXPECT_LT(Clock::now() - start, stall) << "the other connection was not held";
    asking.join();
    EXPECT_EQ(heldAnswer, "ok:slow");
    EXPECT_GE(Clock::now() - start, stall);
    EXPECT_EQ(proxy.Counts().stalls, 1);
    EXPECT_EQ(proxy.Counts().longestStallMs, stall.count());
}

TEST_F(FaultProxyTest, ThePolicySeesWhenTheSessionHoldsLocks) {
    std::mutex m;
    std::vector<std::pair<std::string, bool>> seen;
    Start([&](const bench::StatementSeen& s) {
        std::lock_guard lock(m);
        seen.emplace_back(std::string(s.sql), s.holdsLocks);
        return FaultAction{};
    });
    Client c(proxy.ListenPort());
    for (const char* sql : {"START TRANSACTION", "select n from t for update", "update t set n=2", "COMMIT",
                            "select 1", "select n from t for update", "ROLLBACK", "select 2"})
        ASSERT_TRUE(c.Ask(sql));
    const std::vector<std::pair<std::string, bool>> expected{
        {"START TRANSACTION", false}, {"select n from t for update", false}, {"update t set n=2", true},
        {"COMMIT", true}, {"select 1", false}, {"select n from t for update", false}, {"ROLLBACK", true},
        {"select 2", false}};
    EXPECT_EQ(seen, expected);
}

TEST_F(FaultProxyTest, FaultsOffLeaveThePolicyUnasked) {
    int asked = 0;
    Start([&](const bench::StatementSeen&) {
        ++asked;
        return FaultAction{FaultAction::Kind::CutBefore, {}};
    });
    proxy.SetFaultsOn(false);
    Client c(proxy.ListenPort());
    EXPECT_EQ(c.Ask("COMMIT"), "ok:COMMIT");
    EXPECT_EQ(asked, 0);
}

TEST(FaultProxy, ClosesAClientAtOnceWhenTheServerIsNotThere) {
    int port = 0;
    close(Listen(&port));  // a port nothing listens on any more
    bench::FaultProxy proxy("127.0.0.1", 0, "127.0.0.1", port);
    std::string error;
    ASSERT_TRUE(proxy.Start(nullptr, &error)) << error;
    const Clock::time_point start = Clock::now();
    Client c(proxy.ListenPort());
    EXPECT_FALSE(c.greeting);
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(2));
    EXPECT_EQ(proxy.Counts().refused, 1);
    proxy.Stop();
    EXPECT_EQ(proxy.Counts().connections, 1) << "the counts outlive the proxy";
}

TEST(FaultProxy, SaysWhyItCannotListen) {
    int port = 0;
    const int taken = Listen(&port);
    bench::FaultProxy proxy("127.0.0.1", port, "127.0.0.1", port);
    std::string error;
    EXPECT_FALSE(proxy.Start(nullptr, &error));
    EXPECT_NE(error.find(std::to_string(port)), std::string::npos) << error;
    close(taken);
}

TEST(FaultProxyOnAServer, ReadsTheStatementsOfAClientThatWouldEncrypt) {
    const QString host = campaigntest::TlsOfferingServer(QStringLiteral("fault_proxy_tls"));
    if (host.isEmpty()) return;
    const QString connection = rt::BuildConnectionString(QStringLiteral("fault_proxy_tls"), host);

    // Stripped (what the campaign's proxies do unless told), the statement is
    // read; passed, the client encrypts and the proxy sees no statement.
    for (const bench::TlsPassage passage : {bench::TlsPassage::Strip, bench::TlsPassage::Pass}) {
        const bool strip = passage == bench::TlsPassage::Strip;
        SCOPED_TRACE(strip ? "strip" : "pass");
        std::vector<std::string> seen;
        auto proxy = strip ? std::make_unique<bench::FaultProxy>("127.0.0.1", 0, host.toStdString(), 3306)
                           : std::make_unique<bench::FaultProxy>("127.0.0.1", 0, host.toStdString(), 3306, passage);
        std::string error;
        ASSERT_TRUE(proxy->Start(
            [&](const bench::StatementSeen& s) {
                seen.emplace_back(s.sql);
                return FaultAction{};
            },
            &error))
            << error;
        bench::BareClient client;
        client.SetTlsWhenOffered(true);
        client.Connect(QString(connection)
                           .replace(host, QStringLiteral("127.0.0.1"))
                           .replace(QStringLiteral("PORT=3306;"), QStringLiteral("PORT=%1;").arg(proxy->ListenPort())));
        EXPECT_EQ(client.Cipher().isEmpty(), strip) << client.Cipher().toStdString();
        EXPECT_EQ(client.Value(QStringLiteral("select 42")), QStringLiteral("42"));
        client.Close();
        proxy->Stop();
        EXPECT_EQ(std::count(seen.begin(), seen.end(), "select 42"), strip ? 1 : 0);
    }
}

}  // namespace
