#pragma once
// What keeps a kitchen printer from printing, read from what the printing
// system says of the queue and of each job, and how the waiter is told.
// Plain functions: the follower of jobs and the printing before a send ask
// them.
#include <QString>
#include <chrono>

#include "sending/printing_system.h"

namespace sending {

enum class PrinterFault {
    None,
    Stopped,       // the queue is stopped or paused: it holds every job unprinted
    Rejecting,     // the queue takes no new job
    PaperOut,      // the printer says so (media-empty, media-needed)
    CoverOpen,     // door-open, cover-open
    Offline,       // offline-report: the printer does not answer or is off line
    NotCompleted,  // the job did not complete within the time limit
    JobHeld,       // the job was put on hold
    JobCancelled,  // the job was cancelled (by someone at the printing system)
    JobAborted,    // the printing system gave the job up after an error
    JobGone,       // the printing system no longer knows the job
    NoAnswer,      // the printing system could not be asked within the time limit
    Other,         // the printing system refused the job; its words say why
};

// The fault of a queue that would keep a ticket sent now from printing, or
// None. The printer's own word comes first (a stopped queue whose printer
// ran out of paper is out of paper), heard only while the queue prints or
// is stopped; a queue that could not be asked has no fault known here
// (sending the job will tell).
PrinterFault QueueFault(const QueueState& cola);

// What became of a job followed since `desde` ago, with its queue as it is
// now. Printed once completed, or once its backend said the printer took it
// whole and the job is no longer printing; a printed job still alive is
// cancelled by the caller, so that CUPS never prints it again.
struct JobVerdict {
    enum class Kind { Printed, Waiting, Failed } kind = Kind::Waiting;
    PrinterFault fault = PrinterFault::None;  // when Failed
};
JobVerdict JudgeJob(const JobState& trabajo, const QueueState& cola, std::chrono::milliseconds desde,
                    std::chrono::milliseconds plazo);

// The waiter's words for `fault` on `impresora`; `plazo` for NotCompleted,
// `detalle` (the printing system's own words) for Other.
QString FaultText(PrinterFault fault, const QString& impresora, std::chrono::milliseconds plazo,
                  const QString& detalle = {});

// `motivo` joined to the reasons already in `motivos` (" / " between
// them), unless it is empty or there already: one text for several tickets.
void AddReason(QString& motivos, const QString& motivo);

// The time a job has to complete, as the technician sets it in seconds
// (PEDIDOS_PLAZO_IMPRESION); 15 s when unset. A value that is not a whole
// number of seconds from 2 to 600 keeps the default, with the reason in
// `aviso`.
inline constexpr std::chrono::milliseconds kPlazoImpresionPorDefecto{15000};
std::chrono::milliseconds PrintTimeLimit(const QString& valor, QString* aviso);
// The same, from the environment.
std::chrono::milliseconds ConfiguredPrintTimeLimit();

}  // namespace sending
