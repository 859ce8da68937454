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
    // The job the printing system made of it (when ok), to follow to its end.
    int trabajo = 0;
};

// What a print queue says of itself now.
struct QueueState {
    bool answered = false;  // false: it could not be asked (see error)
    QString error;
    bool accepting = true;   // it takes new jobs
    bool stopped = false;    // stopped or paused: it holds its jobs unprinted
    bool processing = false; // printing a job now: its printer's word is current
    QStringList reasons;     // why, as the standard keywords ("media-empty", "door-open", ...)
    QString message;         // its own last word, as a person reads it
};

// Where a job stands.
enum class JobPhase { Pending, Held, Processing, Stopped, Canceled, Aborted, Completed, Gone };
struct JobState {
    bool answered = false;  // false: it could not be asked (see error)
    QString error;
    JobPhase phase = JobPhase::Pending;
    QStringList reasons;  // the job's own reasons, as the printing system words them
    // Sheets its backend reports handed to the printer whole (CUPS's
    // job-impressions-completed): more than 0 once the ticket left CUPS for
    // good, whatever the job's state after that.
    int hojas = 0;
};

class PrintingSystem {
public:
    virtual ~PrintingSystem() = default;
    virtual PrinterList InstalledPrinters() = 0;
    // Sends `ticket` to `printer` as one job.
    virtual JobResult PrintTicket(const QString& printer, const Ticket& ticket) = 0;

    // A printing system that cannot tell more than that it took a job
    // answers these as one whose queues are always ready and whose jobs are
    // printed the moment they are taken.
    virtual QueueState AskQueue(const QString& printer);
    virtual JobState AskJob(const QString& printer, int trabajo);
    // Cancels the job so that it never prints; false, with the reason, when
    // it could not be cancelled (it may have ended meanwhile: ask it).
    virtual bool CancelJob(const QString& printer, int trabajo, QString* error);
};

// The printing system in use: the one set last, else the program's own. A
// program that set none has no printer: every list it asks for fails.
PrintingSystem& CurrentPrintingSystem();
// The same, kept alive by the caller while it uses it from another thread
// (a printing system set meanwhile does not pull it away).
std::shared_ptr<PrintingSystem> SharedPrintingSystem();
// Puts `sistema` in over the program's own; nullptr puts that back.
void SetPrintingSystem(std::unique_ptr<PrintingSystem> sistema);
// The program's own printing system, set once at start.
void SetProgramPrintingSystem(std::unique_ptr<PrintingSystem> sistema);

}  // namespace sending
