#include "escpos_backend/job_printing.h"

#include <cups/backend.h>
#include <time.h>

#include <chrono>
#include <memory>

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

}  // namespace

int PrintJob(const DeviceUri& uri, const std::string& job, const StatusMemory& memory,
             BackendReport& report) {
    const std::string name = PrinterName(uri);
    bool answered_before = memory.HasAnswered(uri.host, uri.port);
    bool job_sent = false;
    std::unique_ptr<PrinterLink> link;
    for (;;) {
        std::string error;
        if (!link) {
            link = PrinterLink::Connect(uri.host, uri.port, kConnectWait, &error);
            if (!link) {
                report.Reasons({"offline-report"});
                report.Info("No se puede conectar con la impresora " + name + " (" + error +
                            "): se reintenta cada 2 s");
                Pause(kRetryConnect);
                continue;
            }
            report.Debug("Conectado a " + name);
        }

        Answer answer = Answer::Silent;
        PrinterStatus status;
        if (uri.ask_status) {
            std::array<std::uint8_t, 3> bytes{};
            const PrinterLink::Asked asked = link->AskStatus(uri.answer_wait, &bytes, &error);
            if (asked == PrinterLink::Asked::Lost) {
                link.reset();
                report.Reasons({"offline-report"});
                report.Info("Se perdió la conexión con la impresora " + name + " (" + error +
                            "): se reintenta");
                Pause(kRetryConnect);
                continue;
            }
            if (asked == PrinterLink::Asked::Answered) {
                if (const auto decoded = DecodeStatus(bytes[0], bytes[1], bytes[2])) {
                    status = *decoded;
                    answer = Blocks(status) ? Answer::Fault : Answer::Fine;
                } else {
                    report.Debug("Respuesta de estado no válida de " + name + ": " +
                                 std::to_string(bytes[0]) + " " + std::to_string(bytes[1]) + " " +
                                 std::to_string(bytes[2]));
                }
            }
            if (answer != Answer::Silent && !answered_before) {
                answered_before = true;
                if (!memory.RememberAnswered(uri.host, uri.port, &error))
                    report.Debug("No se guardó que " + name + " responde al estado: " + error);
            }
            // A late answer would come out of turn: the next question goes on a new connection.
            if (answer == Answer::Silent) link.reset();
        }

        const Decision decision = NextStep({uri.ask_status, job_sent, answer, answered_before});
        job_sent = decision.job_sent;
        switch (decision.step) {
            case Step::SendJob: {
                report.Reasons(StateReasons(status));
                report.Info("Imprimiendo en " + name);
                bool sent = false;
                {
                    const WholeTicket whole;
                    sent = link->Send(job, kSendStall, &error);
                    if (sent) report.Handed();
                }
                if (!sent) {
                    report.Debug("El envío a " + name + " falló (" + error + "): se envía de nuevo");
                    link.reset();
                    job_sent = false;
                }
                continue;
            }
            case Step::Finish:
                report.Reasons(StateReasons(status));
                if (link) link->Close(kCloseWait);
                report.Info("Comanda impresa en " + name);
                return CUPS_BACKEND_OK;
            case Step::SendUnchecked: {
                if (!link) link = PrinterLink::Connect(uri.host, uri.port, kConnectWait, &error);
                bool sent = false;
                {
                    const WholeTicket whole;
                    sent = link && link->Send(job, kSendStall, &error);
                    if (sent) report.Handed();
                }
                if (!sent) {
                    report.Debug("El envío a " + name + " falló (" + error + "): se envía de nuevo");
                    link.reset();
                    Pause(kRetryConnect);
                    continue;
                }
                link->Close(kCloseWait);
                report.Reasons({});
                // A warning, not news: the scheduler logs it and the job keeps it,
                // as faults on this printer go unnoticed.
                report.Warning("La impresora " + name +
                            (uri.ask_status ? " no responde a consultas de estado (sin estado)"
                                            : " se usa sin consultas de estado (estado=no, sin estado)") +
                            ": se imprime sin comprobar");
                return CUPS_BACKEND_OK;
            }
            case Step::WaitForPrinter:
                if (answer == Answer::Fault) {
                    report.Reasons(StateReasons(status));
                    report.Info(FaultMessage(status) + " en " + name + ": se espera a la impresora");
                } else {
                    report.Reasons({"offline-report"});
                    report.Info("Fuera de línea: la impresora " + name +
                                " no responde; se espera a la impresora");
                }
                Pause(kAskAgain);
                continue;
        }
    }
}

}  // namespace escposbackend
