#pragma once
// What an ESC/POS printer's real-time status bytes say. The backend asks
// DLE EOT 1 (printer status), DLE EOT 2 (offline cause) and DLE EOT 4 (roll
// paper sensor); each answer is one byte with bits 1 and 4 set and bits 0
// and 7 clear.
#include <cstdint>
#include <optional>
#include <set>
#include <string>

namespace escposbackend {

struct PrinterStatus {
    bool offline = false;         // n=1 bit 3
    bool cover_open = false;      // n=2 bit 2
    bool paper_end = false;       // n=2 bit 5 or n=4 bits 5,6
    bool error = false;           // n=2 bit 6
    bool paper_near_end = false;  // n=4 bits 2,3
    bool operator==(const PrinterStatus&) const = default;
};

// The status the three answers give; nothing when one of them is not a
// status byte (the printer answered something else, or out of turn).
std::optional<PrinterStatus> DecodeStatus(std::uint8_t printer, std::uint8_t offline_cause,
                                          std::uint8_t paper);

// A fault that keeps the printer from printing (near end of paper does not).
bool Blocks(const PrinterStatus& status);

// The IPP printer-state-reasons CUPS shows for `status`: paper end is
// media-empty and media-needed, cover open door-open, an error other, offline
// for another cause offline-report; near end alone is media-low.
std::set<std::string> StateReasons(const PrinterStatus& status);

// What the kitchen staff read on the queue (Spanish), for a blocking status:
// "Sin papel", "Tapa abierta", ... joined with ", ".
std::string FaultMessage(const PrinterStatus& status);

}  // namespace escposbackend
