#pragma once
// The device URI of a kitchen printer queue with our backend:
//   escpos://HOST[:PORT][/][?estado=no&plazo=SECONDS]
// PORT defaults to 9100 (the raw port of network ticket printers); HOST may
// be a name, an IPv4 address or a bracketed IPv6 address. estado=no: never
// ask the printer its status (print as a plain socket printer does);
// plazo: how long to wait for each status answer.
#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace escposbackend {

struct DeviceUri {
    std::string host;
    int port = 9100;
    bool ask_status = true;
    std::chrono::milliseconds answer_wait{1500};
};

// The parts of `uri`; nothing, with the reason in Spanish in `error`, when
// it is not an escpos:// URI this backend can use (a control character
// anywhere in it is refused).
std::optional<DeviceUri> ParseDeviceUri(std::string_view uri, std::string* error);

// `text` as the scheduler's log may show it: everything from the scheme's
// "://" to the last '@' (a user and password) is "***", and a control
// character is written as %XX.
std::string ShownUri(std::string_view text);

// "HOST:PORT", how messages and the status memory name the printer.
std::string PrinterName(const DeviceUri& uri);

}  // namespace escposbackend
