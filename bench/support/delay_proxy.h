#pragma once
// A TCP proxy of our own that puts distance between a terminal and its
// MariaDB server, as a tablet on Wi-Fi or a server in another building
// would: it listens on one address and port, opens a connection to the
// server for each client, and passes every byte on in both directions, each
// chunk released a fixed delay after it arrived (half the round trip each
// way), in the order it came. It also counts the round trips the client
// waits for: the server's greeting (half of one), each packet of the log-in
// and each command after it (a packet the client starts with sequence 0;
// a COM_QUERY with several statements is still one). One thread with
// poll(); no Qt.
#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>

namespace bench {

struct DelayCounts {
    int connections = 0;    // client connections accepted
    int logInPackets = 0;   // client packets before its first command, each answered by the server
    int commands = 0;       // commands that wait for an answer (not COM_QUIT and the like)
};

// The round trips a client of these counts waited for: half for each
// greeting, one for each log-in packet and each command.
double RoundTrips(const DelayCounts& c);

class DelayProxy {
public:
    // Listens on listenHost:listenPort (0: a free port, ListenPort() tells
    // which once started) and forwards to serverHost:serverPort (IPv4 addresses).
    DelayProxy(std::string listenHost, int listenPort, std::string serverHost, int serverPort);
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

    DelayCounts Counts() const;
    void ResetCounts();
    const std::string& ListenHost() const { return listenHost_; }
    int ListenPort() const { return listenPort_; }

private:
    class Loop;
    std::string listenHost_, serverHost_;
    int listenPort_, serverPort_;
    std::atomic<long long> delayUs_{0};
    std::unique_ptr<Loop> loop_;
    std::thread thread_;
};

}  // namespace bench
