#pragma once
// Storing one order: the ticket counter, the table's header and every line,
// as one InnoDB transaction on one connection. No widget inside, so several
// terminals can be simulated with threads.
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

#include "data/connection.h"
#include "data/error_meaning.h"
#include "data/server_clock.h"
#include "order/order.h"
#include "sending/order_statements.h"

namespace sending {

// Where one try of a send stands, as far as the database can have seen it.
enum class TryPhase {
    // Its transaction may begin and its COMMIT go out, but what it drew under
    // the counter lock is not known here (not drawn yet, or the journal's copy
    // was lost with the power): only its send record can tell.
    Announced,
    // It drew its number and read its clock under the counter lock; its
    // COMMIT may have gone out.
    Numbered,
    // It committed: its number and clock are the order's.
    Stored,
};

// One try of a send: what finds it in the database. With the optional send
// record (table envios) its id answers exactly; without it, its ticket lines
// do (the number it drew under the counter lock, with its table, waiter,
// time and date).
struct SendTry {
    QString idEnvio;
    QString numero;              // ticket number it drew (Numbered, Stored)
    data::ServerClock reloj;     // server clock it read under the lock
    bool conRegistro = false;    // it writes its row in envios: look there
    TryPhase fase = TryPhase::Announced;
    // Its ticket lines' values as it wrote them; none for an entry left by
    // an older program, which is looked for with today's column widths.
    std::optional<WrittenTicket> escrito;

    bool Numbered() const { return fase != TryPhase::Announced; }
    bool operator==(const SendTry&) const = default;
};

// What the database says of a send, or of a try whose answer was lost.
enum class Verdict {
    // It committed (perhaps a try whose answer was lost, settled since).
    Stored,
    // It did not commit: the server rolled it back, or the try in doubt is
    // known not to have committed. The order may be sent (again).
    NotStored,
    // The server cannot be asked now (no connection could be made, or an
    // answer that passes): a retry passing `enDuda` checks first.
    NoAnswer,
    // The installation cannot tell whether the try in doubt committed: it
    // has no send record, the terminal may not read comanda, and the counter
    // moved; or the server answers an error that comes back on every try.
    CannotTell,
};

struct SendOptions {
    // Where to reconnect after a lost connection.
    QString connectionString;
    // Times the whole send is run at most (lost connection, deadlock). On a
    // Galera cluster sends on different nodes collide on the counter row
    // (error 1213). Measured with 16 terminals sending 800 orders without
    // pause over 3 nodes: the unluckiest send needed 10 to 15 runs, up to 19
    // in the build with sanitizers on a loaded machine, and up to 26 in 10 s
    // benchmark rounds; the bound leaves room above that. After a lost
    // connection a send stops as soon as the server cannot be reached, so
    // the bound does not lengthen it.
    int intentosEnvio = 40;
    // Connection attempts after a lost connection, each followed by a pause.
    int intentosConexion = 3;
    int pausaConexionMs = 300;
    // An earlier try of this same order whose outcome was not known: it is
    // settled before anything is stored.
    std::optional<SendTry> enDuda;
    // Only settle `enDuda`: the send is not run, whatever the answer.
    bool soloComprobar = false;
    // Called before a try's transaction begins, with what identifies it
    // (its id, whether it writes a send record; not numbered yet): the
    // journal makes it reach the disk here, where no other terminal waits.
    std::function<void(const SendTry&)> antesDeEmpezar;
    // Called with the numbered try just before its COMMIT goes out, while the
    // counter is locked: nothing here may wait for the disk.
    std::function<void(const SendTry&)> antesDeConfirmar;
    // Queries sent right after the COMMIT, in its round trip: the reads the
    // screen makes next. Their answers come back in SendResult::lecturas.
    QStringList lecturasDespues;
};

using data::FailureCause;

struct SendResult {
    Verdict outcome = Verdict::NotStored;
    FailureCause causa = FailureCause::Other;
    QString detalle;             // BadValue: which value and which column, in Spanish
    bool Stored() const { return outcome == Verdict::Stored; }
    // The try in doubt, when NoAnswer or CannotTell.
    std::optional<SendTry> enDuda;
    QString numero;              // this send's ticket number
    data::ServerClock reloj;  // the server clock read by this send
    QString lastError;           // description of the error that stopped it
    int wholeSendRuns = 0;       // how many times the send was started
    // Answers of SendOptions::lecturasDespues, in order: all of them, or
    // those before the first that failed (none when the send was settled).
    std::vector<data::ResultSet> lecturas;
};

// The pause, in milliseconds, before whole-send run number `run` (2, 3, ...)
// after a collision: drawn from `random` within a window that doubles with
// each run (20, 40, 80 ... up to 320 ms), so terminals that collided spread
// out instead of colliding again.
int CollisionPauseMs(int run, quint32 random);

// A new, unique id for one send (stored with it in table envios, where the
// installation has that table).
QString NewSendId();

// Runs the send on `conexion`: a statement the server refuses for a passing
// reason is tried up to five times on the same connection; a lost connection
// or a deadlock reconnects and runs the whole send again; a lost answer to
// COMMIT is settled first (did the send commit?), from table envios where the
// installation has it, from its ticket lines otherwise. A lock wait that runs
// out and a value its column cannot hold are not tried again. Text values are
// cut to the widths of the installation's columns, learnt once per connection.
// A send that cannot be stored is rolled back and reported in the result.
// Raises rt::RuntimeError, before anything is stored, when a quantity,
// price, tax or cost is not a finite number.
SendResult SendOrder(data::Connection& conexion, const order::Order& pedido, const QString& idEnvio,
                     const SendOptions& opciones);

}  // namespace sending
