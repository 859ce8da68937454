#include "sending/cups_queue_probe.h"

#include <algorithm>
#include <cstring>

#include "printers/cups_connection.h"

namespace sendingtest {
namespace {

constexpr std::chrono::seconds kPlazo{10};

QueueJob ReadJob(ipp_attribute_t*& a, ipp_t* response) {
    QueueJob job;
    for (; a && ippGetGroupTag(a) == IPP_TAG_JOB; a = ippNextAttribute(response)) {
        const char* name = ippGetName(a);
        if (!name) continue;
        if (std::strcmp(name, "job-id") == 0) job.id = ippGetInteger(a, 0);
        if (std::strcmp(name, "job-name") == 0)
            job.title = QString::fromUtf8(ippGetString(a, 0, nullptr));
        if (std::strcmp(name, "job-state") == 0) {
            job.state = ippGetInteger(a, 0);
            job.active = job.state <= IPP_JSTATE_STOPPED;  // a stopped job may go on later
        }
        if (std::strcmp(name, "job-printer-state-message") == 0)
            job.printer_message = QString::fromUtf8(ippGetString(a, 0, nullptr));
    }
    return job;
}

}  // namespace

QString TestCupsServer() {
    return qEnvironmentVariable("CUPS_SERVER");
}

QString TestPrinterHost() {
    return qEnvironmentVariable("PEDIDOS_TEST_PRINTER_HOST", "127.0.0.9");
}

bool QueueJobs(const QString& queue, std::vector<QueueJob>* jobs, QString* error) {
    const auto cups = printers::CupsConnection::Open(TestCupsServer(), kPlazo, error);
    if (!cups) return false;
    ipp_t* request = ippNewRequest(IPP_OP_GET_JOBS);
    const QByteArray uri = printers::CupsConnection::PrinterUri(queue);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri.constData());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "which-jobs", nullptr, "all");
    // The job's owner: the scheduler shows the job names to their owner only.
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
                 cupsUser());
    static const char* const kWanted[] = {"job-id", "job-name", "job-state",
                                          "job-printer-state-message"};
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", 4, nullptr,
                  kWanted);
    ipp_status_t status = IPP_STATUS_OK;
    const printers::IppResponse response = cups->Request(request, "/", &status, error);
    if (status > IPP_STATUS_OK_CONFLICTING || !response) return false;
    jobs->clear();
    for (ipp_attribute_t* a = ippFirstAttribute(response.get()); a;) {
        if (ippGetGroupTag(a) != IPP_TAG_JOB) {
            a = ippNextAttribute(response.get());
            continue;
        }
        jobs->push_back(ReadJob(a, response.get()));
    }
    std::sort(jobs->begin(), jobs->end(),
              [](const QueueJob& x, const QueueJob& y) { return x.id < y.id; });
    return true;
}

QueueJob FindJob(const QString& queue, int id, QString* error) {
    std::vector<QueueJob> jobs;
    if (QueueJobs(queue, &jobs, error))
        for (const QueueJob& j : jobs)
            if (j.id == id) return j;
    return {};
}

bool PurgeJobs(const QString& queue, QString* error) {
    const auto cups = printers::CupsConnection::Open(TestCupsServer(), kPlazo, error);
    if (!cups) return false;
    if (cupsCancelJob2(cups->Http(), queue.toUtf8().constData(), CUPS_JOBID_ALL, 1) >
        IPP_STATUS_OK_CONFLICTING) {
        *error = QString::fromUtf8(cupsLastErrorString());
        return false;
    }
    return true;
}

}  // namespace sendingtest
