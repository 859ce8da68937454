#pragma once
// One connection to a CUPS scheduler with every wait bounded: connecting,
// sending and waiting for an answer each give up after the connection's
// time limit, so a scheduler that is gone or stuck never freezes the screen.
#include <cups/cups.h>

#include <QByteArray>
#include <QString>
#include <chrono>
#include <memory>

namespace printers {

// Where a scheduler is reached, from a server name as CUPS_SERVER spells it:
// a local socket path ("/run/cups/cups.sock"), "host", "host:port" or
// "[v6-address]:port", any "/version=..." suffix dropped. Empty: the
// machine's default (CUPS_SERVER, client.conf, or the local scheduler).
struct CupsServerAddress {
    QByteArray host;  // a socket path or a host name
    int port = 0;
};
CupsServerAddress ParseCupsServer(const QString& servidor);

struct IppDeleter {
    void operator()(ipp_t* ipp) const { ippDelete(ipp); }
};
using IppResponse = std::unique_ptr<ipp_t, IppDeleter>;

class CupsConnection {
public:
    // Connects to `servidor` (see ParseCupsServer); nullptr, with the reason
    // in `error`, when the scheduler cannot be reached within `plazo`.
    static std::unique_ptr<CupsConnection> Open(const QString& servidor,
                                                std::chrono::milliseconds plazo, QString* error);
    ~CupsConnection();
    CupsConnection(const CupsConnection&) = delete;
    CupsConnection& operator=(const CupsConnection&) = delete;

    // Sends `request` (which this call frees) to `resource`. The answer and
    // its status; `error` holds the scheduler's reason when the status is
    // not a success.
    IppResponse Request(ipp_t* request, const char* resource, ipp_status_t* status, QString* error);

    // One job holding one document of `format` (CUPS_FORMAT_RAW, CUPS_FORMAT_PDF),
    // named `title`: its id. 0, with the reason, unless the scheduler accepted
    // all of it; a job left half made is cancelled.
    int SendJob(const QString& printer, const QString& title, const char* format,
                 const QByteArray& data, QString* error);

    // "ipp://localhost/printers/NAME", the URI the scheduler knows a queue by.
    static QByteArray PrinterUri(const QString& printer);

    // Cancels job `job` of `printer`; false, with the scheduler's reason,
    // when it could not (a job that has already ended cannot be).
    bool Cancel(const QString& printer, int job, QString* error);

    http_t* Http() const { return http_; }
    const QString& Server() const { return server_; }

private:
    CupsConnection(http_t* http, QString server) : http_(http), server_(std::move(server)) {}

    http_t* http_;
    QString server_;
};

}  // namespace printers
