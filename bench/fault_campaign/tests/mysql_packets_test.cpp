// How the proxy reads a client's byte stream: whole packets only, the
// statement text of a COM_QUERY that starts a command, and what a statement
// does to the session's locks; how it takes the server's offer of TLS out of
// its greeting, and knows a client's SSL request.
#include <gtest/gtest.h>

#include <array>

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

// The greeting of MariaDB 10.11 started with --ssl-cert/--ssl-key, as it
// came: capability flags 0xfffe (CLIENT_SSL among them) after the version
// "5.5.5-10.11.19-MariaDB-0+deb12u1", the connection id and the scramble.
std::string RealGreeting() {
    constexpr std::string_view kHex =
        "640000000a352e352e352d31302e31312e31392d4d6172696144422d302b64656231327531000500000070464b28257b635e00fe"
        "ff080200ff81150000000000001d0000002c5e7657302a226a71782a61006d7973716c5f6e61746976655f70617373776f726400";
    std::string bytes;
    for (std::size_t i = 0; i < kHex.size(); i += 2)
        bytes += static_cast<char>(std::stoi(std::string(kHex.substr(i, 2)), nullptr, 16));
    return bytes;
}

// The offset of the lower capability flags in RealGreeting().
constexpr std::size_t kFlagsAt = 4 + 1 + 33 + 4 + 8 + 1;

std::string Packet(std::string_view payload, char sequence) {
    const std::size_t n = payload.size();
    return std::string{static_cast<char>(n & 0xff), static_cast<char>((n >> 8) & 0xff),
                       static_cast<char>((n >> 16) & 0xff), sequence} +
           std::string(payload);
}

std::string Changed(std::string bytes, std::size_t at, char value) {
    bytes[at] = value;
    return bytes;
}

TEST(MySqlPackets, ClearsTheTlsOfferOfAGreetingAndLeavesAnythingElseAlone) {
    const std::string real = RealGreeting();
    ASSERT_EQ(static_cast<unsigned char>(real[kFlagsAt + 1]), 0xffu) << "the bytes of the greeting moved";
    std::string noTls = Changed(real, kFlagsAt + 1, static_cast<char>(0xf7));
    struct Case {
        const char* what;
        std::string packet;
        bool cleared;
    };
    const std::array cases{
        Case{"a real greeting", real, true},
        Case{"one that offers no TLS", noTls, false},
        Case{"an error packet instead", Packet("\xff\x10\x04Too many connections", 0), false},
        Case{"protocol version 9", Changed(real, 4, 9), false},
        Case{"a sequence other than 0", Changed(real, 3, 1), false},
        Case{"half of it", real.substr(0, 40), false},
        Case{"one that ends before its flags' second byte", Packet(real.substr(4, kFlagsAt + 1 - 4), 0), false},
        Case{"a version without its NUL", Packet(std::string("\x0a") + "5.5.5", 0), false},
        Case{"a header alone", std::string("\x00\x00\x00\x00", 4), false},
        Case{"nothing", std::string(), false},
    };
    for (const Case& c : cases) {
        std::string packet = c.packet;
        EXPECT_EQ(bench::ClearTlsOffer(packet), c.cleared) << c.what;
        if (!c.cleared) {
            EXPECT_EQ(packet, c.packet) << c.what << ": left as it was";
            continue;
        }
        EXPECT_EQ(packet, noTls) << c.what << ": only CLIENT_SSL changed";
        EXPECT_FALSE(bench::ClearTlsOffer(packet)) << c.what << ": nothing to clear the second time";
    }
}

TEST(MySqlPackets, TheGreetingIsRewrittenOnlyOnceWholeAndNothingAfterIt) {
    const std::string real = RealGreeting(), after = bench::QueryPacket("not a greeting"),
                      stripped = Changed(real, kFlagsAt + 1, static_cast<char>(0xf7));
    // The server's bytes, in pieces that cut the greeting anywhere; the
    // next packet (same flags' offset, another greeting) must pass unchanged.
    for (std::size_t cut : {std::size_t{1}, std::size_t{3}, kFlagsAt, kFlagsAt + 1, real.size() - 1, real.size()}) {
        bench::GreetingRewriter strip(bench::TlsPassage::Strip), pass(bench::TlsPassage::Pass);
        const std::string stream = real + real + after;
        std::string out, passed;
        for (std::size_t at = 0; at < stream.size(); at += cut) {
            out += strip.Pass(stream.substr(at, cut));
            passed += pass.Pass(stream.substr(at, cut));
        }
        EXPECT_EQ(out, stripped + real + after) << "cut every " << cut << " bytes";
        EXPECT_EQ(passed, stream) << "cut every " << cut << " bytes";
    }
    bench::GreetingRewriter closed(bench::TlsPassage::Strip);
    EXPECT_EQ(closed.Pass(real.substr(0, 20)), "") << "held until whole";
    EXPECT_EQ(closed.Pass({}, true), real.substr(0, 20)) << "what the server sent before it closed goes on";
}

TEST(MySqlPackets, KnowsTheClientsSslRequest) {
    const auto packet = [](const std::string& payload, char sequence) {
        std::string stream = Packet(payload, sequence);
        return *bench::TakePacket(stream);
    };
    std::string request(32, '\0');
    request[0] = static_cast<char>(0x8d);
    request[1] = static_cast<char>(0xaa);  // CLIENT_SSL among the flags
    std::string login = request + "admin" + std::string(1, '\0');
    std::string plain = request;
    plain[1] = static_cast<char>(0xa2);
    EXPECT_TRUE(bench::IsTlsRequest(packet(request, 1)));
    EXPECT_FALSE(bench::IsTlsRequest(packet(login, 1))) << "a whole log-in answer names its user";
    EXPECT_FALSE(bench::IsTlsRequest(packet(plain, 1))) << "without CLIENT_SSL";
    EXPECT_FALSE(bench::IsTlsRequest(packet(request, 0))) << "a command, not an answer to the greeting";
}

}  // namespace
