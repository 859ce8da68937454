#include "sending/printing.h"

#include <QTime>
#include <QtDebug>
#include <algorithm>
#include <optional>

#include "runtime/runtime_error.h"
#include "runtime/text_file.h"
#include "sending/printing_system.h"
#include "sending/ticket_layout.h"
#include "runtime/configuration.h"
#include "data/module1.h"
#include "runtime/dialogs.h"

namespace sending {
namespace {

// The lines of Modelo.txt, or nullopt when it cannot be read now (it was
// readable at start-up; another terminal may have replaced it since).
std::optional<QStringList> ReadModelo(const QString& carpeta) {
    const QString path = rt::PathIn(carpeta, QStringLiteral("Modelo.txt"));
    try {
        rt::TextFileReader reader(path, rt::kSharedTextBound);
        QStringList lines;
        while (!reader.AtEndOfStream()) lines << reader.ReadLine();
        return lines;
    } catch (const rt::RuntimeError& e) {
        qWarning().noquote() << "Modelo.txt unreadable at printing time, no chef or group tickets:" << path
                             << e.description();
        return std::nullopt;
    }
}

}  // namespace

std::vector<Ticket> TicketsOf(const JournalEntry& entry, const PrintSetup& setup) {
    if (!entry.comandas.empty()) return entry.comandas;
    TicketInput entrada;
    entrada.numero = entry.intento ? entry.intento->numero : QString();
    entrada.empresa = setup.empresa;
    entrada.fecha = entry.intento ? entry.intento->reloj.fecha : QDate();
    entrada.mesonero = entry.pedido.mesonero;
    entrada.mesa = entry.pedido.mesa;
    entrada.lineas = entry.pedido.lineas;
    entrada.reloj = [] { return QTime::currentTime(); };
    return LayOutTickets(entrada, ReadModelo(setup.carpetaDatos));
}

namespace {

using ToPrint = std::vector<std::pair<TicketId, Ticket>>;

bool Contains(const std::vector<TicketId>& ids, const TicketId& id) {
    return std::find(ids.begin(), ids.end(), id) != ids.end();
}

void Failed(PrintReport& report, const TicketId& id, const QString& motivo, PrinterFault causa) {
    report.fallidos.push_back(id);
    report.titulos << id.title;
    if (report.causa == PrinterFault::None) report.causa = causa;
    AddReason(report.motivo, motivo);
}

// The send's tickets laid out and its printer found among the installed
// ones. Not installed: `installed` false, nothing to print. The list not
// answered: whether the printer exists is unknown, so it counts as
// installed under its configured name and the list's error is the reason.
struct Prepared {
    PrintReport report;
    std::vector<TicketId> ids;     // of report.tickets, in their order
    std::vector<TicketId> hechas;  // the entry's tickets printed before
    bool listed = false;
    QString listError;
};

void LayOut(Prepared& p, const JournalEntry& entry, const PrintSetup& setup) {
    p.report.tickets = TicketsOf(entry, setup);
    p.ids = TicketIdsOf(p.report.tickets);
    p.hechas = entry.impresas;
    // An earlier program's entry told its printed tickets by their place in
    // a layout made as this one is (no tickets recorded).
    for (int lugar : entry.impresasPorLugar)
        if (lugar < static_cast<int>(p.ids.size())) p.hechas.push_back(p.ids[static_cast<size_t>(lugar)]);
}

Prepared Prepare(PrintingSystem& sistema, const JournalEntry& entry, const PrintSetup& setup) {
    Prepared p;
    p.report.impresora = setup.impresora;
    // A terminal without a ticket printer: no queue can have an empty name.
    if (setup.impresora.isEmpty()) return p;
    const PrinterList lista = sistema.InstalledPrinters();
    if (!lista.ok) {
        qWarning().noquote() << "printer list of the printing system:" << lista.error;
        p.report.installed = true;
        p.listError = lista.error;
        LayOut(p, entry, setup);
        return p;
    }
    p.report.impresora = FindPrinter(lista.printers, setup.impresora);
    if (p.report.impresora.isEmpty()) return p;  // not installed: the terminal prints nothing
    p.report.installed = true;
    p.listed = true;
    LayOut(p, entry, setup);
    return p;
}

// Asks the queue, then hands each ticket of `porEnviar` over as one job.
void SendInto(PrintReport& report, PrintingSystem& sistema, const ToPrint& porEnviar, const TicketTaken& impresa) {
    if (porEnviar.empty()) return;
    const QueueState cola = sistema.AskQueue(report.impresora);
    const PrinterFault fault = QueueFault(cola);
    if (fault != PrinterFault::None) {
        // Its tickets are not dropped into a queue that would hold them.
        const QString motivo = FaultText(fault, report.impresora, {});
        qWarning().noquote() << "printer" << report.impresora << "cannot print now:" << cola.reasons.join(',')
                             << (cola.stopped ? "stopped" : "") << (cola.accepting ? "" : "rejecting") << cola.message;
        for (const auto& [id, ticket] : porEnviar) Failed(report, id, motivo, fault);
        return;
    }
    bool sinRespuesta = false;
    for (const auto& [id, ticket] : porEnviar) {
        // Once the printing system stopped answering, every further ticket
        // would hold the screen for the whole time limit again.
        const JobResult r = sinRespuesta ? JobResult{} : sistema.PrintTicket(report.impresora, ticket);
        if (r.ok) {
            report.impresas.push_back(id);
            report.trabajos.push_back(r.trabajo);
            if (impresa) impresa(id, r.trabajo);
            continue;
        }
        if (!sinRespuesta)
            qWarning().noquote() << "ticket" << ticket.title << "on" << report.impresora << ":" << r.error;
        Failed(report, id, sinRespuesta ? QString() : r.error, PrinterFault::Other);
        sinRespuesta = sinRespuesta || r.sinRespuesta;
    }
}

ToPrint ToSend(const Prepared& p, const std::vector<TicketId>& omitir) {
    ToPrint out;
    for (size_t i = 0; i < p.ids.size(); ++i)
        if (!Contains(omitir, p.ids[i])) out.emplace_back(p.ids[i], p.report.tickets[i]);
    return out;
}

PrintReport PrintPrepared(Prepared p, PrintingSystem& sistema, const std::vector<TicketId>& omitir,
                          const TicketTaken& impresa) {
    if (!p.report.installed) return std::move(p.report);
    const ToPrint porEnviar = ToSend(p, omitir);
    if (!p.listed) {
        for (const auto& [id, ticket] : porEnviar) Failed(p.report, id, p.listError, PrinterFault::Other);
        return std::move(p.report);
    }
    SendInto(p.report, sistema, porEnviar, impresa);
    return std::move(p.report);
}

std::shared_ptr<PrintingSystem> SystemOf(const PrintSetup& setup) {
    return setup.sistema ? setup.sistema : SharedPrintingSystem();
}

}  // namespace

PrintReport PrintTickets(const JournalEntry& entry, const PrintSetup& setup, const std::vector<TicketId>& omitir,
                         const TicketTaken& impresa) {
    const std::shared_ptr<PrintingSystem> sistema = SystemOf(setup);
    Prepared p = Prepare(*sistema, entry, setup);
    std::vector<TicketId> hechas = p.hechas;
    hechas.insert(hechas.end(), omitir.begin(), omitir.end());
    return PrintPrepared(std::move(p), *sistema, hechas, impresa);
}

PrintReport SendTickets(PrintingSystem& sistema, const QString& impresora, const ToPrint& porEnviar,
                        const TicketTaken& impresa) {
    PrintReport report;
    report.installed = true;
    report.impresora = impresora;
    SendInto(report, sistema, porEnviar, impresa);
    return report;
}

PrintSetup TerminalPrintSetup() {
    return PrintSetup{nullptr, Module1::Impresora, Module1::Nombre_Empresa, Module1::Carpeta_Datos};
}

QString FindPrinter(const QStringList& instaladas, const QString& configurada) {
    const QString wanted = configurada.toUpper();
    for (const QString& p : instaladas)
        if (p.toUpper() == wanted) return p;
    return {};
}

QString PrintFailureMessage(const QString& numero, const QString& mesa, const QString& impresora,
                            const QStringList& fallidos, const QString& motivo) {
    const QChar cr(13);
    const QString comanda = numero.isEmpty() ? QString() : QStringLiteral(" (comanda ") + numero + QStringLiteral(")");
    return QStringLiteral("Error de impresión...") + cr + QStringLiteral(" El pedido de la mesa ") + mesa +
           QStringLiteral(" quedó guardado") + comanda + QStringLiteral(", pero no se imprimió en la impresora ") +
           impresora + QStringLiteral(": ") + fallidos.join(QStringLiteral(", ")) + QStringLiteral(".") + cr +
           QStringLiteral(" No envíe el pedido de nuevo.") + cr + QStringLiteral(" Motivo: ") + motivo;
}

QString PrintAgainQuestion() {
    return QStringLiteral(" ¿Imprimir de nuevo las comandas que faltan?");
}

QString ReprintQuestion(const FailedPrint& f) {
    return PrintFailureMessage(f.numero, f.mesa, f.impresora, f.titulos, f.motivo) + QChar(13) + PrintAgainQuestion();
}

namespace {

std::vector<FollowedTicket> FailedOf(const PrintReport& report, const std::function<FollowedTicket(const TicketId&)>& kept) {
    std::vector<FollowedTicket> failed;
    for (const TicketId& id : report.fallidos) {
        FollowedTicket t = kept(id);
        t.causa = report.causa;
        t.motivo = report.motivo;
        failed.push_back(std::move(t));
    }
    return failed;
}

}  // namespace

bool ImprimirComanda(const JournalEntry& entry, const PrintSetup& setup, TicketFollower& seguidor,
                     const std::function<void(const std::vector<Ticket>&, const std::vector<TicketId>&)>& impresas) {
    // The jobs are followed on the printing system they were handed to.
    const std::shared_ptr<PrintingSystem> sistema = setup.sistema ? setup.sistema : seguidor.Sistema();
    Prepared p = Prepare(*sistema, entry, setup);
    const std::vector<Ticket> tickets = p.report.tickets;
    const std::vector<TicketId> ids = p.ids;
    const QString impresora = p.report.impresora;  // p goes to PrintPrepared below
    const auto Kept = [&](const TicketId& id) {
        FollowedTicket t;
        t.idEnvio = entry.idEnvio;
        t.numero = entry.intento ? entry.intento->numero : QString();
        t.mesa = entry.pedido.mesa;
        t.impresora = impresora;
        t.id = id;
        t.ticket = tickets[static_cast<size_t>(std::find(ids.begin(), ids.end(), id) - ids.begin())];
        t.sistema = sistema;
        return t;
    };
    std::vector<TicketId> hechas = p.hechas;
    // Each ticket handed over is followed, and known to the journal with the
    // send's tickets, before the next one goes: a terminal switched off in
    // the middle prints only the others at its next start, and still
    // follows these.
    const auto impresa = [&](const TicketId& id, int trabajo) {
        FollowedTicket t = Kept(id);
        t.trabajo = trabajo;
        seguidor.Follow(std::move(t));
        hechas.push_back(id);
        if (impresas) impresas(tickets, hechas);
    };
    // The tickets as just laid out reach the journal before the first one
    // goes: a restart prints the missing ones from these, whatever
    // Modelo.txt says by then, also when none was handed over.
    if (impresas && entry.comandas.empty() && !tickets.empty()) impresas(tickets, hechas);
    const std::vector<TicketId> omitir = p.hechas;
    const PrintReport report = PrintPrepared(std::move(p), *sistema, omitir, impresa);
    if (report.ok()) return false;
    qWarning().noquote() << "tickets of send" << entry.idEnvio << "not printed on" << impresora << ":"
                         << report.titulos.join(QStringLiteral(", "));
    seguidor.Fail(FailedOf(report, Kept));
    return true;
}

}  // namespace sending
