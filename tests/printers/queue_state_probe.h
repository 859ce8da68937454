#pragma once
// What the escpos backend tests ask the private scheduler about a queue and
// a job: the queue's printer-state-reasons, one job's state and message.
#include <QString>
#include <QStringList>

namespace printerstest {

// The printer-state-reasons of `queue`; false, with the reason, when the
// scheduler cannot be asked.
bool QueueReasons(const QString& queue, QStringList* reasons, QString* error);

struct JobState {
    int state = 0;            // ipp_jstate_t
    QString printer_message;  // the backend's last INFO while printing it
};
bool JobStatus(const QString& queue, int job, JobState* status, QString* error);

// The id of the newest job of `queue`, 0 when it has none.
int NewestJob(const QString& queue, QString* error);

}  // namespace printerstest
