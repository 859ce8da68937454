#include "escpos_backend/status_bytes.h"

namespace escposbackend {
namespace {

bool IsStatusByte(std::uint8_t b) {
    return (b & 0x93) == 0x12;
}

bool Bit(std::uint8_t b, int bit) {
    return (b >> bit) & 1;
}

}  // namespace

std::optional<PrinterStatus> DecodeStatus(std::uint8_t printer, std::uint8_t offline_cause,
                                          std::uint8_t paper) {
    if (!IsStatusByte(printer) || !IsStatusByte(offline_cause) || !IsStatusByte(paper))
        return std::nullopt;
    PrinterStatus status;
    status.offline = Bit(printer, 3);
    status.cover_open = Bit(offline_cause, 2);
    // Some printers set only one of the two paper-end bits of n=4.
    status.paper_end = Bit(offline_cause, 5) || Bit(paper, 5) || Bit(paper, 6);
    status.error = Bit(offline_cause, 6);
    status.paper_near_end = Bit(paper, 2) || Bit(paper, 3);
    return status;
}

bool Blocks(const PrinterStatus& status) {
    return status.offline || status.cover_open || status.paper_end || status.error;
}

std::set<std::string> StateReasons(const PrinterStatus& status) {
    std::set<std::string> reasons;
    if (status.paper_end) reasons.insert({"media-empty", "media-needed"});
    else if (status.paper_near_end) reasons.insert("media-low");
    if (status.cover_open) reasons.insert("door-open");
    if (status.error) reasons.insert("other");
    // Paper end and an open cover already take the printer offline: that
    // they do is no news.
    if (status.offline && !status.paper_end && !status.cover_open && !status.error)
        reasons.insert("offline-report");
    return reasons;
}

std::string FaultMessage(const PrinterStatus& status) {
    std::string message;
    const auto add = [&message](const char* part) {
        if (!message.empty()) message += ", ";
        message += part;
    };
    if (status.paper_end) add("Sin papel");
    if (status.cover_open) add("Tapa abierta");
    if (status.error) add("Error de la impresora");
    if (message.empty() && status.offline) add("Fuera de línea");
    return message;
}

}  // namespace escposbackend
