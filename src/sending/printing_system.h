#pragma once
// The seam to the machine's printing system. Production uses CUPS
// (CupsPrintingSystem); tests may put their own in with SetPrintingSystem.
#include <QString>
#include <QStringList>
#include <memory>

#include "sending/ticket.h"

namespace sending {

struct PrinterList {
    bool ok = false;       // false: the printing system could not be asked
    QString error;         // why, when !ok
    QStringList printers;  // installed printers' names, in the system's list order
};

struct JobResult {
    bool ok = false;  // true: the printing system accepted the whole job
    QString error;    // why not, when !ok
    // The printing system could not be reached or did not answer in time:
    // the next job would wait as long, so the caller does not try it.
    bool sinRespuesta = false;
};

class PrintingSystem {
public:
    virtual ~PrintingSystem() = default;
    virtual PrinterList InstalledPrinters() = 0;
    // Sends `ticket` to `printer` as one job.
    virtual JobResult PrintTicket(const QString& printer, const Ticket& ticket) = 0;
};

// The printing system in use (CUPS unless a test replaced it).
PrintingSystem& CurrentPrintingSystem();
// Replaces the printing system; nullptr puts CUPS back.
void SetPrintingSystem(std::unique_ptr<PrintingSystem> sistema);

}  // namespace sending
