// pedidos_printer_listener ADDRESS PORT FILE
// Stands in for the kitchen's network ticket printer: listens on
// ADDRESS:PORT and appends every job it receives, byte for byte, to FILE.
// Runs until it gets SIGINT or SIGTERM.
// pedidos_printer_listener --texto FILE
// Shows what such a FILE holds as the tickets the printer would print.
#include <QByteArray>
#include <QFile>
#include <QString>
#include <csignal>
#include <cstdio>

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

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && QByteArray(argv[1]) == "--texto") return ShowTickets(QString::fromLocal8Bit(argv[2]));
    if (argc != 4) {
        std::fprintf(stderr, "Uso: %s DIRECCION PUERTO ARCHIVO\n     %s --texto ARCHIVO\n", argv[0], argv[0]);
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
    std::fprintf(stderr, "Impresora de prueba en %s:%u; los trabajos se añaden a %s\n",
                 qPrintable(address), port, qPrintable(path));
    int received = 0;
    sigwait(&stop_signals, &received);
    listener.Stop();
    return 0;
}
