#include "printers/cups_connection.h"

#include <QtDebug>
#include <cerrno>
#include <cstring>

namespace printers {
namespace {

// Called by libcups when a wait passes the connection's time limit: 0 stops
// waiting, and the call under way fails with a time-out.
int GiveUpOnTimeout(http_t*, void*) {
    return 0;
}

// The reason libcups gives for the call that just failed. A wait that ran out
// can leave its status, or only its text, at "successful" (an error status
// whose text is strerror(0)), which would read as nonsense.
QString LastCupsError() {
    const QString text = QString::fromUtf8(cupsLastErrorString());
    if (cupsLastError() <= IPP_STATUS_OK_CONFLICTING || text.isEmpty() ||
        text.compare(QLatin1String("Success"), Qt::CaseInsensitive) == 0 ||
        text.startsWith(QLatin1String("successful"), Qt::CaseInsensitive))
        return QStringLiteral("no hubo respuesta a tiempo");
    return text;
}

}  // namespace

CupsServerAddress ParseCupsServer(const QString& servidor) {
    QString server = servidor.isEmpty() ? QString::fromUtf8(cupsServer()) : servidor;
    if (server.startsWith(QLatin1Char('/'))) return {server.toLocal8Bit(), ippPort()};
    const qsizetype version = server.indexOf(QLatin1String("/version="));
    if (version >= 0) server.truncate(version);
    int port = ippPort();
    const qsizetype colon = server.lastIndexOf(QLatin1Char(':'));
    if (colon > 0 && colon > server.lastIndexOf(QLatin1Char(']'))) {
        bool ok = false;
        const int value = server.mid(colon + 1).toInt(&ok);
        if (ok && value > 0 && value < 65536) {
            port = value;
            server.truncate(colon);
        }
    }
    if (server.startsWith(QLatin1Char('[')) && server.endsWith(QLatin1Char(']')))
        server = server.mid(1, server.size() - 2);
    return {server.toUtf8(), port};
}

std::unique_ptr<CupsConnection> CupsConnection::Open(const QString& servidor,
                                                     std::chrono::milliseconds plazo,
                                                     QString* error) {
    const CupsServerAddress address = ParseCupsServer(servidor);
    const QString shown = QString::fromUtf8(address.host);
    errno = 0;
    http_t* http = httpConnect2(address.host.constData(), address.port, nullptr, AF_UNSPEC,
                                cupsEncryption(), 1, static_cast<int>(plazo.count()), nullptr);
    if (!http) {
        const int cause = errno;
        *error =
            QStringLiteral("No se pudo conectar con el sistema de impresión (CUPS) en %1: %2")
                .arg(shown, cause ? QString::fromLocal8Bit(std::strerror(cause)) : LastCupsError());
        return nullptr;
    }
    httpSetTimeout(http, static_cast<double>(plazo.count()) / 1000.0, GiveUpOnTimeout, nullptr);
    return std::unique_ptr<CupsConnection>(new CupsConnection(http, shown));
}

CupsConnection::~CupsConnection() {
    httpClose(http_);
}

QByteArray CupsConnection::PrinterUri(const QString& printer) {
    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", ippPort(),
                     "/printers/%s", printer.toUtf8().constData());
    return QByteArray(uri);
}

IppResponse CupsConnection::Request(ipp_t* request, const char* resource, ipp_status_t* status,
                                    QString* error) {
    IppResponse response(cupsDoRequest(http_, request, resource));
    *status = cupsLastError();
    if (!response && *status <= IPP_STATUS_OK_CONFLICTING) {
        // No answer at all (the wait ran out): libcups may still say "success".
        *status = IPP_STATUS_ERROR_SERVICE_UNAVAILABLE;
        *error = QStringLiteral("El sistema de impresión (CUPS) en %1 no respondió a tiempo.")
                     .arg(server_);
    } else if (*status > IPP_STATUS_OK_CONFLICTING) {
        *error = QStringLiteral("El sistema de impresión (CUPS) en %1 no atendió la petición: %2")
                     .arg(server_, LastCupsError());
    }
    return response;
}

int CupsConnection::SendJob(const QString& printer, const QString& title, const char* format,
                             const QByteArray& data, QString* error) {
    const QByteArray name = printer.toUtf8();
    const QByteArray job_name = title.toUtf8();
    const int job = cupsCreateJob(http_, name.constData(), job_name.constData(), 0, nullptr);
    if (job == 0) {
        *error = QStringLiteral("La impresora \"%1\" no aceptó el trabajo \"%2\": %3")
                     .arg(printer, title, LastCupsError());
        return 0;
    }
    const char* failed_step = nullptr;
    QString reason;
    if (cupsStartDocument(http_, name.constData(), job, job_name.constData(), format, 1) !=
        HTTP_STATUS_CONTINUE) {
        failed_step = "abrir";
        reason = LastCupsError();
    } else if (cupsWriteRequestData(http_, data.constData(), static_cast<size_t>(data.size())) !=
               HTTP_STATUS_CONTINUE) {
        failed_step = "enviar";
        reason = LastCupsError();
        cupsFinishDocument(http_, name.constData());  // ends the request under way
    } else if (cupsFinishDocument(http_, name.constData()) > IPP_STATUS_OK_CONFLICTING) {
        failed_step = "cerrar";
        reason = LastCupsError();
    }
    if (!failed_step) return job;
    *error =
        QStringLiteral("No se pudo %1 el documento del trabajo \"%2\" en la impresora \"%3\": %4")
            .arg(QLatin1String(failed_step), title, printer, reason);
    QString why;
    if (!Cancel(printer, job, &why))
        qWarning().noquote() << "CUPS: job" << job << "on" << printer << "left half made and could not be cancelled:"
                             << why;
    return 0;
}

bool CupsConnection::Cancel(const QString& printer, int job, QString* error) {
    if (cupsCancelJob2(http_, printer.toUtf8().constData(), job, 0) <= IPP_STATUS_OK_CONFLICTING) return true;
    *error = LastCupsError();
    return false;
}

}  // namespace printers
