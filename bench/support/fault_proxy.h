#pragma once
// A TCP proxy of our own between terminals and a MariaDB server, for faults
// the server and the network cannot be asked for at a chosen moment: it
// listens on one address and port, opens a connection to the server for
// each client, and passes the bytes on — except that, for each statement a
// client sends, a policy may have it
//   - cut the connection before the statement reaches the server,
//   - let the statement through and cut the connection when the server's
//     answer comes (the server ran it; the client never learns the outcome:
//     after COMMIT, the transaction is stored and the client does not know),
//   - stall the connection: hold the statement, and everything after it in
//     both directions, for a while, then go on (a stall of more than a few
//     seconds is, to the server, a terminal or network that froze).
// To read statements it takes the server's offer of TLS out of its greeting
// (TlsPassage::Strip, unless told otherwise): a client that encrypts only
// when offered goes on in plain text. With TlsPassage::Pass a client that
// asks for TLS gets it, and its statements go through unread, without faults.
// One thread with poll(); no Qt.
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

#include "support/mysql_packets.h"

namespace bench {

struct FaultAction {
    enum class Kind { Forward, CutBefore, CutAfter, Stall };
    Kind kind = Kind::Forward;
    std::chrono::milliseconds stall{0};
};

// A statement on its way to the server, as the policy sees it.
struct StatementSeen {
    std::string_view sql;
    StatementKind kind = StatementKind::Other;
    // The session's transaction took row locks (a locking read went through
    // and no COMMIT or ROLLBACK since): the statement comes from a terminal
    // that holds the ticket counter.
    bool holdsLocks = false;
    int connection = 0;  // the proxy's number for the client connection
};

// Called on the proxy's thread, once for each statement.
using FaultPolicy = std::function<FaultAction(const StatementSeen&)>;

// What the proxy did so far.
struct ProxyCounts {
    int connections = 0;          // client connections accepted
    int refused = 0;              // of those, closed because the server could not be reached
    int cutBefore = 0;            // statements that never reached the server
    int answersDropped = 0;       // statements the server ran whose answer was dropped
    int commitAnswersDropped = 0; // of those, COMMITs
    int stalls = 0;               // statements held back
    long long longestStallMs = 0;
};

class FaultProxy {
public:
    // Listens on listenHost:listenPort (0: a free port, ListenPort() tells
    // which once started) and forwards to serverHost:serverPort (IPv4 addresses).
    FaultProxy(std::string listenHost, int listenPort, std::string serverHost, int serverPort,
               TlsPassage tls = TlsPassage::Strip);
    ~FaultProxy();
    FaultProxy(const FaultProxy&) = delete;
    FaultProxy& operator=(const FaultProxy&) = delete;

    // Starts the thread; false, with the reason in `error`, when the port
    // cannot be listened on. Without a policy every statement goes through.
    bool Start(FaultPolicy policy, std::string* error);
    // Closes every connection and the listening socket.
    void Stop();
    // With faults off the policy is not asked: every statement goes through
    // (connections held already are released when their stall ends).
    void SetFaultsOn(bool on) { faultsOn_ = on; }

    ProxyCounts Counts() const;
    const std::string& ListenHost() const { return listenHost_; }
    int ListenPort() const { return listenPort_; }

private:
    class Loop;
    std::string listenHost_, serverHost_;
    int listenPort_, serverPort_;
    TlsPassage tls_;
    std::atomic<bool> faultsOn_{true};
    std::unique_ptr<Loop> loop_;
    std::thread thread_;
    ProxyCounts lastCounts_;  // what a stopped proxy did
};

}  // namespace bench
