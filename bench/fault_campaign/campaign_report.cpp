#include "fault_campaign/campaign_checks.h"
#include "fault_campaign/campaign_run.h"
#include "support/figures.h"

namespace campaign {
namespace {

// The longest a terminal may wait for another's counter lock: past that,
// to the waiter, the terminal hangs.
constexpr double kBlockLimitSeconds = 10;
// At least one fault for every this many orders.
constexpr int kOrdersPerFault = 5;
// Named orders printed under a failed check (all of them go to the log).
constexpr int kNamedOnScreen = 15;

// Under a failed check: the orders and tickets it concerns, on the
// standard output (the first few) and in the log (all).
void Name(const QString& check, const QStringList& lines) {
    for (int i = 0; i < lines.size(); ++i) {
        qWarning("fault campaign: %s: %s", qPrintable(check), qPrintable(lines[i]));
        if (i < kNamedOnScreen) bench::Note(check + QStringLiteral(": ") + lines[i]);
    }
    if (lines.size() > kNamedOnScreen)
        bench::Note(QStringLiteral("%1: %2 more in the log").arg(check).arg(lines.size() - kNamedOnScreen));
}

QStringList Named(const Outcome& o, const std::vector<size_t>& at, const QString& what) {
    QStringList lines;
    for (size_t i : at)
        if (i < o.orders.size()) lines << what + QStringLiteral(": ") + Describe(o.orders[i]);
    return lines;
}

// A check, and when it failed, what it concerns.
void CheckNaming(const QString& name, bool ok, const QString& detail, const QStringList& concerned) {
    if (!bench::Check(name, ok, detail)) Name(name, concerned);
}

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
    bench::Note(QStringLiteral("%1 new faults: backups held the global read lock %2 times for %3 s (%4 sends failed "
                               "with the counter busy then, %5 in the whole run); %6 sends met a journal disk taking "
                               "%7 s per sync (%8 slow syncs; %9 of those sends saw no other terminal store an order "
                               "meanwhile); %10 programs started while their server was down, whose first %11 orders "
                               "with values longer than their columns were stored %12 times; %13 second programs "
                               "refused a terminal's journal; %14 programs ended right after a ticket was taken; "
                               "%15 power cuts under a terminal's journal; %16 sends failed on a value too long")
                    .arg(t.name).arg(o.backupLocks).arg(kBackupHold.count()).arg(o.sendsRefusedByBackup).arg(o.counterBusy)
                    .arg(o.slowSyncSends).arg(kSlowSync.count() / 1000.0, 0, 'f', 0).arg(o.slowSyncs).arg(o.slowSendsAlone).arg(o.startsWhileDown)
                    .arg(o.overlongAfterOutage).arg(o.overlongAfterOutageStored).arg(o.secondPrograms)
                    .arg(o.plan.printEnds).arg(o.powerCuts).arg(o.badValues));
}

void Checks(const Target& t, const Settings& s, const Outcome& o) {
    const QString problem = o.before.firstProblem.isEmpty() ? o.after.firstProblem : o.before.firstProblem;
    const bool noneLost = o.started > 0 && o.Lost() == 0;
    CheckNaming(t.name + QStringLiteral("_none_lost"), noneLost,
                QStringLiteral("%1 reported stored but missing, %2 not stored after the retry %3")
                    .arg(std::max(o.before.lost, o.after.lost)).arg(o.unsettled).arg(noneLost ? QString() : problem),
                Named(o, o.lostOrders, QStringLiteral("reported stored, missing")) +
                    Named(o, o.unsettledOrders, QStringLiteral("not stored after the retry")));
    const bool noneDoubled = o.Doubled() == 0 && o.Broken() == 0 && o.after.ticketNumbersTwice == 0;
    CheckNaming(t.name + QStringLiteral("_none_doubled"), noneDoubled,
                QStringLiteral("%1 stored twice, %2 stored in part or under another number, %3 ticket numbers twice %4")
                    .arg(o.Doubled()).arg(o.Broken()).arg(o.after.ticketNumbersTwice)
                    .arg(noneDoubled ? QString() : problem),
                Named(o, o.doubledOrders, QStringLiteral("stored twice, in part or under another number")));
    const QStringList tickets = DescribeTickets(o.tickets.problems, o.orders);
    CheckNaming(t.name + QStringLiteral("_tickets_once"),
                o.tickets.missing == 0 && o.tickets.twice == 0 && o.tickets.strays == 0,
                QStringLiteral("%1 tickets expected; orders with tickets missing %2, printed twice %3; "
                               "numbers of no stored order %4")
                    .arg(o.tickets.expected).arg(o.tickets.missing).arg(o.tickets.twice).arg(o.tickets.strays),
                tickets);
    CheckNaming(t.name + QStringLiteral("_tickets_missing"), o.tickets.ticketsMissing == 0,
                QStringLiteral("%1 tickets of stored orders never reached the printer").arg(o.tickets.ticketsMissing),
                tickets);
    QStringList waits;
    for (const LockWaits::Long& w : o.waits.overTen)
        waits << QStringLiteral("%1 waited %2 s for the counter from +%3 s, %4")
                     .arg(w.who.isEmpty() ? QStringLiteral("a terminal") : w.who)
                     .arg(w.seconds, 0, 'f', 1).arg(w.from, 0, 'f', 1)
                     .arg(w.error ? QStringLiteral("ended by error %1").arg(w.error) : QStringLiteral("answered"));
    CheckNaming(t.name + QStringLiteral("_no_block_over_10s"), o.waits.longest <= kBlockLimitSeconds,
                QStringLiteral("longest wait for the counter lock %1 s").arg(o.waits.longest, 0, 'f', 1),
                waits + QStringList{QStringLiteral("disturbances: ") + o.timeline.join(QStringLiteral("; "))});
    const int wanted = std::max(1, (s.orders > 0 ? s.orders : o.started) / kOrdersPerFault);
    bench::Check(t.name + QStringLiteral("_faults_injected"),
                 o.Faults() >= wanted && o.disturbanceErrors.isEmpty(),
                 QStringLiteral("%1 faults (at least %2 wanted) %3").arg(o.Faults()).arg(wanted)
                     .arg(o.disturbanceErrors.join(QStringLiteral("; "))));
    // Each fault of its own kind struck at least once.
    const struct {
        const char* name;
        int count;
    } kinds[] = {{"backup lock", o.backupLocks},          {"slow journal sync", o.slowSyncSends},
                 {"start while the server is down", o.startsWhileDown}, {"second program", o.secondPrograms},
                 {"program end mid-print", o.plan.printEnds}, {"power cut", o.powerCuts}};
    QStringList missing;
    for (const auto& k : kinds)
        if (k.count == 0) missing << QString::fromLatin1(k.name);
    bench::Check(t.name + QStringLiteral("_every_fault_struck"), missing.isEmpty(),
                 missing.isEmpty() ? QString() : QStringLiteral("never struck: ") + missing.join(QStringLiteral(", ")));
    // A backup must strike: the counter's locking read on its server times
    // out (sends fail with the counter busy, settles get no answer), or (a
    // settle on a cluster node) a press waits until it is over.
    bench::Check(t.name + QStringLiteral("_backup_refuses_or_holds_sends"),
                 o.backupLocks == 0 ||
                     o.sendsRefusedByBackup + o.counterReadsRefusedByBackup + o.pressesHeldByBackup > 0,
                 QStringLiteral("while a backup held the lock: %1 sends failed with the counter busy, %2 counter "
                                "reads timed out, %3 presses waited from before it until it was over")
                     .arg(o.sendsRefusedByBackup).arg(o.counterReadsRefusedByBackup).arg(o.pressesHeldByBackup));
    bench::Check(t.name + QStringLiteral("_slow_disk_blocks_no_one"), o.slowSendsAlone == 0,
                 QStringLiteral("%1 of %2 sends on a slow journal disk held every other terminal up")
                     .arg(o.slowSendsAlone).arg(o.slowSyncSends));
    QStringList overlong;
    for (const CampaignOrder& order : o.orders)
        if (order.afterOutageStart && !order.reported) overlong << QStringLiteral("not stored: ") + Describe(order);
    CheckNaming(t.name + QStringLiteral("_long_values_cut"),
                o.badValues == 0 && o.overlongAfterOutageStored == o.overlongAfterOutage,
                QStringLiteral("%1 sends failed on a value too long; %2 of %3 overlong orders of programs started "
                               "while the server was down stored")
                    .arg(o.badValues).arg(o.overlongAfterOutageStored).arg(o.overlongAfterOutage),
                overlong);
    bench::Check(t.name + QStringLiteral("_second_program_refused"),
                 o.secondProgramErrors.isEmpty() && o.firstProgramsStalled == 0,
                 QStringLiteral("%1 refused, %2 first programs stored nothing afterwards%3")
                     .arg(o.secondPrograms).arg(o.firstProgramsStalled)
                     .arg(o.secondProgramErrors.isEmpty() ? QString()
                                                          : QStringLiteral("; ") + o.secondProgramErrors.join(QStringLiteral("; "))));
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
    bench::PrintCount(t.name + QStringLiteral("_tickets_missing"), o.tickets.ticketsMissing);
    bench::PrintCount(t.name + QStringLiteral("_backup_locks"), o.backupLocks);
    bench::PrintCount(t.name + QStringLiteral("_counter_busy_sends"), o.counterBusy);
    bench::PrintCount(t.name + QStringLiteral("_slow_sync_sends"), o.slowSyncSends);
    bench::PrintCount(t.name + QStringLiteral("_starts_while_down"), o.startsWhileDown);
    bench::PrintCount(t.name + QStringLiteral("_second_programs"), o.secondPrograms);
    bench::PrintCount(t.name + QStringLiteral("_ends_mid_print"), o.plan.printEnds);
    bench::PrintCount(t.name + QStringLiteral("_power_cuts"), o.powerCuts);
    Checks(t, s, o);
}

}  // namespace campaign
