#pragma once
// The terminal's own record of the send in flight, on its local disk (never
// the shared data folder): the order as sent, its id, the try whose COMMIT
// went out (the ticket number it drew, the server clock it read) and whether
// it is stored. It is written before the send starts and removed when the
// tickets are out, so a terminal switched off in the middle of ENVIAR finds
// the send again at its next start and settles it.
#include <QByteArray>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

#include "sending/journal_disk.h"
#include "sending/journal_path.h"
#include "sending/durable_file.h"
#include "sending/send_order.h"
#include "sending/ticket.h"

namespace sending {

struct JournalEntry {
    QString idEnvio;
    order::Order pedido;
    // The try whose COMMIT went out last, in its phase; none while no COMMIT
    // has been sent, which means the send cannot have been stored. Stored:
    // the send committed under its number and clock; its tickets may not all
    // be out yet.
    std::optional<SendTry> intento;
    // Its tickets already taken by the printing system, so a restart or a
    // retry never prints one twice: by their identity, or, in an entry of
    // an earlier program, by their place in the layout (`impresasPorLugar`).
    std::vector<TicketId> impresas;
    // The installation it was sent to (empty in entries of earlier programs).
    QString servidor;
    QString base;
    // An earlier program's `impresas`, by place.
    std::vector<int> impresasPorLugar;
    // The send's tickets as laid out, kept from the moment the first one is
    // handed to the printing system: a restart prints the missing ones from
    // these, whatever Modelo.txt says by then.
    std::vector<Ticket> comandas;
    // The port it was sent to; 0 in entries written before the port was kept.
    unsigned int puerto = 0;

    bool Stored() const { return intento && intento->fase == TryPhase::Stored; }
    bool operator==(const JournalEntry&) const = default;
};

// The entry as the journal file holds it (JSON), and back. Reading answers
// nullopt, with the reason in `error`, for a text that is not a whole entry.
QByteArray JournalToJson(const JournalEntry& entry);
std::optional<JournalEntry> JournalFromJson(const QByteArray& json, QString* error);

// The journal file of one terminal and installation. A write replaces the
// file as a whole, so a power cut leaves the old entry or the new one, never
// half of one; a write that fails is logged and the send goes on (the
// journal guards against a power cut, it never stops an order). Every file
// it makes is this user's alone (0600, in a 0700 folder).
class SendJournal {
public:
    // `disk`: the file operations (nullptr: the process's POSIX disk).
    explicit SendJournal(QString path, JournalDisk* disk = nullptr);

    const QString& Path() const { return file_.Path(); }

    // When a write reaches the disk (see DurableFile::Sync): ToDisk for what
    // a power cut must not take, CacheOnly while the ticket counter is
    // locked, Later for a ticket taken by the printer and the removal once
    // the tickets are out, where the waiter should not wait for the disk.
    using Sync = DurableFile::Sync;
    // False when the write failed (logged); a Later write answers true and
    // logs its own failure.
    bool Write(const JournalEntry& entry, Sync sync = Sync::ToDisk);
    // Removes the entry, for good on the disk (CacheOnly: not waited for):
    // nothing is in flight any more.
    bool Close(Sync sync = Sync::ToDisk);
    // Returns once every Later entry or removal has reached the disk.
    void Flush() { file_.Flush(); }

    enum class State { Empty, Found, Unreadable, Foreign };
    struct Loaded {
        State state = State::Empty;
        JournalEntry entry;  // when Found or Foreign
        QString error;       // when Unreadable
        QString keptAs;      // when Unreadable or Foreign: where the file is now
    };
    // Reads the entry left by an earlier run. An unreadable file is moved
    // aside (".ilegible", or ".ilegible.2"... beside earlier ones) so it is
    // reported once, not at every start. Given the installation the terminal
    // sends to: an entry of another server, port or database is Foreign,
    // moved aside (".otra-base") and never settled here; an entry that
    // records none (an earlier program's) is taken as this installation's,
    // and one that records no port as sent to this one's.
    Loaded Load(const std::optional<Installation>& expected = std::nullopt);

    // The journal an earlier program kept at `earlierPath` (a name of
    // EarlierJournalPaths) becomes this one when this one has no file. A
    // name two installations shared is taken by the first to start; Load
    // then tells an entry of the other by the server and database it
    // records (Foreign), and takes an entry that records none, as the
    // earlier programs did, for this installation's. True when taken over.
    bool TakeOverEarlier(const QString& earlierPath);

private:
    DurableFile file_;
};

}  // namespace sending
