#pragma once
// The statement texts of one send, built from plain values. Every value that
// stands between single quotes is cut to what its column holds and goes
// through the escape function the caller passes (production: data::SqlText
// on the send's connection), so names, notes and side dishes with ' or \ are
// stored exactly as typed, and a name longer than the installation's column
// is stored cut rather than refused with the whole order.
#include <QDate>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

#include "data/column_widths.h"
#include "order/order.h"

namespace sending {

using EscapeFn = std::function<QString(const QString&)>;

// How a text value enters a statement: cut to the width of its column (when
// the widths are known), then escaped.
class TextValues {
public:
    TextValues(EscapeFn escape, const data::ColumnWidths* widths = nullptr)  // NOLINT: implicit
        : escape_(std::move(escape)), widths_(widths) {}
    QString operator()(const char* table, const char* column, const QString& text) const;
    // `text` cut to its column, not escaped.
    QString Cut(const char* table, const char* column, const QString& text) const;
    // `text` escaped, not cut: a value that was cut when it was written.
    QString Escape(const QString& text) const { return escape_(text); }

private:
    EscapeFn escape_;
    const data::ColumnWidths* widths_;
};

// The counter, locked until the send commits: sends of all terminals are
// serialised on this row, so no two draw the same ticket number and the
// header test-and-insert of a table cannot race either.
inline const QString kSqlContador =
    QStringLiteral("select control_Comanda from mantenimiento for update");
inline const QString kSqlInicio = QStringLiteral("START TRANSACTION");
inline const QString kSqlConfirmar = QStringLiteral("COMMIT");
inline const QString kSqlDeshacer = QStringLiteral("ROLLBACK");

// A number as SQL writes it: the general number format with "." as decimal
// point (1234.5 → "1234.5", 3 → "3"). Raises RuntimeError 6 for a number that
// is not finite.
QString SqlNumber(double value);

// The ticket number after `numero` ("41" → "42"), as a plain integer.
QString NextTicketNumber(const QString& numero);

// One column of a row the send writes: a text (cut to its column and
// escaped when the statement is built) or a number as SQL writes it.
struct Field {
    const char* column;
    QString value;
    bool quoted = true;
};

// A row the send writes, as its statement lists it: the same description
// builds the statement and names the value of a column the server refused.
struct Row {
    const char* table;
    std::vector<Field> fields;
    // The value written in `column` (in any letter case) as it went into the
    // statement, cut to its column; empty when the row has no such column.
    QString Written(const QString& column, const TextValues& esc) const;
};

// "INSERT INTO table (a,b,...) values ('x',1,...);"
QString InsertInto(const Row& row, const TextValues& esc);

// "update mantenimiento set control_Comanda='N+1';"
QString ActualizarContador(const QString& numero, const TextValues& esc);

// "Select * FROM Factura_r where n_factura='mesa';"
QString BuscarCabecera(const QString& mesa, const TextValues& esc);

// The header of table `mesa`, dated `fecha` ("yyyy-mm-dd").
QString InsertarCabecera(const QString& mesa, const QString& codVendedor, const QDate& fecha,
                         const TextValues& esc);

Row HeaderRow(const QString& mesa, const QString& codVendedor, const QDate& fecha);

// The D_Fact_r row of order line `line` under table `mesa`.
Row LineRow(const QString& mesa, const order::Line& line);
QString InsertarLinea(const QString& mesa, const order::Line& line, const TextValues& esc);

// What a ticket line carries besides its order line.
struct TicketContext {
    QString numero;    // ticket number as read from the counter ("" without counter row)
    QString mesonero;  // waiter name
    QString hora;      // time of day of the send; its first 10 characters are written
    QDate fecha;       // server date of the send, written "yyyy,mm,dd"
    QString mesa;      // table number
};

// The comanda row of order line `line`.
Row TicketRow(const TicketContext& ticket, const order::Line& line);
QString InsertarComanda(const TicketContext& ticket, const order::Line& line, const TextValues& esc);

// The values that identify a send's ticket lines, exactly as they went into
// its statements (cut to the columns of that moment). A later settle looks
// for these, not for the values cut again to what the columns hold by then.
struct WrittenTicket {
    QString numero, mesa, mesonero, hora, fecha;
    bool operator==(const WrittenTicket&) const = default;
};
WrittenTicket TicketAsWritten(const TicketContext& ticket, const TextValues& esc);

// Ticket lines written with `written`: after a lost answer to COMMIT on an
// installation without the send record, their presence tells that the send
// committed. The values are escaped, not cut again.
QString ContarComanda(const WrittenTicket& written, const TextValues& esc);

// The optional send record (table envios), written in the send's transaction:
// after a lost connection it tells whether the send committed. The probe runs
// once per connection and stores nothing; it fails unless the table is there
// with the columns and the rights the send needs.
inline const QString kSqlSondaEnvios = QStringLiteral(
    "INSERT INTO envios (id_envio,numero,mesa) SELECT id_envio,numero,mesa FROM envios WHERE 1=0");
Row RecordRow(const QString& idEnvio, const QString& numero, const QString& mesa);
QString RegistrarEnvio(const QString& idEnvio, const QString& numero, const QString& mesa,
                       const TextValues& esc);
// Its ticket number, when the send `idEnvio` committed (no row otherwise).
QString BuscarEnvio(const QString& idEnvio, const TextValues& esc);

}  // namespace sending
