// The limits every connection puts on its session and socket, as the private
// test server and the kernel hold them, and what happens when the server
// refuses some of them. What they are for (a frozen terminal does not hold
// the ticket counter) is tested on the order screen, in sending/.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

#include <QDir>
#include <vector>

#include "data/mariadb_connection.h"
#include "data/session_limits.h"
#include "support/failing_connection.h"
#include "support/test_database.h"

namespace {

class SessionLimits : public ::testing::Test {
protected:
    static void SetUpTestSuite() { testsupport::ResetDatabase(); }
    void SetUp() override { conn.Open(testsupport::TestConnectionString()); }

    static int Session(data::Connection& c, const char* variable) {
        return static_cast<int>(
            c.Query(QString("select @@session.%1").arg(variable)).Field(0).ToDouble());
    }
    // SET statements this session has run so far.
    int SetStatements() {
        return static_cast<int>(
            conn.Query("show session status like 'Com_set_option'").Field("Value").ToDouble());
    }
    data::MariaDbConnection conn;
};

TEST_F(SessionLimits, OpeningSetsEveryLimitInOneStatement) {
    EXPECT_EQ(SetStatements(), 1);
    for (const data::SessionSetting& s : data::kSessionLimits)
        EXPECT_EQ(Session(conn, s.name), s.seconds) << s.name;
}

TEST_F(SessionLimits, WhatTheServerRefusesIsSetOneByOneAndNamed) {
    const struct {
        const char* name;
        std::vector<data::SessionSetting> settings;
        QStringList notSet;
        int statements;  // statements sent: one together, then one each after a refusal
    } cases[] = {
        {"all known", {{"net_read_timeout", 9}, {"innodb_lock_wait_timeout", 3}}, {}, 1},
        {"one unknown (1193)",
         {{"net_read_timeout", 8}, {"no_such_timeout", 1}, {"innodb_lock_wait_timeout", 4}},
         {"no_such_timeout"},
         4},
        {"one that is no session variable (1229) and one unknown",
         {{"max_connections", 10}, {"net_write_timeout", 7}, {"no_such_timeout", 2}},
         {"max_connections", "no_such_timeout"},
         4},
    };
    auto real = std::make_unique<data::MariaDbConnection>();
    real->Open(testsupport::TestConnectionString());
    testsupport::FailingConnection counted(std::move(real));  // counts, never fails
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        counted.executeCalls = 0;
        EXPECT_EQ(data::ApplySessionSettings(counted, c.settings), c.notSet);
        EXPECT_EQ(counted.executeCalls, c.statements);
        for (const data::SessionSetting& s : c.settings) {
            if (!c.notSet.contains(s.name)) {
                EXPECT_EQ(Session(counted, s.name), s.seconds) << s.name;
            }
        }
    }
}

// A connection sends its settings in front of its first statements; when the
// server refuses them together, each is set alone and the statements still
// run, once, with their answers and failures where they belong.
TEST_F(SessionLimits, SettingsTheServerRefusesTogetherAreSetAloneBeforeTheFirstStatements) {
    static constexpr data::SessionSetting kSettings[] = {
        {"net_read_timeout", 8}, {"no_such_timeout", 1}, {"innodb_lock_wait_timeout", 4}};
    data::MariaDbConnection c;
    c.SetSessionSettings(kSettings);
    c.Open(testsupport::TestConnectionString());
    try {
        c.RunTogether({"set @runs = coalesce(@runs, 0) + 1", "select @@session.net_read_timeout",
                       "select * from nowhere", "set @after = 1"});
        FAIL() << "the missing table went unnoticed";
    } catch (const data::BatchError& e) {
        EXPECT_EQ(e.failedAt(), 2);
        ASSERT_EQ(e.answered().size(), 2u);
        EXPECT_EQ(e.answered()[1].Field(0).ToDouble(), 8);
    }
    EXPECT_EQ(Session(c, "innodb_lock_wait_timeout"), 4);
    const data::ResultSet after = c.Query("select @runs, @after");
    EXPECT_EQ(after.Field(0).ToDouble(), 1) << "the statements ran once";
    EXPECT_TRUE(after.Field(1).IsNull());
}

// The client library's sockets to the test server, found among the
// process's open files, carry the keepalive the connection asked for.
TEST_F(SessionLimits, TheClientSocketProbesASilentServer) {
    const int giveUpMs =
        (data::kKeepAliveIdleSeconds + data::kKeepAliveIntervalSeconds * data::kKeepAliveProbes) *
        1000;
    const int expected[][3] = {{SOL_SOCKET, SO_KEEPALIVE, 1},
                               {IPPROTO_TCP, TCP_KEEPIDLE, data::kKeepAliveIdleSeconds},
                               {IPPROTO_TCP, TCP_KEEPINTVL, data::kKeepAliveIntervalSeconds},
                               {IPPROTO_TCP, TCP_KEEPCNT, data::kKeepAliveProbes},
                               {IPPROTO_TCP, TCP_USER_TIMEOUT, giveUpMs}};
    int sockets = 0;
    for (const QString& name : QDir("/proc/self/fd").entryList(QDir::System)) {
        sockaddr_in peer{};
        socklen_t length = sizeof peer;
        const int fd = name.toInt();
        if (getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &length) != 0 ||
            peer.sin_family != AF_INET || ntohs(peer.sin_port) != 3306 ||
            QString(inet_ntoa(peer.sin_addr)) != testsupport::DbHost())
            continue;
        ++sockets;
        for (const auto& [level, option, value] : expected) {
            int set = -1;
            socklen_t size = sizeof set;
            EXPECT_EQ(getsockopt(fd, level, option, &set, &size), 0);
            EXPECT_EQ(set, value) << "option " << option;
        }
    }
    EXPECT_GE(sockets, 1);
}

}  // namespace
