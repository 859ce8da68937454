#pragma once
// A terminal's real connection with the campaign's hooks around each
// statement: the counter's locking read is timed (how long this terminal
// waited for another's lock), the terminal may stop right after taking the
// counter lock (a frozen terminal, from the server's view), and the
// terminal's program may end in the middle of a send (TerminalCrash is
// thrown; the connection is closed as the kernel closes a dead program's
// sockets, and the terminal starts again from its journal).
#include <functional>

#include "data/mariadb_connection.h"
#include "fault_campaign/fault_plan.h"
#include "fault_campaign/lock_waits.h"

namespace campaign {

struct TerminalCrash {
    bool afterStatement = false;  // the statement it ended at had run
    bool afterTicket = false;     // it ended right after the printing system took a ticket
};

class TerminalConnection : public data::Connection {
public:
    TerminalConnection(FaultPlan& plan, LockWaits& waits) : plan_(plan), waits_(waits) {}

    void Open(const QString& connectionString) override;
    bool IsOpen() const override { return !crashed_ && inner_.IsOpen(); }
    void Close() override { inner_.Close(); }
    void Execute(const QString& sql) override;
    data::ResultSet Query(const QString& sql) override;
    std::vector<data::ResultSet> RunTogether(const QStringList& statements) override;
    QString Escape(const QString& text) const override { return inner_.Escape(text); }
    data::SessionFacts& SessionFacts() override { return inner_.SessionFacts(); }

    // The terminal's program started again after a crash.
    void Restarted() { crashed_ = false; }
    // Who sends on it now ("terminal 3, order fc12"), for a wait told in the report.
    void SetWho(QString who) { who_ = std::move(who); }
    // Called right before each statement that takes the ticket counter lock.
    void BeforeCounter(std::function<void()> hook) { beforeCounter_ = std::move(hook); }

private:
    template <typename F>
    void Around(const QString& sql, F&& run);
    [[noreturn]] void Crash(bool afterStatement);

    FaultPlan& plan_;
    LockWaits& waits_;
    LockWaitClock clock_;
    data::MariaDbConnection inner_;
    bool crashed_ = false;
    std::function<void()> beforeCounter_;
    QString who_;
};

}  // namespace campaign
