#include "sending/ticket_layout.h"

#include <QDateTime>
#include <QTimeZone>

#include "runtime/date_format.h"
#include "runtime/number_format.h"
#include "runtime/regional_formats.h"
#include "sending/print_groups.h"

namespace sending {
namespace {

using Kind = PrintOp::Kind;
using Lines = std::vector<const order::Line*>;

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

void Set(std::vector<PrintOp>& ops, Kind kind, int size = 0) {
    ops.push_back({kind, QString(), size});
}

void Print(std::vector<PrintOp>& ops, const QString& text) {
    ops.push_back({Kind::PrintLine, text, 0});
}

// The date and the time of day in the regional short date and time formats
// (taken as UTC values, so no daylight-saving gap can move them).
QString Fecha(const QDate& fecha) {
    return rt::FormatDate(QDateTime(fecha, QTime(0, 0), QTimeZone::utc()),
                          rt::CurrentFormats().shortDate);
}
QString Hora(const TicketInput& entrada) {
    const QTime hora = entrada.reloj ? entrada.reloj() : QTime::currentTime();
    return rt::FormatDate(QDateTime(QDate(1899, 12, 30), hora, QTimeZone::utc()),
                          rt::CurrentFormats().timeFormat);
}

// The quantity with the mask "###" (zero prints nothing).
QString Cantidad(double cantidad) {
    return rt::FormatNumber(cantidad, QStringLiteral("###"));
}

void PrintHeader(std::vector<PrintOp>& ops, const TicketInput& entrada, const QString& titulo) {
    Set(ops, Kind::ScaleMillimetres);
    ops.push_back({Kind::FontName, QStringLiteral("Draft 6cpi"), 0});
    Set(ops, Kind::FontSize, 12);
    Print(ops, entrada.empresa);
    Print(ops, kSieteBlancos);
    const QString detalle[] = {QStringLiteral("Fecha: ") + Fecha(entrada.fecha),
                               QStringLiteral("Hora: ") + Hora(entrada),
                               QStringLiteral("Asistente: ") + entrada.mesonero};
    for (const QString& texto : detalle) {
        Set(ops, Kind::FontSize, 10);
        Set(ops, Kind::CurrentX, 0);
        Print(ops, texto);
    }
    Print(ops, kSieteBlancos);
    Set(ops, Kind::CurrentX, 0);
    Set(ops, Kind::FontSize, 12);
    Print(ops, QStringLiteral("Mesa #: ") + entrada.mesa);
    Set(ops, Kind::CurrentX, 0);
    Print(ops, titulo);
    Set(ops, Kind::FontSize, 12);
    Print(ops, QStringLiteral("     COMANDA: ") + entrada.numero);
    Set(ops, Kind::FontSize, 10);
    Print(ops, kRayaCabecera);
    Print(ops, kSieteBlancos);
}

void PrintName(std::vector<PrintOp>& ops, const QString& nombre) {
    if (nombre.size() <= kLargoNombre) {
        Print(ops, QStringLiteral("--> ") + nombre);
        return;
    }
    Print(ops, QStringLiteral("--> ") + nombre.left(kLargoNombre));
    Print(ops, QStringLiteral("    ") + nombre.mid(kLargoNombre - 2));
}

// A heading and the text under it, unindented, when the text is not empty.
void PrintNote(std::vector<PrintOp>& ops, const QString& titulo, const QString& texto) {
    if (texto.isEmpty()) return;
    Print(ops, titulo);
    Print(ops, texto);
}

// The side dishes under one heading; without a first one none is printed.
void PrintSideDishes(std::vector<PrintOp>& ops, const order::Line& linea) {
    if (linea.contornos.value(0).isEmpty()) return;
    Print(ops, QStringLiteral("    CONTORNOS"));
    for (int i = 0; i < order::kSideDishesPerLine; ++i) {
        const QString contorno = linea.contornos.value(i);
        if (!contorno.isEmpty()) Print(ops, contorno);
    }
}

void PrintOrderLine(std::vector<PrintOp>& ops, const order::Line& linea, Prefijo& anterior) {
    const QString& nombre = linea.nombre;
    const QString prefijo = nombre.left(5);
    if (anterior != Prefijo::Ninguno && prefijo != kExtra) Print(ops, kRayaSeparadora);
    Print(ops, QStringLiteral("Cantidad --> ") + Cantidad(linea.cantidad));
    PrintName(ops, nombre);
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

void EndTicket(std::vector<PrintOp>& ops) {
    for (int i = 0; i < kLineasFinales; ++i) Print(ops, kSieteBlancos);
    Set(ops, Kind::EndDoc);
}

// Adds the lines of print group `grupo` to `ticket`, in grid order, with the
// prefix memory cleared; the header comes before the first line the ticket
// gets, so a ticket without lines stays without operations.
void PrintGroupLines(Ticket& ticket, const TicketInput& entrada, const Lines& lineas,
                     const QString& grupo) {
    Prefijo anterior = Prefijo::Ninguno;
    for (const order::Line* linea : lineas) {
        if (linea->imprimir != grupo) continue;
        if (ticket.ops.empty()) PrintHeader(ticket.ops, entrada, ticket.title);
        PrintOrderLine(ticket.ops, *linea, anterior);
    }
}

void AddIfPrinted(std::vector<Ticket>& tickets, Ticket ticket) {
    if (ticket.ops.empty()) return;
    EndTicket(ticket.ops);
    tickets.push_back(std::move(ticket));
}

}  // namespace

std::vector<Ticket> LayOutTickets(const TicketInput& entrada,
                                  const std::optional<QStringList>& modelo) {
    Lines lineas;
    for (const order::Line& linea : entrada.lineas)
        if (order::IsOrderLine(linea)) lineas.push_back(&linea);

    std::vector<Ticket> tickets;
    Ticket completa{QStringLiteral("ASISTENTE"), {}};
    PrintHeader(completa.ops, entrada, completa.title);
    Prefijo anterior = Prefijo::Ninguno;
    for (const order::Line* linea : lineas) PrintOrderLine(completa.ops, *linea, anterior);
    AddIfPrinted(tickets, std::move(completa));
    if (!modelo) return tickets;

    Ticket chef{QStringLiteral("CHEF"), {}};
    for (const QString& grupo : ChefGroups(*modelo)) PrintGroupLines(chef, entrada, lineas, grupo);
    AddIfPrinted(tickets, std::move(chef));

    for (const QString& grupo : TicketGroups(*modelo)) {
        Ticket propio{grupo, {}};
        PrintGroupLines(propio, entrada, lineas, grupo);
        AddIfPrinted(tickets, std::move(propio));
    }
    return tickets;
}

}  // namespace sending
