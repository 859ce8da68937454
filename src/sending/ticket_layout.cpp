#include "sending/ticket_layout.h"

#include "sending/print_groups.h"

namespace sending {
namespace {

using Lines = std::vector<const order::Line*>;

TicketLine LineOf(const order::Line& l) {
    return TicketLine{l.cantidad, l.nombre, l.contornos, l.termino, l.observacion};
}

// The lines of print group `grupo`, in grid order.
TicketSection GroupSection(const Lines& lineas, const QString& grupo) {
    TicketSection seccion{grupo, {}};
    for (const order::Line* linea : lineas)
        if (linea->imprimir == grupo) seccion.lineas.push_back(LineOf(*linea));
    return seccion;
}

// A ticket of `kind` with the send's header values; its time is read now,
// as its header is laid out.
Ticket Headed(const TicketInput& entrada, TicketKind kind, const QString& titulo,
              std::vector<TicketSection> secciones) {
    const QTime hora = entrada.reloj ? entrada.reloj() : QTime::currentTime();
    return Ticket{kind,          titulo,        entrada.empresa, entrada.mesa,        entrada.mesonero,
                  entrada.numero, entrada.fecha, hora,           std::move(secciones), {}};
}

}  // namespace

std::vector<Ticket> LayOutTickets(const TicketInput& entrada,
                                  const std::optional<QStringList>& modelo) {
    Lines lineas;
    TicketSection todas;
    for (const order::Line& linea : entrada.lineas) {
        if (!order::IsOrderLine(linea)) continue;
        lineas.push_back(&linea);
        todas.lineas.push_back(LineOf(linea));
    }

    std::vector<Ticket> tickets;
    tickets.push_back(Headed(entrada, TicketKind::Full, QStringLiteral("ASISTENTE"), {std::move(todas)}));
    if (!modelo) return tickets;

    // The chef copy: the "C" groups' lines, each group a block of its own;
    // a ticket only when one of them has lines.
    std::vector<TicketSection> chef;
    for (const QString& grupo : ChefGroups(*modelo)) {
        TicketSection seccion = GroupSection(lineas, grupo);
        if (!seccion.lineas.empty()) chef.push_back(std::move(seccion));
    }
    if (!chef.empty()) tickets.push_back(Headed(entrada, TicketKind::Chef, QStringLiteral("CHEF"), std::move(chef)));

    for (const QString& grupo : TicketGroups(*modelo)) {
        TicketSection seccion = GroupSection(lineas, grupo);
        if (!seccion.lineas.empty())
            tickets.push_back(Headed(entrada, TicketKind::Group, grupo, {std::move(seccion)}));
    }
    return tickets;
}

}  // namespace sending
