#include "sending/order_statements.h"

#include <QDateTime>
#include <initializer_list>

#include "order_screen/order_lines.h"
#include "runtime/date_format.h"
#include "runtime/number_format.h"

namespace sending {
namespace {

using namespace order_screen;

// One value of a value list: quoted text, or an SQL number as it stands.
struct Value {
    QString text;
    bool quoted;
};

Value Text(const QString& text, const EscapeFn& esc) {
    return {esc(text), true};
}
Value Number(const QString& cell) {
    return {SqlNumber(cell), false};
}

// "('a','b',1,2,'c')": text values in quotes, all joined by ",", which gives
// the separators "('" "','" "'," "," ",'" "')" wherever each applies.
QString ValueList(std::initializer_list<Value> values) {
    QString out = QStringLiteral("(");
    bool first = true;
    for (const Value& v : values) {
        if (!first) out += QLatin1Char(',');
        first = false;
        if (v.quoted)
            out += QLatin1Char('\'') + v.text + QLatin1Char('\'');
        else
            out += v.text;
    }
    return out + QLatin1Char(')');
}

QString Cell(const QStringList& row, int col) {
    return col < row.size() ? row.at(col) : QString();
}

QString DateText(const QDate& date, const QString& mask) {
    return rt::FormatDate(QDateTime(date, QTime(0, 0)), mask);
}

}  // namespace

QString SqlNumber(const QString& cell) {
    return rt::GeneralNumber(rt::CDbl(cell)).replace(QLatin1Char(','), QLatin1Char('.'));
}

QString NextTicketNumber(const QString& numero) {
    return QString::number(rt::CDbl(numero) + 1, 'f', 0);
}

QString ActualizarContador(const QString& numero, const EscapeFn& esc) {
    return QStringLiteral("update mantenimiento set control_Comanda='") +
           esc(NextTicketNumber(numero)) + QStringLiteral("';");
}

QString BuscarCabecera(const QString& mesa, const EscapeFn& esc) {
    return QStringLiteral("Select * FROM Factura_r where n_factura='") + esc(mesa) +
           QStringLiteral("';");
}

QString InsertarCabecera(const QString& mesa, const QString& codVendedor, const QDate& fecha,
                         const EscapeFn& esc) {
    return QStringLiteral(
               "INSERT INTO Factura_r (N_Factura,ced_cliente,Fecha_factura,Cod_Vendedor) values ") +
           ValueList({Text(mesa, esc), Text(mesa, esc), Text(DateText(fecha, "yyyy-mm-dd"), esc),
                      Text(codVendedor, esc)}) +
           QLatin1Char(';');
}

bool IsOrderLine(const QStringList& row) {
    return !Cell(row, kColCodigo).isEmpty();
}

QString InsertarLinea(const QString& mesa, const QStringList& row, const EscapeFn& esc) {
    return QStringLiteral(
               "INSERT INTO D_Fact_r (n_factura,cod_producto,cantidad,monto,d_iva,costo,"
               "contorno1,contorno2,contorno3,termino,cod_vendedor,deposito,observacion)"
               " values ") +
           ValueList({Text(mesa, esc), Text(Cell(row, kColCodigo), esc),
                      Number(Cell(row, kColCant)), Number(Cell(row, kColPrecio)),
                      Number(Cell(row, kColIva)), Number(Cell(row, kColCosto)),
                      Text(Cell(row, kColContorno1), esc), Text(Cell(row, kColContorno2), esc),
                      Text(Cell(row, kColContorno3), esc), Text(Cell(row, kColTermino), esc),
                      Text(Cell(row, kColCodVendedor), esc), Text(Cell(row, kColDeposito), esc),
                      Text(Cell(row, kColObservacion), esc)}) +
           QLatin1Char(';');
}

QString InsertarComanda(const TicketContext& t, const QStringList& row, const EscapeFn& esc) {
    return QStringLiteral(
               "INSERT INTO comanda (numero,nom_producto,cantidad,monto,mesonero,hora,fecha,"
               "mesa,contorno1,contorno2,contorno3,termino,observacion) values ") +
           ValueList({Text(t.numero, esc), Text(Cell(row, kColNombre), esc),
                      Number(Cell(row, kColCant)), Number(Cell(row, kColPrecio)),
                      Text(t.mesonero, esc), Text(t.hora.left(10), esc),
                      Text(DateText(t.fecha, "yyyy,mm,dd"), esc), Text(t.mesa, esc),
                      Text(Cell(row, kColContorno1), esc), Text(Cell(row, kColContorno2), esc),
                      Text(Cell(row, kColContorno3), esc), Text(Cell(row, kColTermino), esc),
                      Text(Cell(row, kColObservacion), esc)}) +
           QLatin1Char(';');
}

QString RegistrarEnvio(const QString& idEnvio, const QString& numero, const QString& mesa,
                       const EscapeFn& esc) {
    return QStringLiteral("INSERT INTO envios (id_envio,numero,mesa) values ") +
           ValueList({Text(idEnvio, esc), Text(numero, esc), Text(mesa, esc)}) + QLatin1Char(';');
}

QString BuscarEnvio(const QString& idEnvio, const EscapeFn& esc) {
    return QStringLiteral("select numero from envios where id_envio='") + esc(idEnvio) +
           QStringLiteral("';");
}

}  // namespace sending
