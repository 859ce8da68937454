#pragma once
// Just enough of the MySQL/MariaDB client protocol for a proxy to know which
// statement a client is sending: packets are a 3-byte little-endian length,
// a sequence byte and the payload; a command starts a new exchange with
// sequence 0, and COM_QUERY (0x03) carries the statement text after its
// command byte. Nothing here needs Qt.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace bench {

struct MySqlPacket {
    unsigned sequence = 0;
    std::string bytes;  // the whole packet, header included, as it travels

    std::string_view Payload() const { return std::string_view(bytes).substr(4); }
};

// Takes the first whole packet off the front of `stream`; nothing while the
// packet is not complete yet.
std::optional<MySqlPacket> TakePacket(std::string& stream);

// The statement text of a COM_QUERY that starts a command; nothing for any
// other packet (the log-in exchange, COM_PING, COM_QUIT, ...).
std::optional<std::string_view> QueryText(const MySqlPacket& packet);

// The statements of a query text that carries several, separated by ";"
// outside quotes, each without its blanks around.
std::vector<std::string_view> SplitStatements(std::string_view text);

// What a statement does to the session's transaction, as far as the proxy
// needs to know: COMMIT and ROLLBACK end it; a locking read ("... for
// update") takes row locks that the session holds until it ends. For
// statements sent together, the last of them that does either.
enum class StatementKind { Other, Commit, Rollback, LockingRead };
StatementKind KindOf(std::string_view sql);

// A COM_QUERY packet of `sql` (sequence 0), as a client sends it.
std::string QueryPacket(std::string_view sql);

// The server's greeting (its first packet, whole, header included): protocol
// version 10, the server version ending in NUL, a 4-byte connection id, 8
// bytes of scramble, a filler byte, then the lower 2 bytes of the capability
// flags (little-endian). Clears CLIENT_SSL (0x0800) there, so that a client
// that asks for TLS only when the server offers it goes on in plain text.
// True when the bit was set and is cleared now; a packet that is no such
// greeting (short, another protocol version, an error packet) is left as it is.
bool ClearTlsOffer(std::string& greeting);

// The client's SSL request: the short first answer to the greeting (32 bytes:
// capability flags with CLIENT_SSL, packet size, character set, filler) after
// which the client and the server speak TLS. Sequence 1, as any answer to the
// greeting; a full log-in answer is longer (it names the user).
bool IsTlsRequest(const MySqlPacket& packet);

// What a proxy does with the server's offer of TLS: takes it out of the
// greeting (the proxy reads the client's statements) or lets it through
// (client and server may encrypt; the proxy sees only bytes).
enum class TlsPassage { Strip, Pass };

// The server's bytes on their way to the client, with the greeting rewritten
// by ClearTlsOffer under TlsPassage::Strip: they are held until the first
// packet is whole, then go on with it; everything after it goes on as it
// came. Under TlsPassage::Pass every byte goes on at once.
class GreetingRewriter {
public:
    explicit GreetingRewriter(TlsPassage passage) : done_(passage == TlsPassage::Pass) {}
    // The bytes to pass on now of those that came (`bytes`); with `end`
    // (the server closed), whatever is still held goes too.
    std::string Pass(std::string bytes, bool end = false);

private:
    bool done_;
    std::string held_;
};

}  // namespace bench
