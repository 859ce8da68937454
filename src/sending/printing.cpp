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
        rt::TextFileReader reader(path);
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

bool Wanted(const std::vector<int>& omitir, int index) {
    return std::find(omitir.begin(), omitir.end(), index) == omitir.end();
}

void Failed(PrintReport& report, int index, const QString& title, const QString& motivo, PrinterFault causa) {
    report.fallidos.push_back(index);
    report.titulos << title;
    if (report.causa == PrinterFault::None) report.causa = causa;
    AddReason(report.motivo, motivo);
}

// The send's tickets laid out and its printer found among the installed
// ones. Not installed: `installed` false, nothing to print. The list not
// answered: whether the printer exists is unknown, so it counts as
// installed under its configured name and the list's error is the reason.
struct Prepared {
    PrintReport report;
    bool listed = false;
    QString listError;
};

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
        p.report.tickets = TicketsOf(entry, setup);
        return p;
    }
    p.report.impresora = FindPrinter(lista.printers, setup.impresora);
    if (p.report.impresora.isEmpty()) return p;  // not installed: the terminal prints nothing
    p.report.installed = true;
    p.listed = true;
    p.report.tickets = TicketsOf(entry, setup);
    return p;
}

// Asks the queue, then hands each ticket of `porEnviar` over as one job.
void SendInto(PrintReport& report, PrintingSystem& sistema, const std::vector<std::pair<int, Ticket>>& porEnviar,
              const std::function<void(int, int)>& impresa) {
    if (porEnviar.empty()) return;
    const QueueState cola = sistema.AskQueue(report.impresora);
    const PrinterFault fault = QueueFault(cola);
    if (fault != PrinterFault::None) {
        // Its tickets are not dropped into a queue that would hold them.
        const QString motivo = FaultText(fault, report.impresora, {});
        qWarning().noquote() << "printer" << report.impresora << "cannot print now:" << cola.reasons.join(',')
                             << (cola.stopped ? "stopped" : "") << (cola.accepting ? "" : "rejecting") << cola.message;
        for (const auto& [i, ticket] : porEnviar) Failed(report, i, ticket.title, motivo, fault);
        return;
    }
    bool sinRespuesta = false;
    for (const auto& [i, ticket] : porEnviar) {
        // Once the printing system stopped answering, every further ticket
        // would hold the screen for the whole time limit again.
        const JobResult r = sinRespuesta ? JobResult{} : sistema.PrintTicket(report.impresora, ticket);
        if (r.ok) {
            report.impresas.push_back(i);
            report.trabajos.push_back(r.trabajo);
            if (impresa) impresa(i, r.trabajo);
            continue;
        }
        if (!sinRespuesta)
            qWarning().noquote() << "ticket" << ticket.title << "on" << report.impresora << ":" << r.error;
        Failed(report, i, ticket.title, sinRespuesta ? QString() : r.error, PrinterFault::Other);
        sinRespuesta = sinRespuesta || r.sinRespuesta;
    }
}

std::vector<std::pair<int, Ticket>> ToSend(const std::vector<Ticket>& tickets, const std::vector<int>& omitir) {
    std::vector<std::pair<int, Ticket>> out;
    for (int i = 0; i < static_cast<int>(tickets.size()); ++i)
        if (Wanted(omitir, i)) out.emplace_back(i, tickets[static_cast<size_t>(i)]);
    return out;
}

PrintReport PrintPrepared(Prepared p, PrintingSystem& sistema, const std::vector<int>& omitir,
                          const std::function<void(int, int)>& impresa) {
    if (!p.report.installed) return std::move(p.report);
    const std::vector<std::pair<int, Ticket>> porEnviar = ToSend(p.report.tickets, omitir);
    if (!p.listed) {
        for (const auto& [i, ticket] : porEnviar)
            Failed(p.report, i, ticket.title, p.listError, PrinterFault::Other);
        return std::move(p.report);
    }
    SendInto(p.report, sistema, porEnviar, impresa);
    return std::move(p.report);
}

}  // namespace

PrintReport PrintTickets(const JournalEntry& entry, const PrintSetup& setup, const std::vector<int>& omitir,
                         const std::function<void(int, int)>& impresa) {
    PrintingSystem& sistema = setup.sistema ? *setup.sistema : CurrentPrintingSystem();
    return PrintPrepared(Prepare(sistema, entry, setup), sistema, omitir, impresa);
}

PrintReport SendTickets(PrintingSystem& sistema, const QString& impresora,
                        const std::vector<std::pair<int, Ticket>>& porEnviar,
                        const std::function<void(int, int)>& impresa) {
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

bool ImprimirComanda(const JournalEntry& entry, const PrintSetup& setup, TicketFollower& seguidor,
                     const std::function<void(const std::vector<int>&)>& impresas) {
    PrintingSystem& sistema = setup.sistema ? *setup.sistema : CurrentPrintingSystem();
    Prepared p = Prepare(sistema, entry, setup);
    const std::vector<Ticket> tickets = p.report.tickets;
    const QString impresora = p.report.impresora;  // p goes to PrintPrepared below
    const auto Kept = [&](int i) {
        FollowedTicket t;
        t.idEnvio = entry.idEnvio;
        t.numero = entry.intento ? entry.intento->numero : QString();
        t.mesa = entry.pedido.mesa;
        t.impresora = impresora;
        t.indice = i;
        t.ticket = tickets[static_cast<size_t>(i)];
        return t;
    };
    std::vector<int> hechas = entry.impresas;
    // Each ticket handed over is followed, and known to the journal, before
    // the next one goes: a terminal switched off in the middle prints only
    // the others at its next start, and still follows these.
    const auto impresa = [&](int i, int trabajo) {
        FollowedTicket t = Kept(i);
        t.trabajo = trabajo;
        seguidor.Follow(std::move(t));
        hechas.push_back(i);
        if (impresas) impresas(hechas);
    };
    const PrintReport report = PrintPrepared(std::move(p), sistema, entry.impresas, impresa);
    if (report.ok()) return false;
    qWarning().noquote() << "tickets of send" << entry.idEnvio << "not printed on" << impresora << ":"
                         << report.titulos.join(QStringLiteral(", "));
    std::vector<FollowedTicket> failed;
    for (int i : report.fallidos) {
        FollowedTicket t = Kept(i);
        t.causa = report.causa;
        t.motivo = report.motivo;
        failed.push_back(std::move(t));
    }
    seguidor.Fail(std::move(failed));
    return true;
}

}  // namespace sending
