#include "printers/cups_printing.h"

#include <QPageSize>
#include <QPrinter>
#include <QPrinterInfo>
#include <QtDebug>
#include <cstring>
#include <optional>
#include <vector>

#include "printers/cups_connection.h"
#include "sending/cups_answers.h"
#include "sending/escpos.h"
#include "printers/ticket_drawing.h"

namespace printers {
namespace {

// The printer-make-and-model CUPS 2.4 gives a queue that has no PPD: the
// scheduler has no driver for it and hands every job to the device as it is.
// A queue with a PPD (a classic driver, or an IPP Everywhere queue, whose PPD
// CUPS writes itself) reports the PPD's model name instead.
constexpr char kRawMakeAndModel[] = "Local Raw Printer";

void AddUserAndAttributes(ipp_t* request, int count, const char* const* attributes) {
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
                 cupsUser());
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", count,
                  nullptr, attributes);
}

struct QueueKind {
    bool known = false;     // false: the queue could not be asked about (see error)
    bool answered = true;   // false: the scheduler did not answer at all
    bool raw = false;
    QString error;
};

// Raw or driver. A class (several printers behind one name) is asked about
// through its first member: a class of raw kitchen printers is raw.
QueueKind AskQueueKind(CupsConnection& cups, const QString& printer, int depth = 0) {
    ipp_t* request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
    const QByteArray uri = CupsConnection::PrinterUri(printer);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri.constData());
    static const char* const kWanted[] = {"printer-make-and-model", "printer-type", "member-names"};
    AddUserAndAttributes(request, 3, kWanted);
    ipp_status_t status = IPP_STATUS_OK;
    QueueKind kind;
    const IppResponse response = cups.Request(request, "/", &status, &kind.error);
    if (status == IPP_STATUS_ERROR_NOT_FOUND) {
        kind.error =
            QStringLiteral("La impresora \"%1\" no está instalada en el sistema de impresión.")
                .arg(printer);
        return kind;
    }
    if (!response) kind.answered = false;
    if (status > IPP_STATUS_OK_CONFLICTING || !response) return kind;
    ipp_attribute_t* type = ippFindAttribute(response.get(), "printer-type", IPP_TAG_ENUM);
    ipp_attribute_t* members = ippFindAttribute(response.get(), "member-names", IPP_TAG_NAME);
    if (type && (ippGetInteger(type, 0) & CUPS_PRINTER_CLASS) && members && depth < 2)
        return AskQueueKind(cups, QString::fromUtf8(ippGetString(members, 0, nullptr)), depth + 1);
    ipp_attribute_t* model =
        ippFindAttribute(response.get(), "printer-make-and-model", IPP_TAG_ZERO);
    const char* text = model ? ippGetString(model, 0, nullptr) : nullptr;
    if (!text)
        qWarning().noquote() << "CUPS queue" << printer << "has no printer-make-and-model: taken as a driver queue";
    kind.known = true;
    kind.raw = text && std::strcmp(text, kRawMakeAndModel) == 0;
    return kind;
}

// Every keyword value of `name` in `response`.
std::vector<QByteArray> Keywords(ipp_t* response, const char* name) {
    std::vector<QByteArray> out;
    ipp_attribute_t* a = ippFindAttribute(response, name, IPP_TAG_KEYWORD);
    for (int i = 0; a && i < ippGetCount(a); ++i) out.emplace_back(ippGetString(a, i, nullptr));
    return out;
}

// The first integer (or enum) value of `name`, when the answer has one.
std::optional<int> FirstInteger(ipp_t* response, const char* name, ipp_tag_t tag) {
    ipp_attribute_t* a = ippFindAttribute(response, name, tag);
    if (!a || ippGetCount(a) < 1) return std::nullopt;
    return ippGetInteger(a, 0);
}

// The queue's state, reasons and whether it takes jobs. A class is as its
// first member says, as for its kind: a class of one stopped printer holds
// its jobs unprinted as that printer does.
QueueState AskQueueState(CupsConnection& cups, const QString& printer, int depth = 0) {
    QueueState state;
    ipp_t* request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
    const QByteArray uri = CupsConnection::PrinterUri(printer);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri.constData());
    static const char* const kWanted[] = {"printer-state", "printer-state-reasons", "printer-is-accepting-jobs",
                                          "printer-state-message", "printer-type", "member-names"};
    AddUserAndAttributes(request, 6, kWanted);
    ipp_status_t status = IPP_STATUS_OK;
    const IppResponse response = cups.Request(request, "/", &status, &state.error);
    if (status > IPP_STATUS_OK_CONFLICTING || !response) return state;
    ipp_t* r = response.get();
    sending::QueueAnswer answer;
    answer.state = FirstInteger(r, "printer-state", IPP_TAG_ENUM);
    answer.reasons = Keywords(r, "printer-state-reasons");
    if (ipp_attribute_t* accepting = ippFindAttribute(r, "printer-is-accepting-jobs", IPP_TAG_BOOLEAN))
        answer.accepting = ippGetBoolean(accepting, 0) != 0;
    if (ipp_attribute_t* message = ippFindAttribute(r, "printer-state-message", IPP_TAG_TEXT))
        answer.message = QByteArray(ippGetString(message, 0, nullptr));
    const QString error = state.error;
    state = sending::QueueFromAnswer(answer);
    state.error = error;
    ipp_attribute_t* type = ippFindAttribute(r, "printer-type", IPP_TAG_ENUM);
    ipp_attribute_t* members = ippFindAttribute(r, "member-names", IPP_TAG_NAME);
    if (type && (ippGetInteger(type, 0) & CUPS_PRINTER_CLASS) && members && depth < 2) {
        const QueueState member = AskQueueState(cups, QString::fromUtf8(ippGetString(members, 0, nullptr)), depth + 1);
        if (member.answered) {
            state.stopped = state.stopped || member.stopped;
            state.processing = state.processing || member.processing;
            state.reasons << member.reasons;
            if (state.message.isEmpty()) state.message = member.message;
        }
    }
    return state;
}

// Points Qt's own use of libcups (QPrinter's list of printers and their page
// sizes) at the scheduler this printing system talks to, while it lives.
// libcups keeps the server name per thread; null puts the default back.
class QtUsesServer {
public:
    explicit QtUsesServer(const QString& servidor) : set_(!servidor.isEmpty()) {
        if (set_) cupsSetServer(servidor.toUtf8().constData());
    }
    ~QtUsesServer() {
        if (set_) cupsSetServer(nullptr);
    }
    QtUsesServer(const QtUsesServer&) = delete;
    QtUsesServer& operator=(const QtUsesServer&) = delete;

private:
    bool set_;
};

}  // namespace

CupsPrintingSystem::CupsPrintingSystem(QString servidor, std::chrono::milliseconds plazo)
    : servidor_(std::move(servidor)), plazo_(plazo) {}

PrinterList CupsPrintingSystem::InstalledPrinters() {
    PrinterList list;
    const std::unique_ptr<CupsConnection> cups =
        CupsConnection::Open(servidor_, plazo_, &list.error);
    if (!cups) return list;
    // CUPS-Get-Printers rather than cupsGetDests2: on a local scheduler that
    // one also browses the network for printers that announce themselves
    // (and waits for them) and adds the user's instances from lpoptions. The
    // terminal wants the queues of the scheduler, within the time limit.
    ipp_t* request = ippNewRequest(IPP_OP_CUPS_GET_PRINTERS);
    static const char* const kWanted[] = {"printer-name"};
    AddUserAndAttributes(request, 1, kWanted);
    ipp_status_t status = IPP_STATUS_OK;
    const IppResponse response = cups->Request(request, "/", &status, &list.error);
    if (status == IPP_STATUS_ERROR_NOT_FOUND) {  // the scheduler has no queue at all
        list.error.clear();
        list.ok = true;
        return list;
    }
    if (status > IPP_STATUS_OK_CONFLICTING || !response) return list;
    for (ipp_attribute_t* a = ippFirstAttribute(response.get()); a;
         a = ippNextAttribute(response.get())) {
        const char* name = ippGetName(a);
        if (ippGetGroupTag(a) == IPP_TAG_PRINTER && name && std::strcmp(name, "printer-name") == 0)
            list.printers << QString::fromUtf8(ippGetString(a, 0, nullptr));
    }
    list.ok = true;
    return list;
}

JobResult CupsPrintingSystem::PrintTicket(const QString& printer, const Ticket& ticket) {
    JobResult result;
    const std::unique_ptr<CupsConnection> cups =
        CupsConnection::Open(servidor_, plazo_, &result.error);
    if (!cups) {
        result.sinRespuesta = true;
        return result;
    }
    const QueueKind kind = AskQueueKind(*cups, printer);
    if (!kind.known) {
        result.error = kind.error;
        result.sinRespuesta = !kind.answered;
        return result;
    }
    if (!kind.raw) return PrintDrawn(*cups, printer, ticket);
    result.trabajo = cups->SendJob(printer, TicketJobTitle(ticket), CUPS_FORMAT_RAW, EscPosBytes(ticket),
                                   &result.error);
    result.ok = result.trabajo != 0;
    return result;
}

// The driver's printer gets the ticket drawn on its own page size as PDF.
// QPrinter only names the printer and its page: printing through it would
// send the job on a connection of Qt's with no time limit, and Qt drops
// cupsPrintFile's answer, so a refused job would go unnoticed.
JobResult CupsPrintingSystem::PrintDrawn(CupsConnection& cups, const QString& printer,
                                         const Ticket& ticket) {
    JobResult result;
    QPageLayout layout;
    {
        const QtUsesServer same_scheduler(servidor_);
        QPrinter device(QPrinter::HighResolution);
        device.setPrinterName(printer);
        // QPrinter keeps the printer it had when it does not know the name.
        if (device.printerName() != printer) {
            result.error =
                QStringLiteral("Qt no encuentra la impresora \"%1\" (se quedaría con \"%2\").")
                    .arg(printer, device.printerName());
            return result;
        }
        // QPrinter starts on the locale's paper (A4) whether or not the
        // driver has it; the ticket goes on the driver's own default page.
        const QPageSize page = QPrinterInfo(device).defaultPageSize();
        if (page.isValid() && !device.setPageSize(page)) {
            qWarning().noquote() << "printer" << printer << "refused its own default page"
                                 << page.name() << "; drawing on"
                                 << device.pageLayout().pageSize().name();
        }
        layout = device.pageLayout();
    }
    const QByteArray pdf = TicketPdf(sending::PaperOf(ticket), layout, &result.error);
    if (pdf.isEmpty()) return result;
    result.trabajo = cups.SendJob(printer, TicketJobTitle(ticket), CUPS_FORMAT_PDF, pdf, &result.error);
    result.ok = result.trabajo != 0;
    return result;
}

QueueState CupsPrintingSystem::AskQueue(const QString& printer) {
    QueueState state;
    const std::unique_ptr<CupsConnection> cups = CupsConnection::Open(servidor_, plazo_, &state.error);
    if (!cups) return state;
    return AskQueueState(*cups, printer);
}

JobState CupsPrintingSystem::AskJob(const QString&, int trabajo) {
    JobState state;
    const std::unique_ptr<CupsConnection> cups = CupsConnection::Open(servidor_, plazo_, &state.error);
    if (!cups) return state;
    ipp_t* request = ippNewRequest(IPP_OP_GET_JOB_ATTRIBUTES);
    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", ippPort(), "/jobs/%d",
                     trabajo);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "job-uri", nullptr, uri);
    static const char* const kWanted[] = {"job-state", "job-state-reasons", "job-impressions-completed"};
    AddUserAndAttributes(request, 3, kWanted);
    ipp_status_t status = IPP_STATUS_OK;
    const IppResponse response = cups->Request(request, "/", &status, &state.error);
    if (status == IPP_STATUS_ERROR_NOT_FOUND) {
        // The scheduler forgot it (its history was cleared, or it was restarted
        // without keeping it): whether it printed cannot be told.
        state.answered = true;
        state.phase = JobPhase::Gone;
        return state;
    }
    if (status > IPP_STATUS_OK_CONFLICTING || !response) return state;
    sending::JobAnswer answer;
    answer.state = FirstInteger(response.get(), "job-state", IPP_TAG_ENUM);
    answer.reasons = Keywords(response.get(), "job-state-reasons");
    answer.sheets = FirstInteger(response.get(), "job-impressions-completed", IPP_TAG_INTEGER);
    return sending::JobFromAnswer(answer, trabajo);
}

bool CupsPrintingSystem::CancelJob(const QString& printer, int trabajo, QString* error) {
    const std::unique_ptr<CupsConnection> cups = CupsConnection::Open(servidor_, plazo_, error);
    return cups && cups->Cancel(printer, trabajo, error);
}

}  // namespace printers
