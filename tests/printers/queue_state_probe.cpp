#include "printers/queue_state_probe.h"

#include <chrono>

#include "printers/cups_connection.h"
#include "sending/cups_queue_probe.h"

namespace printerstest {
namespace {

using namespace std::chrono_literals;

printers::IppResponse Ask(ipp_t* request, QString* error) {
    const auto cups = printers::CupsConnection::Open(sendingtest::TestCupsServer(), 10s, error);
    if (!cups) {
        ippDelete(request);
        return {};
    }
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    ipp_status_t status = IPP_STATUS_OK;
    printers::IppResponse response = cups->Request(request, "/", &status, error);
    if (status > IPP_STATUS_OK_CONFLICTING) return {};
    return response;
}

}  // namespace

bool QueueReasons(const QString& queue, QStringList* reasons, QString* error) {
    ipp_t* request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
    const QByteArray uri = printers::CupsConnection::PrinterUri(queue);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri.constData());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr,
                 "printer-state-reasons");
    const auto response = Ask(request, error);
    if (!response) return false;
    reasons->clear();
    ipp_attribute_t* a = ippFindAttribute(response.get(), "printer-state-reasons", IPP_TAG_KEYWORD);
    for (int i = 0; a && i < ippGetCount(a); ++i)
        reasons->append(QString::fromUtf8(ippGetString(a, i, nullptr)));
    return true;
}

bool JobStatus(const QString& queue, int job, JobState* status, QString* error) {
    ipp_t* request = ippNewRequest(IPP_OP_GET_JOB_ATTRIBUTES);
    const QByteArray uri = printers::CupsConnection::PrinterUri(queue);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri.constData());
    ippAddInteger(request, IPP_TAG_OPERATION, IPP_TAG_INTEGER, "job-id", job);
    static const char* const kWanted[] = {"job-state", "job-printer-state-message"};
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", 2, nullptr, kWanted);
    const auto response = Ask(request, error);
    if (!response) return false;
    ipp_attribute_t* state = ippFindAttribute(response.get(), "job-state", IPP_TAG_ENUM);
    ipp_attribute_t* message = ippFindAttribute(response.get(), "job-printer-state-message", IPP_TAG_TEXT);
    status->state = state ? ippGetInteger(state, 0) : 0;
    status->printer_message = message ? QString::fromUtf8(ippGetString(message, 0, nullptr)) : QString();
    return true;
}

int NewestJob(const QString& queue, QString* error) {
    std::vector<sendingtest::QueueJob> jobs;
    if (!sendingtest::QueueJobs(queue, &jobs, error) || jobs.empty()) return 0;
    return jobs.back().id;
}

}  // namespace printerstest
