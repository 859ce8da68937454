#include "support/mysql_packets.h"

#include <algorithm>
#include <cctype>
#include <utility>

namespace bench {
namespace {

constexpr std::size_t kHeader = 4;
constexpr unsigned char kComQuery = 0x03;
constexpr unsigned char kProtocolVersion = 10;
constexpr unsigned kClientSsl = 0x0800;

std::string Lower(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

std::string_view Trimmed(std::string_view text) {
    const auto space = [](char c) { return std::isspace(static_cast<unsigned char>(c)) || c == ';'; };
    while (!text.empty() && space(text.front())) text.remove_prefix(1);
    while (!text.empty() && space(text.back())) text.remove_suffix(1);
    return text;
}

}  // namespace

std::optional<MySqlPacket> TakePacket(std::string& stream) {
    if (stream.size() < kHeader) return std::nullopt;
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(stream[i]); };
    const std::size_t length = byte(0) | (byte(1) << 8) | (byte(2) << 16);
    if (stream.size() < kHeader + length) return std::nullopt;
    MySqlPacket p;
    p.sequence = byte(3);
    p.bytes = stream.substr(0, kHeader + length);
    stream.erase(0, kHeader + length);
    return p;
}

std::optional<std::string_view> QueryText(const MySqlPacket& packet) {
    const std::string_view payload = packet.Payload();
    if (packet.sequence != 0 || payload.empty() || static_cast<unsigned char>(payload[0]) != kComQuery)
        return std::nullopt;
    return payload.substr(1);
}

std::vector<std::string_view> SplitStatements(std::string_view text) {
    std::vector<std::string_view> out;
    char quote = 0;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quote != 0) {
            if (c == '\\') ++i;  // an escaped character, a quote included
            else if (c == quote) quote = 0;
        } else if (c == '\'' || c == '"' || c == '`') {
            quote = c;
        } else if (c == ';') {
            if (!Trimmed(text.substr(start, i - start)).empty()) out.push_back(Trimmed(text.substr(start, i - start)));
            start = i + 1;
        }
    }
    if (!Trimmed(text.substr(start)).empty()) out.push_back(Trimmed(text.substr(start)));
    return out;
}

namespace {

StatementKind KindOfOne(std::string_view sql) {
    const std::string text = Lower(Trimmed(sql));
    if (text == "commit" || text == "commit work") return StatementKind::Commit;
    if (text == "rollback" || text == "rollback work") return StatementKind::Rollback;
    constexpr std::string_view kForUpdate = " for update";
    if (text.starts_with("select") && text.size() > kForUpdate.size() && text.ends_with(kForUpdate))
        return StatementKind::LockingRead;
    return StatementKind::Other;
}

}  // namespace

StatementKind KindOf(std::string_view sql) {
    // Statements sent together: the last that ends the transaction or takes
    // locks says what the session holds afterwards.
    StatementKind kind = StatementKind::Other;
    for (std::string_view one : SplitStatements(sql))
        if (const StatementKind k = KindOfOne(one); k != StatementKind::Other) kind = k;
    return kind;
}

std::string QueryPacket(std::string_view sql) {
    const std::size_t length = sql.size() + 1;
    std::string p;
    p += static_cast<char>(length & 0xff);
    p += static_cast<char>((length >> 8) & 0xff);
    p += static_cast<char>((length >> 16) & 0xff);
    p += '\0';
    p += static_cast<char>(kComQuery);
    p += sql;
    return p;
}

bool ClearTlsOffer(std::string& greeting) {
    if (greeting.size() < kHeader) return false;
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(greeting[i]); };
    const std::size_t length = byte(0) | (byte(1) << 8) | (byte(2) << 16);
    if (greeting.size() != kHeader + length || byte(3) != 0 || length == 0 || byte(kHeader) != kProtocolVersion)
        return false;
    const std::size_t versionEnd = greeting.find('\0', kHeader + 1);
    if (versionEnd == std::string::npos) return false;
    // Connection id, scramble and filler after the version's NUL.
    const std::size_t flags = versionEnd + 1 + 4 + 8 + 1;
    if (flags + 2 > greeting.size()) return false;
    const unsigned lower = byte(flags) | (byte(flags + 1) << 8);
    if ((lower & kClientSsl) == 0) return false;
    greeting[flags + 1] = static_cast<char>(byte(flags + 1) & ~(kClientSsl >> 8));
    return true;
}

bool IsTlsRequest(const MySqlPacket& packet) {
    constexpr std::size_t kTlsRequestSize = 32;
    const std::string_view payload = packet.Payload();
    return packet.sequence == 1 && payload.size() == kTlsRequestSize &&
           (static_cast<unsigned char>(payload[1]) & (kClientSsl >> 8)) != 0;
}

std::string GreetingRewriter::Pass(std::string bytes, bool end) {
    if (done_) return bytes;
    held_ += bytes;
    std::optional<MySqlPacket> greeting = TakePacket(held_);
    if (!greeting && !end) return {};
    done_ = true;
    std::string out;
    if (greeting) {
        ClearTlsOffer(greeting->bytes);
        out = std::move(greeting->bytes);
    }
    return out + std::exchange(held_, {});
}

}  // namespace bench
