// How the proxy reads a client's byte stream: whole packets only, the
// statement text of a COM_QUERY that starts a command, and what a statement
// does to the session's locks.
#include <gtest/gtest.h>

#include "support/mysql_packets.h"

namespace {

using bench::KindOf;
using bench::StatementKind;

TEST(MySqlPackets, TakesWholePacketsOnlyAndLeavesTheRest) {
    const std::string first = bench::QueryPacket("COMMIT"), second = bench::QueryPacket("select 1");
    std::string stream = first + second.substr(0, 6);
    const auto p = bench::TakePacket(stream);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->bytes, first);
    EXPECT_EQ(p->sequence, 0u);
    EXPECT_FALSE(bench::TakePacket(stream)) << "half a packet is no packet";
    EXPECT_EQ(stream, second.substr(0, 6));
    stream += second.substr(6);
    EXPECT_EQ(bench::TakePacket(stream)->bytes, second);
    EXPECT_TRUE(stream.empty());
    std::string header = first.substr(0, 3);
    EXPECT_FALSE(bench::TakePacket(header));
}

TEST(MySqlPackets, ReadsTheThreeByteLengthLittleEndian) {
    const std::string sql(70000, 'x');  // a length that needs all three bytes
    std::string stream = bench::QueryPacket(sql);
    EXPECT_EQ(static_cast<unsigned char>(stream[2]), 1u);
    const auto p = bench::TakePacket(stream);
    ASSERT_TRUE(p);
    EXPECT_EQ(bench::QueryText(*p)->size(), sql.size());
}

TEST(MySqlPackets, OnlyACommandsQueryHasText) {
    std::string stream = bench::QueryPacket("START TRANSACTION");
    EXPECT_EQ(*bench::QueryText(*bench::TakePacket(stream)), "START TRANSACTION");
    std::string login = bench::QueryPacket("looks like a query");
    login[3] = 1;  // the log-in answer travels with sequence 1
    EXPECT_FALSE(bench::QueryText(*bench::TakePacket(login)));
    std::string ping("\x01\x00\x00\x00\x0e", 5);  // COM_PING
    EXPECT_FALSE(bench::QueryText(*bench::TakePacket(ping)));
}

TEST(MySqlPackets, KnowsWhatEndsATransactionAndWhatLocks) {
    EXPECT_EQ(KindOf("COMMIT"), StatementKind::Commit);
    EXPECT_EQ(KindOf(" commit; "), StatementKind::Commit);
    EXPECT_EQ(KindOf("ROLLBACK"), StatementKind::Rollback);
    EXPECT_EQ(KindOf("select control_Comanda from mantenimiento for update"), StatementKind::LockingRead);
    EXPECT_EQ(KindOf("SELECT a FROM t FOR UPDATE"), StatementKind::LockingRead);
    EXPECT_EQ(KindOf("insert into comanda values ('commit')"), StatementKind::Other);
    // Statements sent together.
    EXPECT_EQ(KindOf("START TRANSACTION;\nselect c from m for update;\nselect now()"), StatementKind::LockingRead);
    EXPECT_EQ(KindOf("update m set c='2';\ninsert into t values ('a;COMMIT');\nCOMMIT;\nselect * from m;"),
              StatementKind::Commit);
    EXPECT_EQ(KindOf("insert into t values ('it''s; commit')"), StatementKind::Other);
    EXPECT_EQ(bench::SplitStatements("a;\n b ;'x;\\';y';;c"),
              (std::vector<std::string_view>{"a", "b", "'x;\\';y'", "c"}));
    EXPECT_EQ(KindOf("select 'x for update' from t"), StatementKind::Other);
    EXPECT_EQ(KindOf("COMMITTED"), StatementKind::Other);
    EXPECT_EQ(KindOf(""), StatementKind::Other);
}

}  // namespace
