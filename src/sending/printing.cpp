#include "sending/printing.h"

#include <QTime>
#include <QtDebug>
#include <optional>

#include "runtime/runtime_error.h"
#include "runtime/text_file.h"
#include "sending/printing_system.h"
#include "sending/ticket_layout.h"
#include "startup/configuration.h"
#include "startup/module1.h"

namespace sending {
namespace {

// The lines of Modelo.txt, or nullopt when it cannot be read now (it was
// readable at start-up; another terminal may have replaced it since).
std::optional<QStringList> ReadModelo() {
    const QString path = startup::PathIn(Module1::Carpeta_Datos, QStringLiteral("Modelo.txt"));
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

std::vector<Ticket> LayOut(const QString& numero, const OrderToSend& pedido, const QDate& fecha) {
    TicketInput entrada;
    entrada.numero = numero;
    entrada.empresa = Module1::Nombre_Empresa;
    entrada.fecha = fecha;
    entrada.mesonero = pedido.mesonero;
    entrada.mesa = pedido.mesa;
    entrada.filas = pedido.filas;
    entrada.reloj = [] { return QTime::currentTime(); };
    return LayOutTickets(entrada, ReadModelo());
}

QStringList Titles(const std::vector<Ticket>& tickets) {
    QStringList titles;
    for (const Ticket& t : tickets) titles << t.title;
    return titles;
}

void Report(const QString& numero, const QString& impresora, const QStringList& fallidos,
            const QString& error) {
    qWarning().noquote() << "tickets of send" << numero << "not printed on" << impresora << ":"
                         << fallidos.join(QStringLiteral(", "));
    Module1::Mensaje = PrintFailureMessage(numero, impresora, fallidos, error);
    Module1::Mostrar_Mensaje();
}

}  // namespace

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
           QStringLiteral(" Avise a la cocina; no lo envíe de nuevo.") + cr + QStringLiteral(" Motivo: ") + error;
}

void ImprimirComanda(const QString& numero, const OrderToSend& pedido, const QDate& fecha) {
    // A terminal without a ticket printer: no queue can have an empty name.
    if (Module1::Impresora.isEmpty()) return;
    PrintingSystem& sistema = CurrentPrintingSystem();
    const PrinterList lista = sistema.InstalledPrinters();
    if (!lista.ok) {
        // The printing system could not be asked: whether the printer exists
        // is unknown, so every ticket is reported as not printed.
        qWarning().noquote() << "printer list of the printing system:" << lista.error;
        Report(numero, Module1::Impresora, Titles(LayOut(numero, pedido, fecha)), lista.error);
        return;
    }
    const QString impresora = FindPrinter(lista.printers, Module1::Impresora);
    if (impresora.isEmpty()) return;  // not installed: the terminal prints nothing

    QStringList fallidos;
    QStringList motivos;  // each different reason once, in the order seen
    bool sinRespuesta = false;
    for (const Ticket& ticket : LayOut(numero, pedido, fecha)) {
        // Once the printing system stopped answering, every further ticket
        // would hold the screen for the whole time limit again.
        const JobResult r = sinRespuesta ? JobResult{} : sistema.PrintTicket(impresora, ticket);
        if (r.ok) continue;
        fallidos << ticket.title;
        if (sinRespuesta) continue;
        qWarning().noquote() << "ticket" << ticket.title << "of send" << numero << "on" << impresora << ":"
                             << r.error;
        if (!motivos.contains(r.error)) motivos << r.error;
        sinRespuesta = r.sinRespuesta;
    }
    if (!fallidos.isEmpty()) Report(numero, impresora, fallidos, motivos.join(QStringLiteral(" / ")));
}

}  // namespace sending
