#include "sending/ticket_paper.h"

#include <QDateTime>
#include <QTimeZone>

#include "order/order.h"
#include "runtime/date_format.h"
#include "runtime/number_format.h"
#include "runtime/regional_formats.h"

namespace sending {
namespace {

using Kind = PrintOp::Kind;
using Ops = std::vector<PrintOp>;

const QString kSieteBlancos = QStringLiteral("       ");
const QString kRayaCabecera = QStringLiteral("--------------------------");
const QString kRayaSeparadora = QStringLiteral(" --------------------------  ");
const QString kPizza = QStringLiteral("PIZZA");
const QString kExtra = QStringLiteral("EXTRA");
// A longer name goes on two lines; the second repeats its last two characters.
constexpr qsizetype kLargoNombre = 29;
constexpr int kLineasFinales = 7;

// The prefix of the line printed before, which decides where rules go: a pizza
// and the extras after it make one block without rules inside.
enum class Prefijo { Ninguno, Pizza, Extra };

void Set(Ops& ops, Kind kind, int size = 0) {
    ops.push_back({kind, QString(), size});
}

void Print(Ops& ops, const QString& text) {
    ops.push_back({Kind::PrintLine, text, 0});
}

// The date and the time of day in the regional short date and time formats
// (taken as UTC values, so no daylight-saving gap can move them).
QString Fecha(const QDate& fecha) {
    return rt::FormatDate(QDateTime(fecha, QTime(0, 0), QTimeZone::utc()),
                          rt::CurrentFormats().shortDate);
}
QString Hora(const QTime& hora) {
    return rt::FormatDate(QDateTime(QDate(1899, 12, 30), hora, QTimeZone::utc()),
                          rt::CurrentFormats().timeFormat);
}

// The quantity with the mask "###" (zero prints nothing).
QString Cantidad(double cantidad) {
    return rt::FormatNumber(cantidad, QStringLiteral("###"));
}

void PrintHeader(Ops& ops, const Ticket& t) {
    Set(ops, Kind::ScaleMillimetres);
    ops.push_back({Kind::FontName, QStringLiteral("Draft 6cpi"), 0});
    Set(ops, Kind::FontSize, 12);
    Print(ops, t.empresa);
    Print(ops, kSieteBlancos);
    const QString detalle[] = {QStringLiteral("Fecha: ") + Fecha(t.fecha), QStringLiteral("Hora: ") + Hora(t.hora),
                               QStringLiteral("Asistente: ") + t.mesonero};
    for (const QString& texto : detalle) {
        Set(ops, Kind::FontSize, 10);
        Set(ops, Kind::CurrentX, 0);
        Print(ops, texto);
    }
    Print(ops, kSieteBlancos);
    Set(ops, Kind::CurrentX, 0);
    Set(ops, Kind::FontSize, 12);
    Print(ops, QStringLiteral("Mesa #: ") + t.mesa);
    Set(ops, Kind::CurrentX, 0);
    Print(ops, t.title);
    Set(ops, Kind::FontSize, 12);
    Print(ops, QStringLiteral("     COMANDA: ") + t.numero);
    Set(ops, Kind::FontSize, 10);
    Print(ops, kRayaCabecera);
    Print(ops, kSieteBlancos);
}

void PrintName(Ops& ops, const QString& nombre) {
    if (nombre.size() <= kLargoNombre) {
        Print(ops, QStringLiteral("--> ") + nombre);
        return;
    }
    Print(ops, QStringLiteral("--> ") + nombre.left(kLargoNombre));
    Print(ops, QStringLiteral("    ") + nombre.mid(kLargoNombre - 2));
}

// A heading and the text under it, unindented, when the text is not empty.
void PrintNote(Ops& ops, const QString& titulo, const QString& texto) {
    if (texto.isEmpty()) return;
    Print(ops, titulo);
    Print(ops, texto);
}

// The side dishes under one heading; without a first one none is printed.
void PrintSideDishes(Ops& ops, const TicketLine& linea) {
    if (linea.contornos.value(0).isEmpty()) return;
    Print(ops, QStringLiteral("    CONTORNOS"));
    for (int i = 0; i < order::kSideDishesPerLine; ++i) {
        const QString contorno = linea.contornos.value(i);
        if (!contorno.isEmpty()) Print(ops, contorno);
    }
}

void PrintLine(Ops& ops, const TicketLine& linea, Prefijo& anterior) {
    const QString prefijo = linea.nombre.left(5);
    if (anterior != Prefijo::Ninguno && prefijo != kExtra) Print(ops, kRayaSeparadora);
    Print(ops, QStringLiteral("Cantidad --> ") + Cantidad(linea.cantidad));
    PrintName(ops, linea.nombre);
    PrintSideDishes(ops, linea);
    PrintNote(ops, QStringLiteral("    TERMINOS"), linea.termino);
    PrintNote(ops, QStringLiteral("    OBSERVACION"), linea.observacion);
    if (prefijo == kPizza) {
        anterior = Prefijo::Pizza;
    } else if (prefijo == kExtra) {
        anterior = Prefijo::Extra;
    } else {
        Print(ops, kRayaSeparadora);
        anterior = Prefijo::Ninguno;
    }
}

void PrintEnd(Ops& ops) {
    for (int i = 0; i < kLineasFinales; ++i) Print(ops, kSieteBlancos);
    Set(ops, Kind::EndDoc);
}

}  // namespace

TicketPaper PaperOf(const Ticket& ticket) {
    if (!ticket.papelAnterior.empty()) return {ticket.title, ticket.papelAnterior};
    TicketPaper paper{ticket.title, {}};
    PrintHeader(paper.ops, ticket);
    for (const TicketSection& seccion : ticket.secciones) {
        Prefijo anterior = Prefijo::Ninguno;
        for (const TicketLine& linea : seccion.lineas) PrintLine(paper.ops, linea, anterior);
    }
    PrintEnd(paper.ops);
    return paper;
}

}  // namespace sending
