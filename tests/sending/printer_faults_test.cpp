// What the terminal reads into a queue's and a job's state: which fault keeps
// a ticket from printing, when a followed job is printed or failed, and the
// technician's time limit.
#include "sending/printer_faults.h"

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;
using sending::JobPhase;
using sending::JobState;
using sending::JobVerdict;
using sending::PrinterFault;
using sending::QueueState;

// A queue printing a job, unless said otherwise.
QueueState Queue(QStringList reasons, bool stopped = false, bool accepting = true, bool answered = true) {
    QueueState q;
    q.processing = !stopped;
    q.answered = answered;
    q.reasons = std::move(reasons);
    q.stopped = stopped;
    q.accepting = accepting;
    return q;
}

QueueState Idle(QStringList reasons) {
    QueueState q = Queue(std::move(reasons));
    q.processing = false;
    return q;
}

TEST(PrinterFaultsTest, TheQueuesFaultPutsThePrintersOwnWordFirst) {
    const struct {
        const char* what;
        QueueState queue;
        PrinterFault fault;
    } cases[] = {
        {"idle, no reason", Queue({}), PrinterFault::None},
        {"paper out", Queue({"media-empty-error"}), PrinterFault::PaperOut},
        {"paper needed", Queue({"media-needed"}), PrinterFault::PaperOut},
        {"cover open", Queue({"door-open-report"}), PrinterFault::CoverOpen},
        {"off line", Queue({"offline-report"}), PrinterFault::Offline},
        {"a warning does not stop it", Queue({"media-low-warning", "media-empty-warning"}), PrinterFault::None},
        {"connecting is no fault", Queue({"connecting-to-device"}), PrinterFault::None},
        {"stopped", Queue({"paused"}, true), PrinterFault::Stopped},
        {"stopped, out of paper", Queue({"media-empty"}, true), PrinterFault::PaperOut},
        {"rejecting", Queue({}, false, false), PrinterFault::Rejecting},
        {"stopped and rejecting", Queue({}, true, false), PrinterFault::Stopped},
        {"not answered: unknown", Queue({"media-empty"}, true, false, false), PrinterFault::None},
        {"idle: what a backend said before it ended", Idle({"media-empty", "offline-report"}), PrinterFault::None},
    };
    for (const auto& c : cases) EXPECT_EQ(sending::QueueFault(c.queue), c.fault) << c.what;
}

TEST(PrinterFaultsTest, AFollowedJobIsPrintedOnlyWhenCompletedAndFailsAsSoonAsItCannotPrint) {
    using K = JobVerdict::Kind;
    const auto job = [](JobPhase p, bool answered = true, int hojas = 0) {
        JobState j;
        j.answered = answered;
        j.phase = p;
        j.hojas = hojas;
        return j;
    };
    const struct {
        const char* what;
        JobState job;
        QueueState queue;
        std::chrono::milliseconds since;
        K kind;
        PrinterFault fault;
    } cases[] = {
        {"completed", job(JobPhase::Completed), Queue({}), 1s, K::Printed, PrinterFault::None},
        {"completed late is still printed", job(JobPhase::Completed), Queue({}), 99s, K::Printed, PrinterFault::None},
        {"printing, in time", job(JobPhase::Processing), Queue({}), 3s, K::Waiting, PrinterFault::None},
        {"pending, out of time", job(JobPhase::Pending), Queue({}), 15s, K::Failed, PrinterFault::NotCompleted},
        {"printing, paper out", job(JobPhase::Processing), Queue({"media-empty"}), 1s, K::Failed, PrinterFault::PaperOut},
        {"pending on a stopped queue", job(JobPhase::Pending), Queue({}, true), 1s, K::Failed, PrinterFault::Stopped},
        {"a rejecting queue still prints what it has", job(JobPhase::Pending), Queue({}, false, false), 1s, K::Waiting,
         PrinterFault::None},
        {"held", job(JobPhase::Held), Queue({}), 1s, K::Failed, PrinterFault::JobHeld},
        {"stopped job, printer's word", job(JobPhase::Stopped), Queue({"door-open"}), 1s, K::Failed,
         PrinterFault::CoverOpen},
        {"stopped job on a stopped queue", job(JobPhase::Stopped), Queue({}, true), 1s, K::Failed,
         PrinterFault::Stopped},
        {"stopped job alone: it failed", job(JobPhase::Stopped), Queue({}), 1s, K::Failed, PrinterFault::JobAborted},
        {"cancelled", job(JobPhase::Canceled), Queue({}), 1s, K::Failed, PrinterFault::JobCancelled},
        {"aborted", job(JobPhase::Aborted), Queue({}), 1s, K::Failed, PrinterFault::JobAborted},
        {"forgotten", job(JobPhase::Gone), Queue({}), 1s, K::Failed, PrinterFault::JobGone},
        {"handed whole, then put back by a pause", job(JobPhase::Pending, true, 1), Queue({}, true), 1s, K::Printed,
         PrinterFault::None},
        {"handed whole, then cancelled", job(JobPhase::Canceled, true, 1), Queue({}), 1s, K::Printed,
         PrinterFault::None},
        {"handed whole, still asking the printer", job(JobPhase::Processing, true, 1), Queue({"media-empty"}), 1s,
         K::Failed, PrinterFault::PaperOut},
        {"not answered, in time", job(JobPhase::Pending, false), Queue({}, false, true, false), 2s, K::Waiting,
         PrinterFault::None},
        {"not answered, out of time", job(JobPhase::Pending, false), Queue({}, false, true, false), 16s, K::Failed,
         PrinterFault::NoAnswer},
    };
    for (const auto& c : cases) {
        const JobVerdict v = sending::JudgeJob(c.job, c.queue, c.since, 15s);
        EXPECT_EQ(v.kind, c.kind) << c.what;
        EXPECT_EQ(v.fault, c.fault) << c.what;
    }
}

TEST(PrinterFaultsTest, TheWaiterReadsThePrintersNameAndTheFaultInItsOwnWords) {
    const struct {
        PrinterFault fault;
        const char* text;
    } cases[] = {
        {PrinterFault::Stopped, "La impresora Cocina está detenida ..."},
        {PrinterFault::PaperOut, "La impresora Cocina: Sin papel ..."},
        {PrinterFault::CoverOpen, "La impresora Cocina: Tapa abierta ..."},
        {PrinterFault::Offline, "La impresora Cocina: Fuera de línea ..."},
        {PrinterFault::NotCompleted, "La impresora Cocina no terminó de imprimir en 20 segundos ..."},
        {PrinterFault::Other, "lo que dijo CUPS"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(sending::FaultText(c.fault, "Cocina", 20s, "lo que dijo CUPS"), QString::fromUtf8(c.text));
}

TEST(PrinterFaultsTest, TheTimeLimitIsWholeSecondsWithinReasonElseTheDefaultAndAWarning) {
    const struct {
        const char* value;
        std::chrono::milliseconds limit;
        bool warned;
    } cases[] = {
        {"", 15s, false}, {" 30 ", 30s, false}, {"2", 2s, false}, {"600", 600s, false},
        {"1", 15s, true}, {"601", 15s, true},   {"1.5", 15s, true}, {"quince", 15s, true},
    };
    for (const auto& c : cases) {
        QString aviso;
        EXPECT_EQ(sending::PrintTimeLimit(c.value, &aviso), c.limit) << c.value;
        EXPECT_EQ(!aviso.isEmpty(), c.warned) << c.value;
    }
}

}  // namespace
