#pragma once
// The kitchen tickets this terminal handed to the printing system and that
// are not known to be on paper yet. A ticket is printed when its job has
// completed; until then it is followed here, in the background, so the
// waiter goes on with the next table. A job that is held, stopped,
// cancelled or aborted, whose printer says it cannot print (out of paper,
// cover open, off line) or that does not complete in time, is cancelled and
// its ticket kept as failed, until the waiter prints it again or gives it
// up. The list lives in a file of the terminal's own (beside the send
// journal), so a restart follows the same jobs and offers the same failures.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "sending/durable_file.h"
#include "sending/printer_faults.h"
#include "sending/terminal_clock.h"
#include "sending/ticket.h"

namespace sending {

class PrintingSystem;

struct FollowedTicket {
    QString idEnvio;    // the send it belongs to
    QString numero;     // its ticket number
    QString mesa;
    QString impresora;  // the printer as installed
    TicketId id;        // which of the send's tickets it is
    Ticket ticket;
    int trabajo = 0;    // the printing system's job while followed
    qint64 desde = 0;   // when that job was handed over (ms since the epoch)
    // The same on the monotonic clock, which its time limit is counted on
    // (not in the file: a list read from it is put there when read).
    TerminalClock::Monotonic::time_point entregado{};
    bool fallida = false;
    PrinterFault causa = PrinterFault::None;  // why it failed
    QString motivo;     // the same in the waiter's words
    // The printing system it was handed to (not in the file: one read from
    // it is followed on the follower's own).
    std::shared_ptr<PrintingSystem> sistema;

    bool operator==(const FollowedTicket&) const = default;
};

// The failed tickets of one send, offered again together.
struct FailedPrint {
    QString idEnvio;
    QString numero;
    QString mesa;
    QString impresora;
    QStringList titulos;
    QString motivo;
};

// The list as its file holds it (JSON), and back; nullopt, with the reason
// naming the field, for a text that is not a whole list (the list of an
// earlier program, which kept each ticket as printer operations, is one). A
// ticket held twice is read once; two copies that disagree are refused.
QByteArray FollowedToJson(const std::vector<FollowedTicket>& tickets);
std::optional<std::vector<FollowedTicket>> FollowedFromJson(const QByteArray& json, QString* error);

class TicketFollower {
public:
    // `plazo`: the time a job has to complete. `disk`: the file operations
    // (nullptr: the process's own disk). `sistema`: the printing system of
    // the tickets handed over without one, and of those an earlier run left
    // (nullptr: the one in force now). `reloj`: the terminal's clocks.
    TicketFollower(QString path, std::chrono::milliseconds plazo, JournalDisk* disk = nullptr,
                   std::shared_ptr<PrintingSystem> sistema = nullptr,
                   TerminalClock reloj = TerminalClock::System());
    ~TicketFollower();  // stops following (the file keeps what is pending)
    TicketFollower(const TicketFollower&) = delete;
    TicketFollower& operator=(const TicketFollower&) = delete;

    const QString& Path() const { return file_.Path(); }
    const std::shared_ptr<PrintingSystem>& Sistema() const { return sistema_; }

    // Takes what an earlier run left. An unreadable file is moved aside
    // (".ilegible", or ".ilegible.2"... beside earlier ones; KeptAs says
    // where) and its reason returned; it is then empty.
    QString Load();
    // Where the last unreadable file went (Path itself when it could not be
    // moved), for the message that names it.
    const QString& KeptAs() const { return keptAs_; }
    // The tickets file an earlier program kept at `earlierPath`
    // (EarlierTicketsPath) becomes this one when this one has no file. It
    // records no installation: a name two installations shared goes to the
    // first to start, as both used it before. True when taken over.
    bool TakeOverEarlier(const QString& earlierPath);

    // Called on the follower's own thread each time tickets fail.
    void SetOnFailure(std::function<void()> avisar);

    // A ticket just handed over as its job `trabajo` (on its `sistema`):
    // followed from now, in place of any copy of it kept (a ticket is kept
    // once, followed or failed).
    void Follow(FollowedTicket ticket);
    // Tickets that did not reach the printer: kept to be offered again. One
    // whose job is still followed is left to that job.
    void Fail(std::vector<FollowedTicket> tickets);

    // The sends with failed tickets, oldest first.
    std::vector<FailedPrint> Failed() const;
    // The failed tickets of `idEnvio` go to their printer again (the queue
    // asked first): those taken are followed, the others stay failed with
    // the new reason. Runs on the caller's thread.
    void Reprint(const QString& idEnvio);
    // The waiter gave the failed tickets of `idEnvio` up: they are dropped.
    void GiveUp(const QString& idEnvio);

    // Every ticket kept, followed and failed.
    std::vector<FollowedTicket> Tickets() const;
    // Waits until no ticket is followed any more; true when so within `limite`.
    bool WaitUntilSettled(std::chrono::milliseconds limite);

private:
    void Run();
    void Poll();
    void SaveLocked();
    void WakeLocked();
    std::vector<FollowedTicket>::iterator KeptLocked(const FollowedTicket& t);

    DurableFile file_;
    QString keptAs_;
    std::chrono::milliseconds plazo_;
    const TerminalClock reloj_;
    const std::shared_ptr<PrintingSystem> sistema_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<FollowedTicket> tickets_;
    std::function<void()> avisar_;
    bool stop_ = false;
    std::thread thread_;
};

}  // namespace sending
