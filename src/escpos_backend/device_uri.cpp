#include "escpos_backend/device_uri.h"

#include <charconv>
#include <cmath>

namespace escposbackend {
namespace {

constexpr std::string_view kScheme = "escpos://";

bool ParseInt(std::string_view text, int* value) {
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), *value);
    return ec == std::errc() && end == text.data() + text.size();
}

// Seconds with an optional fraction ("2", "1.5"), as milliseconds.
bool ParseSeconds(std::string_view text, std::chrono::milliseconds* wait) {
    double seconds = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), seconds);
    if (ec != std::errc() || end != text.data() + text.size()) return false;
    if (!(seconds >= 0.1 && seconds <= 60)) return false;
    // Rounded: 0.123 * 1000 is 122.99... in binary.
    *wait = std::chrono::milliseconds(std::llround(seconds * 1000));
    return true;
}

// A name or IPv4 address (letters, digits, '.', '-', '_'), or inside
// brackets an IPv6 address (hex digits, ':', '.', and a "%zone").
bool IsHost(std::string_view host, bool bracketed) {
    const auto zone = bracketed ? host.find('%') : std::string_view::npos;
    const std::string_view address = host.substr(0, zone);
    if (bracketed && address.find(':') == std::string_view::npos) return false;
    for (const char c : address) {
        const bool digit = c >= '0' && c <= '9';
        const bool hex = (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        const bool ok = bracketed ? digit || hex || c == ':' || c == '.' : digit || letter || c == '.' || c == '-' || c == '_';
        if (!ok) return false;
    }
    if (zone == std::string_view::npos) return true;
    const std::string_view name = host.substr(zone + 1);
    return !name.empty() && IsHost(name, false);
}

// HOST[:PORT] or [V6]:PORT into `uri`.
bool ParseAuthority(std::string_view authority, DeviceUri* uri, std::string* error) {
    std::string_view port;
    bool port_given = false;
    if (authority.starts_with('[')) {
        const auto close = authority.find(']');
        if (close == std::string_view::npos) {
            *error = "falta el ] de la dirección IPv6";
            return false;
        }
        uri->host = authority.substr(1, close - 1);
        const auto rest = authority.substr(close + 1);
        if (!rest.empty()) {
            if (!rest.starts_with(':')) {
                *error = "sobra texto tras la dirección IPv6";
                return false;
            }
            port = rest.substr(1);
            port_given = true;
        }
    } else {
        const auto colon = authority.find(':');
        uri->host = authority.substr(0, colon);
        if (colon != std::string_view::npos) {
            port = authority.substr(colon + 1);
            port_given = true;
        }
    }
    if (uri->host.empty()) {
        *error = "falta la impresora (escpos://DIRECCION:PUERTO)";
        return false;
    }
    if (!IsHost(uri->host, authority.starts_with('['))) {
        *error = "dirección no válida: " + uri->host;
        return false;
    }
    if (port_given && (!ParseInt(port, &uri->port) || uri->port < 1 || uri->port > 65535)) {
        *error = "puerto no válido: " + std::string(port);
        return false;
    }
    return true;
}

bool ParseOption(std::string_view option, DeviceUri* uri, std::string* error) {
    const auto equals = option.find('=');
    const auto name = option.substr(0, equals);
    const auto value = equals == std::string_view::npos ? std::string_view() : option.substr(equals + 1);
    if (name == "estado") {
        if (value == "no") {
            uri->ask_status = false;
            return true;
        }
        if (value == "si" || value == "sí") return true;
        *error = "estado=" + std::string(value) + " no vale (estado=no o estado=si)";
        return false;
    }
    if (name == "plazo") {
        if (ParseSeconds(value, &uri->answer_wait)) return true;
        *error = "plazo=" + std::string(value) + " no vale (segundos, de 0.1 a 60)";
        return false;
    }
    *error = "opción desconocida: " + std::string(option);
    return false;
}

// The first control character of `text` (C0, DEL): a line end in a URI
// would start a line of its own in what the scheduler reads from the backend.
std::optional<unsigned char> ControlCharacter(std::string_view text) {
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) return byte;
    }
    return std::nullopt;
}

std::string Hex(unsigned char byte) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    return {kDigits[byte >> 4], kDigits[byte & 0xF]};
}

}  // namespace

std::string ShownUri(std::string_view text) {
    const auto scheme_end = text.find("://");
    const auto start = scheme_end == std::string_view::npos ? 0 : scheme_end + 3;
    // The last '@' ends whatever user and password there are, whichever of
    // '/', '?', '#', ':' or '@' the password holds, escaped or not.
    const auto at = text.rfind('@');
    std::string masked(text);
    if (at != std::string_view::npos && at >= start) masked.replace(start, at - start, "***");
    // A control character is shown escaped, so the text stays one line.
    std::string shown;
    for (const char c : masked) {
        const auto byte = static_cast<unsigned char>(c);
        shown += byte < 0x20 || byte == 0x7F ? "%" + Hex(byte) : std::string(1, c);
    }
    return shown;
}

std::optional<DeviceUri> ParseDeviceUri(std::string_view text, std::string* error) {
    std::string reason;
    DeviceUri uri;
    const bool ok = [&] {
        if (const auto control = ControlCharacter(text)) {
            reason = "lleva un carácter de control (byte 0x" + Hex(*control) + ")";
            return false;
        }
        // Before any part is split off and quoted: whatever is around an '@'
        // may be a password, wherever it ends.
        if (text.find('@') != std::string_view::npos) {
            reason = "la impresora no lleva usuario ni contraseña";
            return false;
        }
        if (!text.starts_with(kScheme)) {
            reason = "no empieza por escpos://";
            return false;
        }
        std::string_view rest = text.substr(kScheme.size());
        const auto query_at = rest.find('?');
        std::string_view query;
        if (query_at != std::string_view::npos) {
            query = rest.substr(query_at + 1);
            rest = rest.substr(0, query_at);
        }
        const auto slash = rest.find('/');
        if (slash != std::string_view::npos) {
            if (rest.substr(slash) != "/") {
                reason = "sobra la ruta " + std::string(rest.substr(slash));
                return false;
            }
            rest = rest.substr(0, slash);
        }
        if (!ParseAuthority(rest, &uri, &reason)) return false;
        while (!query.empty()) {
            const auto amp = query.find('&');
            if (!ParseOption(query.substr(0, amp), &uri, &reason)) return false;
            query = amp == std::string_view::npos ? std::string_view() : query.substr(amp + 1);
        }
        return true;
    }();
    if (ok) return uri;
    *error = "URI de impresora no válida (" + ShownUri(text) + "): " + reason;
    return std::nullopt;
}

std::string PrinterName(const DeviceUri& uri) {
    const bool v6 = uri.host.find(':') != std::string::npos;
    return (v6 ? "[" + uri.host + "]" : uri.host) + ":" + std::to_string(uri.port);
}

}  // namespace escposbackend
