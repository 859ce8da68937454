#pragma once
// How the backend ends when CUPS cancels its job (SIGTERM): at once, taking
// back the reasons it reported, except while a ticket is being handed to
// the printer. A ticket cut off in the middle would be on paper in part and
// unknown to CUPS; one handed over whole is reported so (Handed) before the
// backend ends, so that whoever cancelled it learns it reached the printer.
#include <csignal>

namespace escposbackend {

// Installs the SIGTERM handler.
void EndOnCancel();

// While one lives, a cancel waits; when it goes, a cancel that came
// meanwhile ends the backend.
class WholeTicket {
public:
    WholeTicket();
    ~WholeTicket();
    WholeTicket(const WholeTicket&) = delete;
    WholeTicket& operator=(const WholeTicket&) = delete;
};

}  // namespace escposbackend
