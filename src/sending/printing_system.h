#pragma once
// The seam to the machine's printing system. The program sets its own at
// start (the terminal: CUPS, in the screens library); tests may put another
// in over it with SetPrintingSystem.
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

// The printing system in use: the one set last, else the program's own. A
// program that set none has no printer: every list it asks for fails.
PrintingSystem& CurrentPrintingSystem();
// Puts `sistema` in over the program's own; nullptr puts that back.
void SetPrintingSystem(std::unique_ptr<PrintingSystem> sistema);
// The program's own printing system, set once at start.
void SetProgramPrintingSystem(std::unique_ptr<PrintingSystem> sistema);

}  // namespace sending
