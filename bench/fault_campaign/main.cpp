// fault_campaign: terminals send orders through a fault proxy while their
// connections are cut and stalled, terminals freeze holding the ticket
// counter or end mid-send or mid-print (on a journal disk that loses power
// with them), the database server is killed (a terminal starting while it is
// down), a backup holds the global read lock, a journal disk takes seconds
// over a sync, a second program starts on a terminal's journal and the
// kitchen printer is switched off; then every order its terminal reported stored must
// be stored once, every other order at most once and, after the waiter's
// retry, once; no ticket number twice; every stored order's tickets at the
// printer once; no terminal waiting more than 10 s for another's lock. On
// the single server, then (when scripts/bench started it) on the cluster,
// one of whose nodes is killed.
//   PEDIDOS_FAULT_CAMPAIGN_ORDERS   orders of each run (1000; more when the disturbances outlast them)
//   PEDIDOS_FAULT_CAMPAIGN_SECONDS  send for this long instead (the short run of scripts/test)
//   PEDIDOS_FAULT_CAMPAIGN_SEED     the faults' random seed (else one is drawn and printed)
//   PEDIDOS_FAULT_CAMPAIGN_ONLY     "server" or "cluster": that run alone
#include <QCoreApplication>
#include <QRandomGenerator>

#include "fault_campaign/campaign_run.h"
#include "support/bench_env.h"
#include "support/figures.h"
#include "support/orders.h"
#include "support/warnings_log.h"

namespace {

using campaign::Disturbance;

campaign::Settings FromEnvironment() {
    campaign::Settings s;
    bool ok = false;
    const int orders = qEnvironmentVariableIntValue("PEDIDOS_FAULT_CAMPAIGN_ORDERS", &ok);
    if (ok && orders > 0) s.orders = orders;
    const int seconds = qEnvironmentVariableIntValue("PEDIDOS_FAULT_CAMPAIGN_SECONDS", &ok);
    if (ok && seconds > 0) {
        s.orders = 0;
        s.seconds = seconds;
    }
    const qint64 seed = qEnvironmentVariable("PEDIDOS_FAULT_CAMPAIGN_SEED").toLongLong(&ok);
    s.seed = ok ? static_cast<unsigned>(seed) : QRandomGenerator::system()->generate();
    return s;
}

// Terminals 0 to 2 have the journal disks that can be made slow, the others
// the disks that lose power; terminals 1, 4 and 7 send to cluster node 2.
campaign::Target SingleServer() {
    return {QStringLiteral("fault_campaign"), QStringLiteral("fc"), {bench::DbHost()}, bench::DbSocket(),
            {{0.10, Disturbance::Kind::SlowSync, 0, 0},
             {0.20, Disturbance::Kind::SecondProgram, 0, 5},
             {0.25, Disturbance::Kind::KillServer, 0, 4},
             {0.40, Disturbance::Kind::PrinterOff},
             {0.50, Disturbance::Kind::SlowSync, 0, 1},
             {0.55, Disturbance::Kind::QueueRefuses},
             {0.70, Disturbance::Kind::KillServer, 0, 7},
             {0.80, Disturbance::Kind::BackupLock, 0}}};
}

// Node 1 stays up: root reads back through it. The backup is taken on node 3.
campaign::Target Cluster() {
    return {QStringLiteral("fault_campaign_cluster"), QStringLiteral("fg"), bench::ClusterHosts(),
            bench::ClusterSocket(1),
            {{0.10, Disturbance::Kind::SlowSync, 0, 0},
             {0.20, Disturbance::Kind::SecondProgram, 0, 5},
             {0.30, Disturbance::Kind::KillNode, 2, 4},
             {0.50, Disturbance::Kind::SlowSync, 0, 2},
             {0.60, Disturbance::Kind::PrinterOff},
             {0.75, Disturbance::Kind::QueueRefuses},
             {0.85, Disturbance::Kind::BackupLock, 3}}};
}

void RunOn(const campaign::Target& target, const campaign::Settings& settings) {
    bench::Note(QStringLiteral("%1: %2, faults drawn with seed %3 (PEDIDOS_FAULT_CAMPAIGN_SEED)")
                    .arg(target.name,
                         settings.orders > 0 ? QStringLiteral("%1 orders").arg(settings.orders)
                                             : QStringLiteral("%1 s of orders").arg(settings.seconds))
                    .arg(settings.seed));
    campaign::Report(target, settings, campaign::RunCampaign(target, settings));
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    bench::RouteWarningsToLog();
    bench::UseTerminalFormats();
    const campaign::Settings settings = FromEnvironment();
    const QString only = qEnvironmentVariable("PEDIDOS_FAULT_CAMPAIGN_ONLY");
    if (only != QLatin1String("cluster")) RunOn(SingleServer(), settings);
    if (only != QLatin1String("server") && !qEnvironmentVariable("PEDIDOS_BENCH_CLUSTER_DIR").isEmpty())
        RunOn(Cluster(), settings);
    return bench::ExitCode();
}
