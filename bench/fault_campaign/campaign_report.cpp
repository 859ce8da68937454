#include "fault_campaign/campaign_run.h"
#include "support/figures.h"

namespace campaign {
namespace {

// The longest a terminal may wait for another's counter lock: past that,
// to the waiter, the terminal hangs.
constexpr double kBlockLimitSeconds = 10;
// At least one fault for every this many orders.
constexpr int kOrdersPerFault = 5;

void Notes(const Target& t, const Outcome& o) {
    bench::Note(QStringLiteral("%1: %2 orders started, %3 reported stored in %4 s by %5 terminals through %6 proxies; "
                               "%7 ENVIAR presses without storing, %8 sends still unsettled at a press, "
                               "%9 terminal restarts, %10 ticket prints retried")
                    .arg(t.name).arg(o.started).arg(o.reported).arg(o.seconds, 0, 'f', 1).arg(kTerminals)
                    .arg(t.serverHosts.size()).arg(o.failedPresses).arg(o.noAnswers).arg(o.restarts).arg(o.printRetries));
    bench::Note(QStringLiteral("%1 faults: %2 statements cut before the server, %3 answers dropped (%4 of COMMIT), "
                               "%5 stalls (%6 held under the counter lock for %7 s), %8 terminals frozen holding the lock, "
                               "%9 terminal programs ended mid-send, %10 server kills, %11 node kills, %12 printer stops, "
                               "%13 times the kitchen queue refused jobs; %14 connections, %15 refused while a server was down")
                    .arg(t.name).arg(o.proxy.cutBefore).arg(o.proxy.answersDropped).arg(o.proxy.commitAnswersDropped)
                    .arg(o.proxy.stalls).arg(o.plan.lockedStalls).arg(kLongFault.count())
                    .arg(o.plan.freezes).arg(o.plan.crashes).arg(o.serverKills).arg(o.nodeKills).arg(o.printerStops)
                    .arg(o.queueRefusals).arg(o.proxy.connections).arg(o.proxy.refused));
    bench::Note(QStringLiteral("%1 counter lock waits: %2 in all, %3 over 1 s, %4 over 5 s, %5 over 10 s, longest %6 s; "
                               "%7 orders were left on the screen when the run stopped, %8 of them stored already "
                               "(none twice: %9); after the waiter's retry %10 were still not stored")
                    .arg(t.name).arg(o.waits.count).arg(o.waits.overOneSecond).arg(o.waits.overFiveSeconds)
                    .arg(o.waits.overTenSeconds).arg(o.waits.longest, 0, 'f', 1).arg(o.leftOnScreen)
                    .arg(o.before.unreportedStored).arg(o.before.doubled == 0 ? QStringLiteral("yes") : QStringLiteral("NO"))
                    .arg(o.unsettled));
}

void Checks(const Target& t, const Settings& s, const Outcome& o) {
    const QString problem = o.before.firstProblem.isEmpty() ? o.after.firstProblem : o.before.firstProblem;
    const bool noneLost = o.started > 0 && o.Lost() == 0;
    bench::Check(t.name + QStringLiteral("_none_lost"), noneLost,
                 QStringLiteral("%1 reported stored but missing, %2 not stored after the retry %3")
                     .arg(std::max(o.before.lost, o.after.lost)).arg(o.unsettled).arg(noneLost ? QString() : problem));
    const bool noneDoubled = o.Doubled() == 0 && o.Broken() == 0 && o.after.ticketNumbersTwice == 0;
    bench::Check(t.name + QStringLiteral("_none_doubled"), noneDoubled,
                 QStringLiteral("%1 stored twice, %2 stored in part or under another number, %3 ticket numbers twice %4")
                     .arg(o.Doubled()).arg(o.Broken()).arg(o.after.ticketNumbersTwice)
                     .arg(noneDoubled ? QString() : problem));
    bench::Check(t.name + QStringLiteral("_tickets_once"),
                 o.tickets.missing == 0 && o.tickets.twice == 0 && o.tickets.strays == 0,
                 QStringLiteral("%1 tickets expected; orders with tickets missing %2, printed twice %3; "
                                "numbers of no stored order %4")
                     .arg(o.tickets.expected).arg(o.tickets.missing).arg(o.tickets.twice).arg(o.tickets.strays));
    bench::Check(t.name + QStringLiteral("_no_block_over_10s"), o.waits.longest <= kBlockLimitSeconds,
                 QStringLiteral("longest wait for the counter lock %1 s").arg(o.waits.longest, 0, 'f', 1));
    const int wanted = std::max(1, (s.orders > 0 ? s.orders : o.started) / kOrdersPerFault);
    bench::Check(t.name + QStringLiteral("_faults_injected"),
                 o.Faults() >= wanted && o.disturbanceErrors.isEmpty(),
                 QStringLiteral("%1 faults (at least %2 wanted) %3").arg(o.Faults()).arg(wanted)
                     .arg(o.disturbanceErrors.join(QStringLiteral("; "))));
    bench::Check(t.name + QStringLiteral("_terminals_consistent"), o.problems.isEmpty(),
                 o.problems.join(QStringLiteral("; ")));
}

}  // namespace

void Report(const Target& t, const Settings& s, const Outcome& o) {
    Notes(t, o);
    bench::PrintCount(t.name + QStringLiteral("_orders"), o.reported);
    bench::PrintCount(t.name + QStringLiteral("_faults"), o.Faults());
    bench::PrintCount(t.name + QStringLiteral("_lost"), o.Lost());
    bench::PrintCount(t.name + QStringLiteral("_doubled"), o.Doubled());
    bench::PrintCount(t.name + QStringLiteral("_longest_block_s"), o.waits.longest, 1);
    Checks(t, s, o);
}

}  // namespace campaign
