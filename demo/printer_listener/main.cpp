// pedidos_printer_listener ADDRESS PORT FILE
// Stands in for the kitchen's network ticket printer: listens on
// ADDRESS:PORT and appends every job it receives, byte for byte, to FILE.
// Runs until it gets SIGINT or SIGTERM. It answers ESC/POS status requests,
// and takes faults from its control file (FILE.falla) while it runs, saying
// each change on standard error.
// pedidos_printer_listener --falla FILE ESTADO
// Tells the printer that writes to FILE to change: ESTADO is normal,
// sin-papel, tapa-abierta, fuera-de-linea, apagada (port closed; normal
// opens it again), sin-estado or con-estado (whether it answers status requests).
// pedidos_printer_listener --texto FILE
// Shows what such a FILE holds as the tickets the printer would print.
#include <QByteArray>
#include <QFile>
#include <QString>
#include <csignal>
#include <cstdio>
#include <ctime>

#include "fault_control.h"
#include "printer_listener.h"
#include "sending/escpos.h"

namespace {

void AppendJob(const QString& path, const QByteArray& job) {
    QFile file(path);
    if (!file.open(QIODevice::Append) || file.write(job) != job.size() || !file.flush()) {
        std::fprintf(stderr, "No se pudo guardar un trabajo de %lld bytes en %s: %s\n",
                     static_cast<long long>(job.size()), qPrintable(path),
                     qPrintable(file.errorString()));
        return;
    }
    std::fprintf(stderr, "Trabajo recibido: %lld bytes\n", static_cast<long long>(job.size()));
}

// The tickets in a capture file, as text on standard output.
int ShowTickets(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "No se pudo leer %s: %s\n", qPrintable(path), qPrintable(file.errorString()));
        return 1;
    }
    const QByteArray text = sending::EscPosText(file.readAll()).toUtf8();
    std::fwrite(text.constData(), 1, static_cast<std::size_t>(text.size()), stdout);
    return 0;
}

void PrintUsage(const char* program) {
    std::fprintf(stderr,
                 "Uso: %s DIRECCION PUERTO ARCHIVO\n"
                 "     %s --texto ARCHIVO\n"
                 "     %s --falla ARCHIVO ESTADO\n"
                 "ESTADO es uno de: %s\n",
                 program, program, program,
                 qPrintable(printerlistener::FaultOrderWords().join(QStringLiteral(", "))));
}

// --falla: hands the order to the printer that writes to `capture`.
int SendOrder(const char* program, const QString& capture, const QString& word) {
    if (!printerlistener::ParseFaultOrder(word)) {
        std::fprintf(stderr, "Estado desconocido: %s\n", qPrintable(word));
        PrintUsage(program);
        return 2;
    }
    QString error;
    if (!printerlistener::SendFaultOrder(capture, word, &error)) {
        std::fprintf(stderr, "No se pudo escribir la orden en %s: %s\n",
                     qPrintable(printerlistener::FaultControlPath(capture)), qPrintable(error));
        return 1;
    }
    std::fprintf(stderr, "Orden \"%s\" dejada en %s; la impresora la toma en un momento.\n",
                 qPrintable(word), qPrintable(printerlistener::FaultControlPath(capture)));
    return 0;
}

// Carries out the orders left in the control file since the last look.
void TakeOrders(printerlistener::PrinterListener& listener, const QString& address, quint16 port,
                const QString& capture) {
    using printerlistener::FaultOrder;
    for (const QString& word : printerlistener::TakeFaultOrders(capture)) {
        const auto order = printerlistener::ParseFaultOrder(word);
        if (!order) {
            std::fprintf(stderr, "Orden desconocida ignorada: %s\n", qPrintable(word));
            continue;
        }
        switch (order->kind) {
            case FaultOrder::Kind::SwitchOff:
                listener.Stop();
                break;
            case FaultOrder::Kind::AnswersStatus:
                listener.SetAnswersStatus(order->answers);
                break;
            case FaultOrder::Kind::Fault:
                listener.SetFault(order->fault);
                if (!listener.Listening()) {
                    QString error;
                    if (!listener.Start(address, port, &error)) {
                        std::fprintf(stderr, "No se pudo encender la impresora: %s\n", qPrintable(error));
                        continue;
                    }
                }
                break;
        }
        std::fprintf(stderr, "Impresora de prueba: %s\n",
                     qPrintable(printerlistener::DescribeFaultOrder(*order)));
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && QByteArray(argv[1]) == "--texto") return ShowTickets(QString::fromLocal8Bit(argv[2]));
    if (argc == 4 && QByteArray(argv[1]) == "--falla")
        return SendOrder(argv[0], QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    if (argc != 4) {
        PrintUsage(argv[0]);
        return 2;
    }
    const QString address = QString::fromLocal8Bit(argv[1]);
    bool port_ok = false;
    const uint port = QString::fromLocal8Bit(argv[2]).toUInt(&port_ok);
    const QString path = QString::fromLocal8Bit(argv[3]);
    if (!port_ok || port == 0 || port > 65535) {
        std::fprintf(stderr, "Puerto no válido: %s\n", argv[2]);
        return 2;
    }
    // The signals are taken by sigwait below, on this thread only: block them
    // before the listener's thread starts, so that it inherits the mask.
    sigset_t stop_signals;
    sigemptyset(&stop_signals);
    sigaddset(&stop_signals, SIGINT);
    sigaddset(&stop_signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stop_signals, nullptr);

    printerlistener::PrinterListener listener(
        [&path](const QByteArray& job) { AppendJob(path, job); });
    QString error;
    if (!listener.Start(address, static_cast<quint16>(port), &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    // An order left for an earlier run is not this printer's.
    printerlistener::TakeFaultOrders(path);
    std::fprintf(stderr, "Impresora de prueba en %s:%u; los trabajos se añaden a %s\n",
                 qPrintable(address), port, qPrintable(path));
    // Looks at the control file every 100 ms until a stop signal comes.
    const timespec look_again{0, 100'000'000};
    while (sigtimedwait(&stop_signals, nullptr, &look_again) < 0)
        TakeOrders(listener, address, static_cast<quint16>(port), path);
    listener.Stop();
    return 0;
}
