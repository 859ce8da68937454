#include "escpos_backend/job_printing.h"

#include <cups/backend.h>
#include <time.h>

#include <chrono>
#include <memory>
#include <optional>

#include "escpos_backend/cancel_guard.h"
#include "escpos_backend/next_step.h"
#include "escpos_backend/printer_link.h"
#include "escpos_backend/status_bytes.h"

namespace escposbackend {
namespace {

using namespace std::chrono_literals;

constexpr auto kConnectWait = 5s;
constexpr auto kRetryConnect = 2s;
constexpr auto kAskAgain = 1500ms;
constexpr auto kSendStall = 30s;
constexpr auto kCloseWait = 10s;

void Pause(std::chrono::milliseconds time) {
    timespec left{static_cast<time_t>(time.count() / 1000), static_cast<long>(time.count() % 1000) * 1'000'000};
    while (::nanosleep(&left, &left) != 0) {
    }
}

// The answer to one status request, and the status it gives.
struct StatusAnswer {
    Answer answer = Answer::Silent;
    PrinterStatus status;
};

// Asks the status; nothing when the connection failed (`error` says how).
// An answer that is no status byte is named in `report` once per job
// (`unreadable_told`).
std::optional<StatusAnswer> AskPrinter(PrinterLink& link, const DeviceUri& uri, BackendReport& report,
                                       bool* unreadable_told, std::string* error) {
    std::array<std::uint8_t, 3> bytes{};
    const PrinterLink::Asked asked = link.AskStatus(uri.answer_wait, &bytes, error);
    if (asked == PrinterLink::Asked::Lost) return std::nullopt;
    StatusAnswer out;
    if (asked == PrinterLink::Asked::Silent) return out;
    if (const auto decoded = DecodeStatus(bytes[0], bytes[1], bytes[2])) {
        out.status = *decoded;
        out.answer = Blocks(out.status) ? Answer::Fault : Answer::Fine;
        return out;
    }
    out.answer = Answer::Unreadable;
    if (!*unreadable_told) {
        *unreadable_told = true;
        report.Warning("La impresora " + PrinterName(uri) + " responde al estado con bytes que no se entienden (" +
                       std::to_string(bytes[0]) + " " + std::to_string(bytes[1]) + " " +
                       std::to_string(bytes[2]) + "): se imprime sin comprobar");
    }
    return out;
}

// Sends the whole job on `link` (connecting first when there is none);
// false, with the reason, when it did not all go.
bool SendWhole(std::unique_ptr<PrinterLink>& link, const DeviceUri& uri, const std::string& job,
               BackendReport& report, std::string* error) {
    if (!link) link = PrinterLink::Connect(uri.host, uri.port, kConnectWait, error);
    const WholeTicket whole;
    const bool sent = link && link->Send(job, kSendStall, error);
    if (sent) report.Handed();
    return sent;
}

// The job is on paper without any status to say so: the warning the
// scheduler logs and the job keeps, as faults on this printer go unnoticed.
void ToldUnchecked(const DeviceUri& uri, Answer answer, BackendReport& report) {
    report.Reasons({});
    const std::string name = PrinterName(uri);
    if (!uri.ask_status)
        report.Warning("La impresora " + name + " se usa sin consultas de estado (estado=no, sin estado)" +
                       ": se imprime sin comprobar");
    else if (answer != Answer::Unreadable)
        report.Warning("La impresora " + name + " no responde a consultas de estado (sin estado)" +
                       ": se imprime sin comprobar");
}

void ToldWaiting(const std::string& name, const StatusAnswer& got, BackendReport& report) {
    if (got.answer == Answer::Fault) {
        report.Reasons(StateReasons(got.status));
        report.Info(FaultMessage(got.status) + " en " + name + ": se espera a la impresora");
    } else {
        report.Reasons({"offline-report"});
        report.Info("Fuera de línea: la impresora " + name + " no responde; se espera a la impresora");
    }
}

// Connects when there is no connection; false, told and after a pause, when
// the printer cannot be reached.
bool Connected(std::unique_ptr<PrinterLink>& link, const DeviceUri& uri, BackendReport& report) {
    if (link) return true;
    std::string error;
    link = PrinterLink::Connect(uri.host, uri.port, kConnectWait, &error);
    if (!link) {
        report.Reasons({"offline-report"});
        report.Info("No se puede conectar con la impresora " + PrinterName(uri) + " (" + error +
                    "): se reintenta cada 2 s");
        Pause(kRetryConnect);
        return false;
    }
    report.Debug("Conectado a " + PrinterName(uri));
    return true;
}

// Asks the printer's status on `link`. Nullopt when the link was lost (it is
// dropped, the queue told, and the backend waits before connecting again).
// The first proper answer is remembered for this printer.
std::optional<StatusAnswer> AskAndRemember(std::unique_ptr<PrinterLink>& link, const DeviceUri& uri,
                                           const StatusMemory& memory, BackendReport& report,
                                           bool& answered_before, bool& unreadable_told) {
    const std::string name = PrinterName(uri);
    std::string error;
    const auto asked = AskPrinter(*link, uri, report, &unreadable_told, &error);
    if (!asked) {
        link.reset();
        report.Reasons({"offline-report"});
        report.Info("Se perdió la conexión con la impresora " + name + " (" + error + "): se reintenta");
        Pause(kRetryConnect);
        return std::nullopt;
    }
    if ((asked->answer == Answer::Fine || asked->answer == Answer::Fault) && !answered_before) {
        answered_before = true;
        if (!memory.RememberAnswered(uri.host, uri.port, &error))
            report.Debug("No se guardó que " + name + " responde al estado: " + error);
    }
    // A late answer, or more bytes after one that made no sense, would come
    // out of turn: the next question goes on a new connection.
    if (asked->answer == Answer::Silent || asked->answer == Answer::Unreadable) link.reset();
    return asked;
}

}  // namespace

int PrintJob(const DeviceUri& uri, const std::string& job, const StatusMemory& memory,
             BackendReport& report) {
    const std::string name = PrinterName(uri);
    bool answered_before = memory.HasAnswered(uri.host, uri.port);
    bool job_sent = false;
    bool unreadable_told = false;
    std::unique_ptr<PrinterLink> link;
    for (;;) {
        std::string error;
        if (!Connected(link, uri, report)) continue;

        StatusAnswer got;
        if (uri.ask_status) {
            const auto asked = AskAndRemember(link, uri, memory, report, answered_before, unreadable_told);
            if (!asked) continue;
            got = *asked;
        }

        const Decision decision = NextStep({uri.ask_status, job_sent, got.answer, answered_before});
        job_sent = decision.job_sent;
        switch (decision.step) {
            case Step::SendJob:
                report.Reasons(StateReasons(got.status));
                report.Info("Imprimiendo en " + name);
                if (!SendWhole(link, uri, job, report, &error)) {
                    report.Debug("El envío a " + name + " falló (" + error + "): se envía de nuevo");
                    link.reset();
                    job_sent = false;
                }
                continue;
            case Step::Finish:
                report.Reasons(StateReasons(got.status));
                if (link) link->Close(kCloseWait);
                report.Info("Comanda impresa en " + name);
                return CUPS_BACKEND_OK;
            case Step::SendUnchecked:
                if (!SendWhole(link, uri, job, report, &error)) {
                    report.Debug("El envío a " + name + " falló (" + error + "): se envía de nuevo");
                    link.reset();
                    Pause(kRetryConnect);
                    continue;
                }
                link->Close(kCloseWait);
                ToldUnchecked(uri, got.answer, report);
                return CUPS_BACKEND_OK;
            case Step::WaitForPrinter:
                ToldWaiting(name, got, report);
                Pause(kAskAgain);
                continue;
        }
    }
}

}  // namespace escposbackend
