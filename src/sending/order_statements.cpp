#include "sending/order_statements.h"

#include <QDateTime>
#include <QDebug>

#include "runtime/date_format.h"
#include "runtime/number_format.h"

namespace sending {
namespace {

Field Text(const char* column, const QString& text) {
    return {column, text, true};
}
Field Number(const char* column, double value) {
    return {column, SqlNumber(value), false};
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

// The columns of a ticket line that identify its send, in the order of the
// statement's other columns around them.
Field TicketNumber(const TicketContext& t) { return Text("numero", t.numero); }
std::vector<Field> TicketSend(const TicketContext& t) {
    return {Text("mesonero", t.mesonero), Text("hora", TicketTime(t)), Text("fecha", TicketDate(t)),
            Text("mesa", t.mesa)};
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

QString Row::Written(const QString& column, const TextValues& esc) const {
    for (const Field& f : fields)
        if (column.compare(QLatin1String(f.column), Qt::CaseInsensitive) == 0)
            return f.quoted ? esc.Cut(table, f.column, f.value) : f.value;
    return {};
}

// "(a,b,c) values ('x','y',1)": text values in quotes, all joined by ",",
// which gives the separators "('" "','" "'," "," ",'" "')" wherever each applies.
QString InsertInto(const Row& row, const TextValues& esc) {
    QString columns, values;
    for (const Field& f : row.fields) {
        if (!columns.isEmpty()) {
            columns += QLatin1Char(',');
            values += QLatin1Char(',');
        }
        columns += QLatin1String(f.column);
        values += f.quoted ? QLatin1Char('\'') + esc(row.table, f.column, f.value) + QLatin1Char('\'') : f.value;
    }
    return QStringLiteral("INSERT INTO ") + QLatin1String(row.table) + QStringLiteral(" (") + columns +
           QStringLiteral(") values (") + values + QStringLiteral(");");
}

Row HeaderRow(const QString& mesa, const QString& codVendedor, const QDate& fecha) {
    return {"Factura_r",
            {Text("N_Factura", mesa), Text("ced_cliente", mesa), Text("Fecha_factura", DateText(fecha, "yyyy-mm-dd")),
             Text("Cod_Vendedor", codVendedor)}};
}

QString InsertarCabecera(const QString& mesa, const QString& codVendedor, const QDate& fecha,
                         const TextValues& esc) {
    return InsertInto(HeaderRow(mesa, codVendedor, fecha), esc);
}

Row LineRow(const QString& mesa, const order::Line& l) {
    return {"D_Fact_r",
            {Text("n_factura", mesa), Text("cod_producto", l.codigo), Number("cantidad", l.cantidad),
             Number("monto", l.precio), Number("d_iva", l.iva), Number("costo", l.costo),
             Text("contorno1", Contorno(l, 0)), Text("contorno2", Contorno(l, 1)), Text("contorno3", Contorno(l, 2)),
             Text("termino", l.termino), Text("cod_vendedor", l.codVendedor), Text("deposito", l.deposito),
             Text("observacion", l.observacion)}};
}

QString InsertarLinea(const QString& mesa, const order::Line& l, const TextValues& esc) {
    return InsertInto(LineRow(mesa, l), esc);
}

Row TicketRow(const TicketContext& t, const order::Line& l) {
    Row row{"comanda",
            {TicketNumber(t), Text("nom_producto", l.nombre), Number("cantidad", l.cantidad),
             Number("monto", l.precio)}};
    for (Field& f : TicketSend(t)) row.fields.push_back(std::move(f));
    for (Field f : {Text("contorno1", Contorno(l, 0)), Text("contorno2", Contorno(l, 1)),
                    Text("contorno3", Contorno(l, 2)), Text("termino", l.termino),
                    Text("observacion", l.observacion)})
        row.fields.push_back(std::move(f));
    return row;
}

QString InsertarComanda(const TicketContext& t, const order::Line& l, const TextValues& esc) {
    return InsertInto(TicketRow(t, l), esc);
}

WrittenTicket TicketAsWritten(const TicketContext& t, const TextValues& esc) {
    Row send{"comanda", TicketSend(t)};
    send.fields.push_back(TicketNumber(t));
    return {send.Written("numero", esc), send.Written("mesa", esc), send.Written("mesonero", esc),
            send.Written("hora", esc), send.Written("fecha", esc)};
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

Row RecordRow(const QString& idEnvio, const QString& numero, const QString& mesa) {
    return {"envios", {Text("id_envio", idEnvio), Text("numero", numero), Text("mesa", mesa)}};
}

QString RegistrarEnvio(const QString& idEnvio, const QString& numero, const QString& mesa,
                       const TextValues& esc) {
    return InsertInto(RecordRow(idEnvio, numero, mesa), esc);
}

QString BuscarEnvio(const QString& idEnvio, const TextValues& esc) {
    return QStringLiteral("select numero from envios where id_envio='") +
           esc("envios", "id_envio", idEnvio) + QStringLiteral("';");
}

}  // namespace sending
