#pragma once
// A TCP proxy of our own that puts distance between a terminal and its
// MariaDB server, as a tablet on Wi-Fi or a server in another building
// would: it listens on one address and port, opens a connection to the
// server for each client, and passes every byte on in both directions, each
// chunk released a fixed delay after it arrived (half the round trip each
// way), in the order it came. The server's offer of TLS goes on to the
// client (TlsPassage::Pass: the client may encrypt) or is taken out of the
// greeting (TlsPassage::Strip: the client goes on in plain text).
// It counts the round trips the client waits for in two ways:
//   - by packets, on plain connections: the server's greeting (half of
//     one), each packet of the log-in and each command after it (a packet
//     the client starts with sequence 0; a COM_QUERY with several
//     statements is still one);
//   - by turns, on any connection, encrypted too: each time the client
//     starts speaking after the server spoke last, it has waited for the
//     server's answer (plus the greeting's half).
// One thread with poll(); no Qt.
#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "support/mysql_packets.h"

namespace bench {

struct DelayCounts {
    int connections = 0;    // client connections accepted
    int logInPackets = 0;   // client packets before its first command, each answered by the server
    int commands = 0;       // commands that wait for an answer (not COM_QUIT and the like)
    int turns = 0;          // times a client started speaking after its server spoke last
    int encrypted = 0;      // connections whose client asked for TLS (their packets are not counted)
};

// The round trips a client of these counts waited for, by packets (plain
// connections): half for each greeting, one for each log-in packet and each
// command.
double RoundTrips(const DelayCounts& c);
// The same by turns (any connection): half for each greeting, one for each turn.
double RoundTripsByTurns(const DelayCounts& c);

class DelayProxy {
public:
    // Listens on listenHost:listenPort (0: a free port, ListenPort() tells
    // which once started) and forwards to serverHost:serverPort (IPv4 addresses).
    DelayProxy(std::string listenHost, int listenPort, std::string serverHost, int serverPort, TlsPassage tls);
    ~DelayProxy();
    DelayProxy(const DelayProxy&) = delete;
    DelayProxy& operator=(const DelayProxy&) = delete;

    // Starts the thread; false, with the reason in `error`, when the port
    // cannot be listened on.
    bool Start(std::string* error);
    // Closes every connection and the listening socket.
    void Stop();

    // The delay of each direction for chunks that arrive from now on
    // (0 at first). A chunk is never released before one that came earlier
    // in its direction, even when the delay is made shorter.
    void SetOneWayDelay(std::chrono::microseconds delay) { delayUs_ = delay.count(); }
    // What happens to the server's offer of TLS on connections accepted from now on.
    void SetTlsPassage(TlsPassage tls) { tls_ = tls; }

    DelayCounts Counts() const;
    void ResetCounts();
    const std::string& ListenHost() const { return listenHost_; }
    int ListenPort() const { return listenPort_; }

private:
    class Loop;
    std::string listenHost_, serverHost_;
    int listenPort_, serverPort_;
    std::atomic<long long> delayUs_{0};
    std::atomic<TlsPassage> tls_;
    std::unique_ptr<Loop> loop_;
    std::thread thread_;
};

}  // namespace bench
