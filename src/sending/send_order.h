#pragma once
// Storing one order: the ticket counter, the table's header and every line,
// as one InnoDB transaction on one connection. No widget inside, so several
// terminals can be simulated with threads.
#include <QString>
#include <QStringList>
#include <vector>

#include "data/connection.h"
#include "startup/server_clock.h"

namespace sending {

// The order as the screen holds it when ENVIAR is pressed.
struct OrderToSend {
    QString mesa;                    // table number (Label1[1])
    QString mesonero;                // waiter name (Label1[0])
    QString codVendedor;             // waiter code (cod_V)
    std::vector<QStringList> filas;  // grid rows 1.., 15 cells each; rows without code are skipped

    bool operator==(const OrderToSend&) const = default;
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
    // The send may already have committed (an earlier try with this id whose
    // outcome was not known): look before storing anything.
    bool comprobarAntes = false;
};

struct SendResult {
    bool committed = false;
    // The send failed without the server confirming that nothing was stored
    // (no connection could be made to ask); a retry with the same id checks first.
    bool outcomeUnknown = false;
    QString numero;              // this send's ticket number
    startup::ServerClock reloj;  // the server clock read by this send
    QString lastError;           // description of the error that stopped it
    int wholeSendRuns = 0;       // how many times the send was started
};

// The pause, in milliseconds, before whole-send run number `run` (2, 3, ...)
// after a collision: drawn from `random` within a window that doubles with
// each run (20, 40, 80 ... up to 320 ms), so terminals that collided spread
// out instead of colliding again.
int CollisionPauseMs(int run, quint32 random);

// A new, unique id for one send (stored with it in table envios).
QString NewSendId();

// Runs the send on `conexion`: statements are tried up to five times on the
// same connection; a lost connection or a deadlock reconnects, asks whether
// send `idEnvio` committed, and runs the whole send again if it did not.
// A send that cannot be stored is rolled back and reported in the result.
// Raises rt::RuntimeError, before anything is stored, when a quantity,
// price, tax or cost cell is no number.
SendResult SendOrder(data::Connection& conexion, const OrderToSend& pedido, const QString& idEnvio,
                     const SendOptions& opciones);

// Sets Mensaje to "Error en Base de datos..." with `description` and shows it.
void ReportSendFailure(const QString& description);

}  // namespace sending
