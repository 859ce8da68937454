#include "sending/send_writes.h"

#include "runtime/runtime_error.h"
#include "sending/bad_values.h"

namespace sending {

QStringList FirstRoundTrip(const QString& mesa, const TextValues& esc) {
    return {kSqlInicio, kSqlContador, BuscarCabecera(mesa, esc), data::kSqlReloj};
}

FirstAnswers ReadFirstAnswers(const std::vector<data::ResultSet>& answers) {
    FirstAnswers a;
    const data::ResultSet& contador = answers.at(1);
    a.counterRow = contador.RecordCount() > 0;
    if (a.counterRow) a.numero = contador.Field(0).ToTextOrEmpty();
    a.header = answers.at(2).RecordCount() > 0;
    a.reloj = data::ClockFromResult(answers.at(3));
    return a;
}

TicketContext TicketOf(const order::Order& p, const QString& numero, const data::ServerClock& reloj) {
    return TicketContext{numero, p.mesonero, reloj.hora.mid(11), reloj.fecha, p.mesa};
}

namespace {

void CounterWrite(PlannedWrites& w, const QString& numero, const TextValues& esc) {
    try {
        w.writes.texts << ActualizarContador(numero, esc);
        w.rows.push_back({"mantenimiento", {{"control_Comanda", NextTicketNumber(numero)}}});
    } catch (const rt::RuntimeError&) {
        throw SendFailure{{data::NextStep::TellWaiter, data::FailureCause::BadValue},
                          0,
                          QStringLiteral("El contador de comandas (mantenimiento.control_Comanda) "
                                         "no es un número: '") +
                              numero + QLatin1Char('\''),
                          -1,
                          {}};
    }
}

void Add(PlannedWrites& w, Row row, const TextValues& esc) {
    w.writes.texts << InsertInto(row, esc);
    w.rows.push_back(std::move(row));
}

}  // namespace

PlannedWrites PlanWrites(const order::Order& p, const FirstAnswers& a, const QString& idEnvio, bool conRegistro,
                         const TextValues& esc) {
    PlannedWrites w;
    if (a.counterRow) CounterWrite(w, a.numero, esc);
    // The header carries this send's date, read in the first round trip.
    if (!a.header) Add(w, HeaderRow(p.mesa, p.codVendedor, a.reloj.fecha), esc);
    w.ticket = TicketOf(p, a.numero, a.reloj);
    for (const order::Line& linea : p.lineas) {
        if (!order::IsOrderLine(linea)) continue;
        Add(w, LineRow(p.mesa, linea), esc);
        Add(w, TicketRow(w.ticket, linea), esc);
    }
    if (conRegistro) {
        w.writes.recordAt = static_cast<int>(w.writes.texts.size());
        Add(w, RecordRow(idEnvio, a.numero, p.mesa), esc);
    }
    w.escrito = TicketAsWritten(w.ticket, esc);
    return w;
}

QString PlannedWrites::BadValueDetail(const SendFailure& f, const TextValues& esc) const {
    if (f.at < 0 || f.at >= static_cast<int>(rows.size())) return {};
    const Row& row = rows.at(static_cast<size_t>(f.at));
    const QString column = ColumnInError(f.description);
    return BadValueText(f.number, QString::fromLatin1(row.table), column,
                        column.isEmpty() ? QString() : row.Written(column, esc));
}

}  // namespace sending
