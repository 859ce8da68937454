// The follower of kitchen jobs against a printing system scripted job by job
// (the real CUPS cannot be made to finish a job exactly while it is being
// cancelled): what becomes of each ticket, what is cancelled, what is kept
// across a restart.
#include "sending/ticket_follower.h"
#include "sending/ticket_paper.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <atomic>
#include <map>
#include <mutex>
#include <thread>

#include "sending/printing_system.h"
#include "support/json_edit.h"

namespace {

using namespace std::chrono_literals;
using sending::FollowedTicket;
using sending::JobPhase;
using sending::PrinterFault;
using sending::TicketFollower;

// Jobs whose phase the test sets; the follower asks from its own thread.
class ScriptedJobs : public sending::PrintingSystem {
public:
    sending::PrinterList InstalledPrinters() override { return {true, {}, {"Cocina"}}; }
    sending::JobResult PrintTicket(const QString&, const sending::Ticket& t) override {
        const std::lock_guard<std::mutex> lock(mutex);
        printed << t.title;
        const int job = next++;
        phases[job] = JobPhase::Pending;
        return {true, {}, false, job};
    }
    sending::QueueState AskQueue(const QString&) override {
        const std::lock_guard<std::mutex> lock(mutex);
        return queue;
    }
    sending::JobState AskJob(const QString&, int job) override {
        const std::lock_guard<std::mutex> lock(mutex);
        sending::JobState s;
        s.answered = true;
        s.phase = phases.count(job) ? phases[job] : JobPhase::Gone;
        s.hojas = sheets[job];
        return s;
    }
    bool CancelJob(const QString&, int job, QString* error) override {
        const std::lock_guard<std::mutex> lock(mutex);
        cancelled.push_back(job);
        if (completesWhenCancelled) {
            phases[job] = JobPhase::Completed;
            *error = "client-error-not-possible";
            return false;
        }
        phases[job] = JobPhase::Canceled;
        return true;
    }
    void Set(int job, JobPhase p) {
        const std::lock_guard<std::mutex> lock(mutex);
        phases[job] = p;
    }

    std::mutex mutex;
    std::map<int, JobPhase> phases;
    std::map<int, int> sheets;
    sending::QueueState queue{true, {}, true, false, true, {}, {}};  // printing
    std::vector<int> cancelled;
    QStringList printed;
    bool completesWhenCancelled = false;
    int next = 100;
};

FollowedTicket Ticket(const QString& title, int job) {
    FollowedTicket t;
    t.idEnvio = "envio-1";
    t.numero = "41";
    t.mesa = "7";
    t.impresora = "Cocina";
    t.id = {sending::TicketKind::Group, title, 1};
    t.ticket.kind = sending::TicketKind::Group;
    t.ticket.title = title;
    t.ticket.numero = "41";
    t.trabajo = job;
    return t;
}

class TicketFollowerTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto s = std::make_unique<ScriptedJobs>();
        jobs = s.get();
        sending::SetPrintingSystem(std::move(s));
    }
    void TearDown() override { sending::SetPrintingSystem(nullptr); }
    QString Path() const { return dir.filePath("comandas.json"); }

    QTemporaryDir dir;
    ScriptedJobs* jobs = nullptr;
};

TEST_F(TicketFollowerTest, EachJobEndsPrintedOnlyWhenCompletedAndAFailedOneIsCancelledAndTold) {
    const struct {
        const char* what;
        JobPhase phase;
        QStringList reasons;
        bool completesWhenCancelled;
        std::chrono::milliseconds plazo;
        bool printed;
        PrinterFault fault;
        bool cancelled;
        int hojas = 0;  // sheets its backend said the printer took whole
    } cases[] = {
        {"completed", JobPhase::Completed, {}, false, 15s, true, PrinterFault::None, false},
        {"paper out while pending", JobPhase::Pending, {"media-empty"}, false, 15s, false, PrinterFault::PaperOut, true},
        {"aborted by the scheduler", JobPhase::Aborted, {}, false, 15s, false, PrinterFault::JobAborted, false},
        {"held", JobPhase::Held, {}, false, 15s, false, PrinterFault::JobHeld, true},
        {"not done in time", JobPhase::Processing, {}, false, 2s, false, PrinterFault::NotCompleted, true},
        {"completed while being cancelled", JobPhase::Processing, {"door-open"}, true, 15s, true, PrinterFault::None,
         true},
        {"taken whole, then put back by a paused queue: on paper, never again",
         JobPhase::Pending, {}, false, 15s, true, PrinterFault::None, true, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QFile::remove(Path());
        {
            const std::lock_guard<std::mutex> lock(jobs->mutex);
            jobs->queue.reasons = c.reasons;
            jobs->completesWhenCancelled = c.completesWhenCancelled;
            jobs->cancelled.clear();
        }
        jobs->Set(7, c.phase);
        {
            const std::lock_guard<std::mutex> lock(jobs->mutex);
            jobs->sheets[7] = c.hojas;
        }
        TicketFollower follower(Path(), c.plazo);
        std::atomic<int> told{0};
        follower.SetOnFailure([&] { ++told; });
        follower.Follow(Ticket("ASISTENTE", 7));
        ASSERT_TRUE(follower.WaitUntilSettled(10s));
        EXPECT_EQ(follower.Failed().empty(), c.printed);
        for (int i = 0; i < 100 && !c.printed && told == 0; ++i) std::this_thread::sleep_for(10ms);
        EXPECT_EQ(told.load() > 0, !c.printed);
        EXPECT_EQ(jobs->cancelled == std::vector<int>{7}, c.cancelled);
        if (!c.printed) {
            ASSERT_EQ(follower.Tickets().size(), 1u);
            EXPECT_EQ(follower.Tickets()[0].causa, c.fault);
            EXPECT_TRUE(follower.Failed()[0].motivo.contains("Cocina")) << follower.Failed()[0].motivo.toStdString();
        } else {
            EXPECT_TRUE(follower.Tickets().empty()) << "a printed ticket is still kept";
            EXPECT_FALSE(QFile::exists(Path())) << "nothing pending: no file";
        }
    }
}

TEST_F(TicketFollowerTest, ARestartFollowsTheSameJobsAndOffersTheSameFailuresUntilPrintedOrGivenUp) {
    jobs->Set(7, JobPhase::Processing);
    {
        TicketFollower first(Path(), 15s);
        first.Follow(Ticket("ASISTENTE", 7));
        FollowedTicket chef = Ticket("CHEF", 0);
        chef.causa = PrinterFault::Stopped;
        chef.motivo = "La impresora Cocina está detenida ...";
        first.Fail({chef});
        FollowedTicket bar = Ticket("BAR", 0);
        bar.idEnvio = "envio-2";
        bar.numero = "42";
        first.Fail({bar});
    }  // switched off with a job under way and two sends failed

    {
    TicketFollower again(Path(), 15s);
    EXPECT_EQ(again.Load(), QString());
    ASSERT_EQ(again.Tickets().size(), 3u);
    ASSERT_EQ(again.Failed().size(), 2u);
    EXPECT_EQ(again.Failed()[0].numero, "41");
    EXPECT_EQ(again.Failed()[0].titulos, QStringList{"CHEF"});
    EXPECT_EQ(again.Failed()[0].motivo, "La impresora Cocina está detenida ...");
    jobs->Set(7, JobPhase::Completed);
    ASSERT_TRUE(again.WaitUntilSettled(10s));  // the job of the earlier run, followed again

    again.Reprint("envio-1");  // the same ticket, as it was laid out
    EXPECT_EQ(jobs->printed, QStringList{"CHEF"});
    ASSERT_EQ(again.Failed().size(), 1u);
    jobs->Set(100, JobPhase::Completed);
    ASSERT_TRUE(again.WaitUntilSettled(10s));
    again.GiveUp("envio-2");
    EXPECT_TRUE(again.Tickets().empty());
    }
    TicketFollower third(Path(), 15s);
    EXPECT_EQ(third.Load(), QString());
    EXPECT_TRUE(third.Tickets().empty());
}

TEST_F(TicketFollowerTest, JobsAreFollowedAndPrintedAgainOnThePrintingSystemTheyWereHandedTo) {
    auto own = std::make_shared<ScriptedJobs>();  // not the one in force (jobs)
    own->Set(7, JobPhase::Completed);
    TicketFollower follower(Path(), 15s, nullptr, own);
    follower.Follow(Ticket("ASISTENTE", 7));
    ASSERT_TRUE(follower.WaitUntilSettled(10s));
    EXPECT_TRUE(follower.Tickets().empty()) << "job 7 was asked of another printing system";
    FollowedTicket bar = Ticket("BAR", 0);
    bar.causa = PrinterFault::Stopped;
    follower.Fail({bar});
    follower.Reprint("envio-1");
    EXPECT_EQ(own->printed, QStringList{"BAR"});
    EXPECT_TRUE(jobs->printed.isEmpty());
}

// A failed ticket the earlier program kept as printer operations is offered
// again and goes on paper exactly as those operations say.
TEST_F(TicketFollowerTest, AFailedTicketOfTheEarlierProgramsListIsOfferedAndPrintsAsItWasLaidOut) {
    QFile f(Path());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(R"({"version":1,"comandas":[{"idEnvio":"e","numero":"41","mesa":"12","impresora":"Cocina",
        "indice":2,"titulo":"BAR","ops":[{"k":"tamaño","t":"","s":12},{"k":"línea","t":"Mesa #: 12","s":0},
        {"k":"fin","t":"","s":0}],"trabajo":0,"desde":"1","fallida":true,"causa":"sin-papel","motivo":"Sin papel"}]})");
    f.close();
    TicketFollower follower(Path(), 15s);
    EXPECT_EQ(follower.Load(), QString());
    ASSERT_EQ(follower.Failed().size(), 1u);
    EXPECT_EQ(follower.Failed()[0].titulos, QStringList{"BAR"});
    const FollowedTicket kept = follower.Tickets().at(0);
    EXPECT_EQ(kept.id, (sending::TicketId{sending::TicketKind::Group, "BAR", 1}));
    const std::vector<sending::PrintOp> ops = {{sending::PrintOp::Kind::FontSize, "", 12},
                                               {sending::PrintOp::Kind::PrintLine, "Mesa #: 12", 0},
                                               {sending::PrintOp::Kind::EndDoc, "", 0}};
    EXPECT_EQ(sending::PaperOf(kept.ticket).ops, ops);
    // Kept so in the list's own form from now on.
    QString error;
    const auto written = sending::FollowedFromJson(sending::FollowedToJson(follower.Tickets()), &error);
    ASSERT_TRUE(written.has_value()) << error.toStdString();
    ASSERT_EQ(written->size(), 1u);
    EXPECT_EQ(written->at(0).ticket, kept.ticket);
    EXPECT_EQ(written->at(0).id, kept.id);
    follower.Reprint("e");
    EXPECT_EQ(jobs->printed, QStringList{"BAR"});
}

TEST_F(TicketFollowerTest, AnUnreadableListIsMovedAsideAndReported) {
    QFile f(Path());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(R"({"version":1,"comandas":[{"idEnvio":"x"}]})");
    f.close();
    TicketFollower follower(Path(), 15s);
    EXPECT_FALSE(follower.Load().isEmpty());
    EXPECT_TRUE(follower.Tickets().empty());
    EXPECT_TRUE(QFile::exists(Path() + ".ilegible"));
    EXPECT_FALSE(QFile::exists(Path()));
}

// Each field of the list is taken only with the type and range it was
// written with; a ticket held twice is one ticket, offered once.
TEST_F(TicketFollowerTest, AFieldThatDoesNotFitIsNamedAndATicketHeldTwiceIsReadOnce) {
    FollowedTicket failed = Ticket("COCINA", 0);
    failed.fallida = true;
    failed.causa = PrinterFault::PaperOut;
    failed.motivo = "Sin papel";
    const QByteArray one = sending::FollowedToJson({failed});
    FollowedTicket other = failed;
    other.motivo = "Tapa abierta";
    const QByteArray twice = sending::FollowedToJson({failed, failed});
    const QByteArray v1 = R"({"version":1,"comandas":[{"idEnvio":"e","numero":"41","mesa":"12","impresora":"C",
        "indice":2,"titulo":"BAR","ops":[{"k":"fin","t":"","s":0}],"trabajo":0,"desde":"1","fallida":true,
        "causa":"sin-papel","motivo":"Sin papel"}]})";
    const QJsonValue v1Entry = QJsonDocument::fromJson(v1).object()["comandas"].toArray()[0];
    const struct {
        const QByteArray& base;
        const char* path;
        QJsonValue value;
        const char* reason;  // nullptr: it reads as one failed ticket
    } cases[] = {
        {one, "comandas.0.fallida", "si", "comandas[0].fallida no es sí o no"},
        {one, "comandas", 5, "comandas no es una lista"},
        {one, "comandas.0.trabajo", -1, "comandas[0].trabajo no es un número entero"},
        {one, "comandas.0.desde", "ayer", "comandas[0].desde no es una hora"},
        {one, "comandas.0.ticket.titulo", "BAR", "comandas[0].ticket no es la comanda grupo:COCINA:1"},
        {one, "comandas.0.ticket.papel", QJsonArray{}, "comandas[0].ticket.papel no es una lista de operaciones"},
        {v1, "comandas.0.ops.0.s", "12", "comandas[0].ops[0].s no es un número entero"},
        {twice, "version", 2, nullptr},
        {twice, "comandas.1.motivo", "Tapa abierta", "comandas[1] repite la comanda grupo:COCINA:1 del envío envio-1"},
        {v1, "comandas.1", v1Entry, nullptr},
    };
    for (const auto& c : cases) {
        const QByteArray json = testsupport::WithField(c.base, c.path, c.value);
        SCOPED_TRACE(json.toStdString());
        QString error;
        const auto list = sending::FollowedFromJson(json, &error);
        if (c.reason) {
            EXPECT_FALSE(list.has_value());
            EXPECT_TRUE(error.contains(QString::fromUtf8(c.reason))) << error.toStdString();
            continue;
        }
        ASSERT_TRUE(list.has_value()) << error.toStdString();
        EXPECT_EQ(list->size(), 1u);
    }
    // Handed over again, or failing again, it is still one ticket.
    TicketFollower follower(Path(), 15s);
    follower.Fail({failed});
    follower.Fail({other});
    ASSERT_EQ(follower.Failed().size(), 1u);
    EXPECT_EQ(follower.Failed()[0].titulos, QStringList{"COCINA"});
    EXPECT_EQ(follower.Failed()[0].motivo, "Tapa abierta");
    jobs->Set(7, JobPhase::Processing);
    follower.Follow(Ticket("COCINA", 7));
    EXPECT_EQ(follower.Tickets().size(), 1u);
    EXPECT_TRUE(follower.Failed().empty());
}

// Every wait is counted on the monotonic clock: a wall clock set back or
// forward neither holds a stuck job back from being told nor tells it early.
// A job an earlier run handed over has had the time the wall clock says,
// unless that is in the future (set back since): then it starts now.
TEST_F(TicketFollowerTest, AJobIsToldAtItsTimeLimitWhateverTheWallClockDoes) {
    const qint64 wallAtStart = 1765400000000;
    const struct {
        const char* what;
        qint64 handedOver;       // ms from the wall clock at the restart (the file's "desde")
        qint64 wallStep;         // what the wall clock does after the restart
        std::chrono::seconds passes;  // on the monotonic clock
        bool told;
    } cases[] = {
        {"handed over in the future: the wall clock was set back", 3600000, 0, 15s, true},
        {"the same, not yet at its limit", 3600000, 0, 14s, false},
        {"handed over 10 s before the restart", -10000, 0, 5s, true},
        {"the wall clock set an hour forward meanwhile", 0, 3600000, 1s, false},
        {"the wall clock set an hour back meanwhile", -1000, -3600000, 14s, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        jobs->Set(7, JobPhase::Processing);  // a told job was cancelled
        std::atomic<qint64> wall{wallAtStart};
        std::atomic<qint64> passed{0};  // ms
        const auto monotonicStart = std::chrono::steady_clock::now();
        const sending::TerminalClock clock{
            [&] { return wall.load(); },
            [&] { return monotonicStart + std::chrono::milliseconds(passed.load()); }};
        FollowedTicket t = Ticket("ASISTENTE", 7);
        t.desde = wallAtStart + c.handedOver;
        QFile::remove(Path());
        QFile f(Path());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(sending::FollowedToJson({t}));
        f.close();
        TicketFollower follower(Path(), 15s, nullptr, nullptr, clock);
        ASSERT_EQ(follower.Load(), QString());
        wall += c.wallStep;
        passed = std::chrono::milliseconds(c.passes).count();
        const bool settled = follower.WaitUntilSettled(c.told ? 5s : 1s);  // a poll is every 0.3 s
        EXPECT_EQ(settled, c.told);
        EXPECT_EQ(follower.Failed().size(), c.told ? 1u : 0u);
        if (c.told) {
            EXPECT_EQ(follower.Tickets()[0].causa, PrinterFault::NotCompleted);
        }
    }
}

}  // namespace
