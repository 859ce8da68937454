#include "sending/printer_faults.h"

#include <QStringList>
#include <QtDebug>

namespace sending {
namespace {

// A reason keyword without its severity: "media-empty-error" is
// "media-empty". Warnings ("media-low-warning", "media-empty-warning" of a
// second tray) do not keep a ticket from printing: they are left out.
QStringList Keywords(const QStringList& reasons) {
    QStringList out;
    for (QString r : reasons) {
        r = r.trimmed().toLower();
        if (r.endsWith(QLatin1String("-warning"))) continue;
        for (const char* suffix : {"-error", "-report"}) {
            // offline-report is the keyword itself: keep its name whole.
            if (r != QLatin1String("offline-report") && r.endsWith(QLatin1String(suffix)))
                r.chop(static_cast<int>(qstrlen(suffix)));
        }
        out << r;
    }
    return out;
}

PrinterFault PrinterOwnWord(const QStringList& reasons) {
    const QStringList k = Keywords(reasons);
    if (k.contains(QLatin1String("media-empty")) || k.contains(QLatin1String("media-needed")))
        return PrinterFault::PaperOut;
    if (k.contains(QLatin1String("door-open")) || k.contains(QLatin1String("cover-open")))
        return PrinterFault::CoverOpen;
    if (k.contains(QLatin1String("offline-report")) || k.contains(QLatin1String("offline")) ||
        k.contains(QLatin1String("shutdown")))
        return PrinterFault::Offline;
    return PrinterFault::None;
}

}  // namespace

PrinterFault QueueFault(const QueueState& cola) {
    if (!cola.answered) return PrinterFault::None;
    // The printer's word is heard while a job is under way (its backend
    // reports it) or the queue stopped on it; on an idle queue it is what
    // a backend said before it ended, and the next job asks the printer again.
    const PrinterFault own = cola.processing || cola.stopped ? PrinterOwnWord(cola.reasons) : PrinterFault::None;
    if (own != PrinterFault::None) return own;
    if (cola.stopped) return PrinterFault::Stopped;
    if (!cola.accepting) return PrinterFault::Rejecting;
    return PrinterFault::None;
}

JobVerdict JudgeJob(const JobState& trabajo, const QueueState& cola, std::chrono::milliseconds desde,
                    std::chrono::milliseconds plazo) {
    using K = JobVerdict::Kind;
    const bool late = desde >= plazo;
    if (!trabajo.answered) return late ? JobVerdict{K::Failed, PrinterFault::NoAnswer} : JobVerdict{};
    // Its backend handed the whole ticket to the printer, and the job was
    // then stopped, put back or cancelled (the queue paused while the backend
    // waited for the printer's last word): it is on paper. One still
    // printing is left to finish (its backend may yet send it again).
    if (trabajo.hojas > 0 && trabajo.phase != JobPhase::Processing) return {K::Printed, PrinterFault::None};
    switch (trabajo.phase) {
        case JobPhase::Completed: return {K::Printed, PrinterFault::None};
        case JobPhase::Canceled: return {K::Failed, PrinterFault::JobCancelled};
        case JobPhase::Aborted: return {K::Failed, PrinterFault::JobAborted};
        case JobPhase::Gone: return {K::Failed, PrinterFault::JobGone};
        case JobPhase::Held: return {K::Failed, PrinterFault::JobHeld};
        case JobPhase::Stopped: {
            // Stopped by its queue (or its printer's fault), or on its own:
            // CUPS stops a job whose filter or backend failed ("completed
            // with errors") while the queue goes on with the next one.
            const PrinterFault f = QueueFault(cola);
            return {K::Failed, f == PrinterFault::None || f == PrinterFault::Rejecting ? PrinterFault::JobAborted : f};
        }
        case JobPhase::Pending:
        case JobPhase::Processing: {
            // A queue that stopped, or a printer that says it cannot print,
            // holds the job: the waiter hears it now, not at the time limit.
            // (A queue that takes no new job still prints the ones it has.)
            const PrinterFault f = QueueFault(cola);
            if (f != PrinterFault::None && f != PrinterFault::Rejecting) return {K::Failed, f};
            return late ? JobVerdict{K::Failed, PrinterFault::NotCompleted} : JobVerdict{};
        }
    }
    return {};
}

QString FaultText(PrinterFault fault, const QString& impresora, std::chrono::milliseconds plazo,
                  const QString& detalle) {
    const QString p = impresora;
    switch (fault) {
        case PrinterFault::None: return {};
        case PrinterFault::Stopped: return QStringLiteral("La impresora %1 está detenida ...").arg(p);
        case PrinterFault::Rejecting: return QStringLiteral("La impresora %1 no acepta trabajos ...").arg(p);
        case PrinterFault::PaperOut: return QStringLiteral("La impresora %1: Sin papel ...").arg(p);
        case PrinterFault::CoverOpen: return QStringLiteral("La impresora %1: Tapa abierta ...").arg(p);
        case PrinterFault::Offline: return QStringLiteral("La impresora %1: Fuera de línea ...").arg(p);
        case PrinterFault::NotCompleted:
            return QStringLiteral("La impresora %1 no terminó de imprimir en %2 segundos ...")
                .arg(p)
                .arg(std::chrono::duration_cast<std::chrono::seconds>(plazo).count());
        case PrinterFault::JobHeld:
            return QStringLiteral("La comanda quedó retenida en el sistema de impresión (impresora %1) ...").arg(p);
        case PrinterFault::JobCancelled:
            return QStringLiteral("La comanda fue cancelada en la impresora %1 ...").arg(p);
        case PrinterFault::JobAborted:
            return QStringLiteral("La impresora %1 abandonó la comanda por un error ...").arg(p);
        case PrinterFault::JobGone:
            return QStringLiteral("El sistema de impresión ya no tiene la comanda de la impresora %1 ...").arg(p);
        case PrinterFault::NoAnswer:
            return QStringLiteral("El sistema de impresión no responde: pregunte en la cocina si salió la "
                                  "comanda de la impresora %1 ...")
                .arg(p);
        case PrinterFault::Other: return detalle;
    }
    return detalle;
}

void AddReason(QString& motivos, const QString& motivo) {
    const QString between = QStringLiteral(" / ");
    if (motivo.isEmpty() || motivos.split(between).contains(motivo)) return;
    motivos += (motivos.isEmpty() ? QString() : between) + motivo;
}

std::chrono::milliseconds PrintTimeLimit(const QString& valor, QString* aviso) {
    aviso->clear();
    if (valor.trimmed().isEmpty()) return kPlazoImpresionPorDefecto;
    bool ok = false;
    const int seconds = valor.trimmed().toInt(&ok);
    if (ok && seconds >= 2 && seconds <= 600) return std::chrono::seconds(seconds);
    *aviso = QStringLiteral("PEDIDOS_PLAZO_IMPRESION=\"%1\" no es un número de segundos entre 2 y 600: se usan %2.")
                 .arg(valor)
                 .arg(std::chrono::duration_cast<std::chrono::seconds>(kPlazoImpresionPorDefecto).count());
    return kPlazoImpresionPorDefecto;
}

std::chrono::milliseconds ConfiguredPrintTimeLimit() {
    QString aviso;
    const std::chrono::milliseconds plazo = PrintTimeLimit(qEnvironmentVariable("PEDIDOS_PLAZO_IMPRESION"), &aviso);
    if (!aviso.isEmpty()) qWarning().noquote() << aviso;
    return plazo;
}

}  // namespace sending
