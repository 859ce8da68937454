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

}  // namespace bench
