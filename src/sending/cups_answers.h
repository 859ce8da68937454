#pragma once
// What the scheduler's answers about a job and a queue say: the attribute
// values libcups hands over, in IPP's own numbers (job-state 3 to 9,
// printer-state 3 to 5), read into the terminal's values. printers/
// cups_printing.cpp takes the values out of the answer; these read them, so
// the reading holds no CUPS type and is tried on any values at all.
#include <QByteArray>
#include <optional>
#include <vector>

#include "sending/printing_system.h"

namespace sending {

struct JobAnswer {
    std::optional<int> state;         // job-state
    std::vector<QByteArray> reasons;  // job-state-reasons
    std::optional<int> sheets;        // job-impressions-completed
};

// The job `trabajo` as its answer says; a job-state that is missing or no
// IPP job state leaves it unanswered, with the reason.
JobState JobFromAnswer(const JobAnswer& answer, int trabajo);

struct QueueAnswer {
    std::optional<int> state;         // printer-state
    std::vector<QByteArray> reasons;  // printer-state-reasons
    std::optional<bool> accepting;    // printer-is-accepting-jobs
    std::optional<QByteArray> message;  // printer-state-message
};

// The queue as its answer says (an answer came: it is answered).
QueueState QueueFromAnswer(const QueueAnswer& answer);

// The keywords as words, UTF-8 read as such: "none" and empty ones left out,
// each once, in the order given.
QStringList ReasonWords(const std::vector<QByteArray>& keywords);

}  // namespace sending
