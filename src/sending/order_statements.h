#pragma once
// The statement texts of one send, built from plain values. Every value that
// stands between single quotes goes through the escape function the caller
// passes (production: data::SqlText on the send's connection), so names,
// notes and side dishes with ' or \ are stored exactly as typed.
#include <QDate>
#include <QString>
#include <QStringList>
#include <functional>

namespace sending {

using EscapeFn = std::function<QString(const QString&)>;

// The counter, locked until the send commits: sends of all terminals are
// serialised on this row, so no two draw the same ticket number and the
// header test-and-insert of a table cannot race either.
inline const QString kSqlContador =
    QStringLiteral("select control_Comanda from mantenimiento for update");
inline const QString kSqlInicio = QStringLiteral("START TRANSACTION");
inline const QString kSqlConfirmar = QStringLiteral("COMMIT");
inline const QString kSqlDeshacer = QStringLiteral("ROLLBACK");

// A masked grid cell as an SQL number: read under the regional formats,
// written back in the general number format with "." as decimal point
// ("1.234,50" → "1234.5", "12,5" → "12.5"). Raises RuntimeError 13 for a cell
// that is no number.
QString SqlNumber(const QString& cell);

// The ticket number after `numero` ("41" → "42"), as a plain integer.
QString NextTicketNumber(const QString& numero);

// "update mantenimiento set control_Comanda='N+1';"
QString ActualizarContador(const QString& numero, const EscapeFn& esc);

// "Select * FROM Factura_r where n_factura='mesa';"
QString BuscarCabecera(const QString& mesa, const EscapeFn& esc);

// The header of table `mesa`, dated `fecha` ("yyyy-mm-dd").
QString InsertarCabecera(const QString& mesa, const QString& codVendedor, const QDate& fecha,
                         const EscapeFn& esc);

// True when a grid row (its 15 cells) is an order line: its code is not empty.
bool IsOrderLine(const QStringList& row);

// The D_Fact_r row of grid row `row` under table `mesa`.
QString InsertarLinea(const QString& mesa, const QStringList& row, const EscapeFn& esc);

// What a ticket line carries besides its grid row.
struct TicketContext {
    QString numero;    // ticket number as read from the counter ("" without counter row)
    QString mesonero;  // waiter name
    QString hora;      // time of day of the send; its first 10 characters are written
    QDate fecha;       // server date of the send, written "yyyy,mm,dd"
    QString mesa;      // table number
};

// The comanda row of grid row `row`.
QString InsertarComanda(const TicketContext& ticket, const QStringList& row, const EscapeFn& esc);

// The record of one send, written in the send's transaction: after a lost
// connection it tells whether the send committed.
QString RegistrarEnvio(const QString& idEnvio, const QString& numero, const QString& mesa,
                       const EscapeFn& esc);
// Its ticket number, when the send `idEnvio` committed (no row otherwise).
QString BuscarEnvio(const QString& idEnvio, const EscapeFn& esc);

}  // namespace sending
