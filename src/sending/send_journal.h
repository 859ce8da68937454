#pragma once
// The terminal's own record of the send in flight, on its local disk (never
// the shared data folder): the order as sent, its id, the try whose COMMIT
// went out (the ticket number it drew, the server clock it read) and whether
// it is stored. It is written before the send starts and removed when the
// tickets are out, so a terminal switched off in the middle of ENVIAR finds
// the send again at its next start and settles it.
#include <QByteArray>
#include <QString>
#include <optional>
#include <vector>

#include "sending/send_order.h"

namespace sending {

struct JournalEntry {
    QString idEnvio;
    order::Order pedido;
    // The try whose COMMIT went out last; none while no COMMIT has been sent,
    // which means the send cannot have been stored.
    std::optional<SendInDoubt> intento;
    // The send committed (`intento` holds its number and clock); its tickets
    // may not all be out yet.
    bool guardado = false;
    // Its tickets already taken by the printing system (by their place in
    // the layout), so a restart or a retry never prints one twice.
    std::vector<int> impresas;

    bool operator==(const JournalEntry&) const = default;
};

// The entry as the journal file holds it (JSON), and back. Reading answers
// nullopt, with the reason in `error`, for a text that is not a whole entry.
QByteArray JournalToJson(const JournalEntry& entry);
std::optional<JournalEntry> JournalFromJson(const QByteArray& json, QString* error);

// The journal file of one terminal. Every write replaces the file as a whole
// and reaches the disk before it returns; a write that fails is logged and
// the send goes on (the journal guards against a power cut, it never stops
// an order).
class SendJournal {
public:
    explicit SendJournal(QString path) : path_(std::move(path)) {}

    const QString& Path() const { return path_; }
    enum class Sync { ToDisk, CacheOnly };
    bool Write(const JournalEntry& entry, Sync sync = Sync::ToDisk);
    // Removes the entry: nothing is in flight any more.
    void Close();

    enum class State { Empty, Found, Unreadable };
    struct Loaded {
        State state = State::Empty;
        JournalEntry entry;  // when Found
        QString error;       // when Unreadable
    };
    // Reads the entry left by an earlier run. An unreadable file is moved
    // aside (".ilegible") so it is reported once, not at every start.
    Loaded Load();

private:
    QString path_;
};

// Where this terminal keeps its journal: its own data folder
// (QStandardPaths' application data location), created when missing.
QString DefaultJournalPath();

}  // namespace sending
