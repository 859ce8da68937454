#pragma once
// The printing system of the machine: CUPS, through libcups.
//
// A kitchen printer is a raw queue (no driver): the ticket goes out as
// ESC/POS bytes, exactly as the printer takes them. Any other queue has a
// driver: the ticket is drawn as PDF pages, which the driver turns into
// whatever its printer needs.
#include <QString>
#include <chrono>

#include "sending/printing_system.h"

namespace printers {

using sending::JobPhase;
using sending::JobResult;
using sending::JobState;
using sending::QueueState;
using sending::PrinterList;
using sending::PrintingSystem;
using sending::Ticket;

class CupsConnection;

class CupsPrintingSystem final : public PrintingSystem {
public:
    static constexpr std::chrono::milliseconds kPlazoPorDefecto{5000};

    // `servidor`: the scheduler as CUPS_SERVER spells it (a socket path,
    // "host", "host:port"); empty, the machine's default. `plazo` bounds
    // every wait on the scheduler (connecting, sending, each answer).
    explicit CupsPrintingSystem(QString servidor = {},
                                std::chrono::milliseconds plazo = kPlazoPorDefecto);

    // The scheduler's printers and classes in its own order (by name).
    PrinterList InstalledPrinters() override;
    JobResult PrintTicket(const QString& printer, const Ticket& ticket) override;
    QueueState AskQueue(const QString& printer) override;
    JobState AskJob(const QString& printer, int trabajo) override;
    bool CancelJob(const QString& printer, int trabajo, QString* error) override;

private:
    JobResult PrintDrawn(CupsConnection& cups, const QString& printer, const Ticket& ticket);

    QString servidor_;
    std::chrono::milliseconds plazo_;
};

}  // namespace printers
