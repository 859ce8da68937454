#pragma once
// What the print tests ask the private CUPS scheduler that scripts/test
// starts (CUPS_SERVER) besides what the terminal itself asks: the jobs of a
// queue, and clearing them between tests.
#include <QString>
#include <vector>

namespace sendingtest {

// CUPS_SERVER, the private scheduler; empty when the tests run without it.
QString TestCupsServer();
// The address the stand-in printers listen on (PEDIDOS_TEST_PRINTER_HOST).
QString TestPrinterHost();

struct QueueJob {
    int id = 0;
    QString title;
    int state = 0;            // ipp_jstate_t
    bool active = false;      // pending, held, printing or stopped
    QString printer_message;  // what the backend last reported while printing it
};

// The jobs of `queue`, oldest first. False, with the reason, when the
// scheduler cannot be asked.
bool QueueJobs(const QString& queue, std::vector<QueueJob>* jobs, QString* error);
// Job `id` of `queue` (id 0 when the scheduler has no such job).
QueueJob FindJob(const QString& queue, int id, QString* error);
// Cancels every job of `queue` and forgets the finished ones.
bool PurgeJobs(const QString& queue, QString* error);

}  // namespace sendingtest
