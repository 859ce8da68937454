#include "sending/order_statements.h"

#include <QDateTime>
#include <QDebug>
#include <initializer_list>

#include "runtime/date_format.h"
#include "runtime/number_format.h"

namespace sending {
namespace {

// One value of a value list: quoted text, or an SQL number as it stands.
struct Value {
    QString text;
    bool quoted;
};

Value Text(const TextValues& esc, const char* table, const char* column, const QString& text) {
    return {esc(table, column, text), true};
}
Value Number(double value) {
    return {SqlNumber(value), false};
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

// Side dish `i` of a line, empty when it has fewer.
QString Contorno(const order::Line& line, int i) {
    return line.contornos.value(i);
}

QString DateText(const QDate& date, const QString& mask) {
    return rt::FormatDate(QDateTime(date, QTime(0, 0)), mask);
}

QString TicketTime(const TicketContext& t) {
    return t.hora.left(10);
}
QString TicketDate(const TicketContext& t) {
    return DateText(t.fecha, "yyyy,mm,dd");
}

}  // namespace

QString TextValues::Cut(const char* table, const char* column, const QString& text) const {
    if (widths_ == nullptr) return text;
    const QString fitted = widths_->Fit(QString::fromLatin1(table), QString::fromLatin1(column), text);
    if (fitted.size() != text.size())
        qWarning().noquote() << "send:" << text.size() << "characters cut to" << fitted.size()
                             << "to fit" << table << "." << column;
    return fitted;
}

QString TextValues::operator()(const char* table, const char* column, const QString& text) const {
    return escape_(Cut(table, column, text));
}

QString SqlNumber(double value) {
    return rt::GeneralNumber(value).replace(QLatin1Char(','), QLatin1Char('.'));
}

QString NextTicketNumber(const QString& numero) {
    return QString::number(rt::CDbl(numero) + 1, 'f', 0);
}

QString ActualizarContador(const QString& numero, const TextValues& esc) {
    return QStringLiteral("update mantenimiento set control_Comanda='") +
           esc("mantenimiento", "control_Comanda", NextTicketNumber(numero)) + QStringLiteral("';");
}

QString BuscarCabecera(const QString& mesa, const TextValues& esc) {
    return QStringLiteral("Select * FROM Factura_r where n_factura='") +
           esc("Factura_r", "N_Factura", mesa) + QStringLiteral("';");
}

QString InsertarCabecera(const QString& mesa, const QString& codVendedor, const QDate& fecha,
                         const TextValues& esc) {
    return QStringLiteral(
               "INSERT INTO Factura_r (N_Factura,ced_cliente,Fecha_factura,Cod_Vendedor) values ") +
           ValueList({Text(esc, "Factura_r", "N_Factura", mesa),
                      Text(esc, "Factura_r", "ced_cliente", mesa),
                      Text(esc, "Factura_r", "Fecha_factura", DateText(fecha, "yyyy-mm-dd")),
                      Text(esc, "Factura_r", "Cod_Vendedor", codVendedor)}) +
           QLatin1Char(';');
}

QString InsertarLinea(const QString& mesa, const order::Line& l, const TextValues& esc) {
    return QStringLiteral(
               "INSERT INTO D_Fact_r (n_factura,cod_producto,cantidad,monto,d_iva,costo,"
               "contorno1,contorno2,contorno3,termino,cod_vendedor,deposito,observacion)"
               " values ") +
           ValueList({Text(esc, "D_Fact_r", "n_factura", mesa),
                      Text(esc, "D_Fact_r", "cod_producto", l.codigo),
                      Number(l.cantidad), Number(l.precio),
                      Number(l.iva), Number(l.costo),
                      Text(esc, "D_Fact_r", "contorno1", Contorno(l, 0)),
                      Text(esc, "D_Fact_r", "contorno2", Contorno(l, 1)),
                      Text(esc, "D_Fact_r", "contorno3", Contorno(l, 2)),
                      Text(esc, "D_Fact_r", "termino", l.termino),
                      Text(esc, "D_Fact_r", "cod_vendedor", l.codVendedor),
                      Text(esc, "D_Fact_r", "deposito", l.deposito),
                      Text(esc, "D_Fact_r", "observacion", l.observacion)}) +
           QLatin1Char(';');
}

QString InsertarComanda(const TicketContext& t, const order::Line& l, const TextValues& esc) {
    return QStringLiteral(
               "INSERT INTO comanda (numero,nom_producto,cantidad,monto,mesonero,hora,fecha,"
               "mesa,contorno1,contorno2,contorno3,termino,observacion) values ") +
           ValueList({Text(esc, "comanda", "numero", t.numero),
                      Text(esc, "comanda", "nom_producto", l.nombre),
                      Number(l.cantidad), Number(l.precio),
                      Text(esc, "comanda", "mesonero", t.mesonero),
                      Text(esc, "comanda", "hora", TicketTime(t)),
                      Text(esc, "comanda", "fecha", TicketDate(t)),
                      Text(esc, "comanda", "mesa", t.mesa),
                      Text(esc, "comanda", "contorno1", Contorno(l, 0)),
                      Text(esc, "comanda", "contorno2", Contorno(l, 1)),
                      Text(esc, "comanda", "contorno3", Contorno(l, 2)),
                      Text(esc, "comanda", "termino", l.termino),
                      Text(esc, "comanda", "observacion", l.observacion)}) +
           QLatin1Char(';');
}

WrittenTicket TicketAsWritten(const TicketContext& t, const TextValues& esc) {
    return {esc.Cut("comanda", "numero", t.numero), esc.Cut("comanda", "mesa", t.mesa),
            esc.Cut("comanda", "mesonero", t.mesonero), esc.Cut("comanda", "hora", TicketTime(t)),
            esc.Cut("comanda", "fecha", TicketDate(t))};
}

QString ContarComanda(const WrittenTicket& w, const TextValues& esc) {
    const auto is = [&esc](const char* column, const QString& value) {
        return QString::fromLatin1(column) + QStringLiteral("='") + esc.Escape(value) + QLatin1Char('\'');
    };
    return QStringLiteral("select count(*) from comanda where ") + is("numero", w.numero) +
           QStringLiteral(" and ") + is("mesa", w.mesa) + QStringLiteral(" and ") + is("mesonero", w.mesonero) +
           QStringLiteral(" and ") + is("hora", w.hora) + QStringLiteral(" and ") + is("fecha", w.fecha) +
           QLatin1Char(';');
}

QString RegistrarEnvio(const QString& idEnvio, const QString& numero, const QString& mesa,
                       const TextValues& esc) {
    return QStringLiteral("INSERT INTO envios (id_envio,numero,mesa) values ") +
           ValueList({Text(esc, "envios", "id_envio", idEnvio), Text(esc, "envios", "numero", numero),
                      Text(esc, "envios", "mesa", mesa)}) +
           QLatin1Char(';');
}

QString BuscarEnvio(const QString& idEnvio, const TextValues& esc) {
    return QStringLiteral("select numero from envios where id_envio='") +
           esc("envios", "id_envio", idEnvio) + QStringLiteral("';");
}

}  // namespace sending
