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

std::vector<Ticket> LayOut(const JournalEntry& entry, const PrintSetup& setup) {
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

bool Wanted(const std::vector<int>& omitir, int index) {
    return std::find(omitir.begin(), omitir.end(), index) == omitir.end();
}

void Failed(PrintReport& report, int index, const Ticket& ticket, const QString& error) {
    report.fallidos.push_back(index);
    report.titulos << ticket.title;
    if (!error.isEmpty() && !report.motivo.split(QStringLiteral(" / ")).contains(error))
        report.motivo += (report.motivo.isEmpty() ? QString() : QStringLiteral(" / ")) + error;
}

}  // namespace

PrintReport PrintTickets(const JournalEntry& entry, const PrintSetup& setup, const std::vector<int>& omitir,
                         const std::function<void(int)>& impresa) {
    PrintReport report;
    report.impresora = setup.impresora;
    // A terminal without a ticket printer: no queue can have an empty name.
    if (setup.impresora.isEmpty()) return report;
    PrintingSystem& sistema = setup.sistema ? *setup.sistema : CurrentPrintingSystem();
    const std::vector<Ticket> tickets = LayOut(entry, setup);
    const PrinterList lista = sistema.InstalledPrinters();
    if (!lista.ok) {
        // The printing system could not be asked: whether the printer exists
        // is unknown, so every ticket counts as not printed.
        qWarning().noquote() << "printer list of the printing system:" << lista.error;
        report.installed = true;
        for (int i = 0; i < static_cast<int>(tickets.size()); ++i)
            if (Wanted(omitir, i)) Failed(report, i, tickets[static_cast<size_t>(i)], lista.error);
        return report;
    }
    report.impresora = FindPrinter(lista.printers, setup.impresora);
    if (report.impresora.isEmpty()) return report;  // not installed: the terminal prints nothing
    report.installed = true;
    bool sinRespuesta = false;
    for (int i = 0; i < static_cast<int>(tickets.size()); ++i) {
        if (!Wanted(omitir, i)) continue;
        const Ticket& ticket = tickets[static_cast<size_t>(i)];
        // Once the printing system stopped answering, every further ticket
        // would hold the screen for the whole time limit again.
        const JobResult r = sinRespuesta ? JobResult{} : sistema.PrintTicket(report.impresora, ticket);
        if (r.ok) {
            report.impresas.push_back(i);
            if (impresa) impresa(i);
            continue;
        }
        if (!sinRespuesta)
            qWarning().noquote() << "ticket" << ticket.title << "of send" << entry.idEnvio << "on"
                                 << report.impresora << ":" << r.error;
        Failed(report, i, ticket, sinRespuesta ? QString() : r.error);
        sinRespuesta = sinRespuesta || r.sinRespuesta;
    }
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

QString PrintFailureMessage(const QString& numero, const QString& impresora,
                            const QStringList& fallidos, const QString& error) {
    const QChar cr(13);
    return QStringLiteral("Error de impresión...") + cr + QStringLiteral(" El pedido quedó guardado (comanda ") +
           numero + QStringLiteral("), pero no llegó a la impresora ") + impresora + QStringLiteral(": ") +
           fallidos.join(QStringLiteral(", ")) + QStringLiteral(".") + cr +
           QStringLiteral(" No envíe el pedido de nuevo.") + cr + QStringLiteral(" Motivo: ") + error;
}

QString PrintAgainQuestion() {
    return QStringLiteral(" ¿Imprimir de nuevo las comandas que faltan?");
}

void ImprimirComanda(const JournalEntry& entry, const PrintSetup& setup,
                     const std::function<void(const std::vector<int>&)>& impresas) {
    const QString numero = entry.intento ? entry.intento->numero : QString();
    std::vector<int> hechas = entry.impresas;
    // Each ticket out is known before the next one goes: a terminal switched
    // off in the middle prints only the others at its next start.
    const auto impresa = [&](int i) {
        hechas.push_back(i);
        if (impresas) impresas(hechas);
    };
    PrintReport report = PrintTickets(entry, setup, hechas, impresa);
    while (!report.ok()) {
        qWarning().noquote() << "tickets of send" << numero << "not printed on" << report.impresora << ":"
                             << report.titulos.join(QStringLiteral(", "));
        const QString text = PrintFailureMessage(numero, report.impresora, report.titulos, report.motivo) +
                             QChar(13) + PrintAgainQuestion();
        if (!dialogs::Current().YesNo(text, Module1::kTituloSistema, dialogs::Icon::Question)) {
            qWarning().noquote() << "tickets of send" << numero << "given up by the waiter";
            return;
        }
        report = PrintTickets(entry, setup, hechas, impresa);
    }
}

}  // namespace sending
