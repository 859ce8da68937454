#pragma once
// A kitchen ticket as data: which kind it is, its header's values and the
// order lines it holds. The layout of a send makes these once; paper (ESC/POS
// text or a driver's page) and any other rendering are drawn from them, and
// the journal and the list of tickets at the printer keep them as they are.
#include <QDate>
#include <QString>
#include <QStringList>
#include <QTime>
#include <optional>
#include <vector>

namespace sending {

enum class TicketKind {
    Full,   // the full copy, "ASISTENTE": every line of the order
    Chef,   // the chef copy, "CHEF": the lines of the groups marked "C"
    Group,  // one print group's ticket, titled with the group's name
};

// One order line as a ticket prints it.
struct TicketLine {
    double cantidad = 0;
    QString nombre;
    QStringList contornos;  // side dishes 1 to 3 as the line has them (empty ones too)
    QString termino;
    QString observacion;

    bool operator==(const TicketLine&) const = default;
};

// Lines printed together: the prefix memory (a pizza and its extras make one
// block without rules) starts afresh at each section. The chef copy has one
// per print group; the other tickets have one.
struct TicketSection {
    QString grupo;  // the print group (empty on the full copy)
    std::vector<TicketLine> lineas;

    bool operator==(const TicketSection&) const = default;
};

// One operation of a ticket as it goes on paper (ticket_paper.h draws them
// from a ticket's values).
struct PrintOp {
    enum class Kind {
        ScaleMillimetres,  // set the scale unit to millimetres
        FontName,          // set the font name: `text`
        FontSize,          // set the font size in points: `size` (12 or 10)
        CurrentX,          // set the current x position: `size` (always 0 here)
        PrintLine,         // print `text` as one line (the call ends the line)
        EndDoc,            // end the document: the ticket goes to the printer
    };
    Kind kind = Kind::PrintLine;
    QString text;
    int size = 0;

    bool operator==(const PrintOp&) const = default;
};

struct Ticket {
    TicketKind kind = TicketKind::Full;
    QString title;    // "ASISTENTE", "CHEF" or the group name
    QString empresa;  // business name
    QString mesa;
    QString mesonero;
    QString numero;   // ticket number of the send (may be empty)
    QDate fecha;      // the server date of the send
    QTime hora;       // the terminal's clock when the ticket was laid out
    std::vector<TicketSection> secciones;
    // A ticket an earlier program kept as the printer operations that made
    // it (its list of failed tickets): it goes on paper exactly as they say,
    // and holds no values of its own.
    std::vector<PrintOp> papelAnterior;

    bool operator==(const Ticket&) const = default;
};

// Which ticket of a send it is, whatever the order of Modelo.txt at the time
// it is asked: its kind, its title and which ticket of that title it is in
// the send (a group listed twice gets two tickets: 1 and 2).
struct TicketId {
    TicketKind kind = TicketKind::Full;
    QString title;
    int vez = 1;

    bool operator==(const TicketId&) const = default;
    // "completa:ASISTENTE:1", "chef:CHEF:1", "grupo:COCINA:2".
    QString Text() const;
    static std::optional<TicketId> FromText(const QString& text);
};

// The kind's name in the files that keep tickets: "completa", "chef", "grupo".
QString TicketKindName(TicketKind kind);
std::optional<TicketKind> TicketKindFromName(const QString& name);

// The identity of each of a send's tickets, in their order.
std::vector<TicketId> TicketIdsOf(const std::vector<Ticket>& tickets);

}  // namespace sending
