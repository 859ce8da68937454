// CUPS's answers about a job and a queue as the terminal reads them, from any
// values: a job is answered only with an IPP job state, its sheets are never
// below zero, the reasons are never empty nor "none" and each comes once,
// and the terminal's rules take any answer without breaking.
#include <algorithm>
#include <chrono>

#include "fuzz_support.h"
#include "sending/cups_answers.h"
#include "sending/printer_faults.h"

namespace {

int IntAt(const QByteArray& bytes, int at) {
    std::uint32_t value = 0;
    for (int i = 0; i < 4 && at + i < bytes.size(); ++i) value = (value << 8) | static_cast<std::uint8_t>(bytes[at + i]);
    return static_cast<int>(value);
}

void CheckReasons(const QStringList& reasons) {
    for (qsizetype i = 0; i < reasons.size(); ++i) {
        fuzz::Check(!reasons[i].isEmpty() && reasons[i] != QLatin1String("none"), "no empty or \"none\" reason",
                    reasons[i]);
        fuzz::Check(reasons.indexOf(reasons[i]) == i, "each reason once", reasons[i]);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes = fuzz::Bytes(data, size);
    if (bytes.size() < 9) return 0;
    // Flags, the state and the sheets, then the reasons (and message) as lines.
    const std::uint8_t flags = static_cast<std::uint8_t>(bytes[0]);
    const int state = IntAt(bytes, 1), sheets = IntAt(bytes, 5);
    QList<QByteArray> lines = bytes.mid(9).split('\n');
    const QByteArray message = lines.takeFirst();
    const std::vector<QByteArray> reasons(lines.begin(), lines.end());

    sending::JobAnswer job;
    if (flags & 1) job.state = state;
    if (flags & 2) job.sheets = sheets;
    job.reasons = reasons;
    const sending::JobState j = sending::JobFromAnswer(job, 7);
    fuzz::Check(j.answered == (job.state && *job.state >= 3 && *job.state <= 9), "answered only with a job state");
    fuzz::Check(j.answered || !j.error.isEmpty(), "an unanswered job says why");
    fuzz::Check(j.hojas >= 0 && j.hojas == (job.sheets ? std::max(0, *job.sheets) : 0), "the sheets as counted");
    CheckReasons(j.reasons);

    sending::QueueAnswer queue;
    if (flags & 4) queue.state = state;
    if (flags & 8) queue.accepting = (flags & 16) != 0;
    if (flags & 32) queue.message = message;
    queue.reasons = reasons;
    const sending::QueueState q = sending::QueueFromAnswer(queue);
    fuzz::Check(!(q.stopped && q.processing), "a queue is not both stopped and printing");
    fuzz::Check(q.accepting == queue.accepting.value_or(true), "accepting as answered");
    CheckReasons(q.reasons);
    const sending::JobVerdict verdict =
        sending::JudgeJob(j, q, std::chrono::milliseconds(sheets & 0xFFFF), std::chrono::seconds(60));
    fuzz::Check(verdict.kind != sending::JobVerdict::Kind::Printed || j.hojas > 0 ||
                    j.phase == sending::JobPhase::Completed,
                "printed only when completed or handed over whole");
    return 0;
}
