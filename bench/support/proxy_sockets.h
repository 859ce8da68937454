#pragma once
// The socket work the benches' TCP proxies share: a listening socket, a
// connection to the server, and non-blocking reads and writes. No Qt.
#include <string>

namespace bench {

// Listens on host:port (IPv4; port 0: a free one, written back to `port`),
// non-blocking. The socket, or -1 with the reason in `error`.
int ListenOn(const std::string& host, int& port, std::string* error);

// No Nagle (a chunk goes out at once, not when the next one comes), and
// non-blocking.
void Tune(int fd);

// A connection to the server (blocking connect: loopback answers at once,
// with the connection or with a refusal), tuned; -1 when it cannot be made.
int ConnectTo(const std::string& host, int port);

// Writes what the socket takes now; false when the peer is gone.
bool Flush(int fd, std::string& pending);

// Reads what is there into `into`; false at the end of the stream or on an error.
bool ReadInto(int fd, std::string& into);

}  // namespace bench
