#include "fault_campaign/terminal_connection.h"

#include <QThread>

#include "data/db_error.h"
#include "sending/order_statements.h"

namespace campaign {

void TerminalConnection::Open(const QString& connectionString) {
    if (crashed_) throw TerminalCrash{};  // nothing runs in a program that ended
    inner_.Open(connectionString);
}

void TerminalConnection::Execute(const QString& sql) {
    Around(sql, [&] { inner_.Execute(sql); });
}

data::ResultSet TerminalConnection::Query(const QString& sql) {
    data::ResultSet rs;
    Around(sql, [&] { rs = inner_.Query(sql); });
    return rs;
}

std::vector<data::ResultSet> TerminalConnection::RunTogether(const QStringList& statements) {
    std::vector<data::ResultSet> answers;
    Around(data::OneQueryText(statements), [&] { answers = inner_.RunTogether(statements); });
    return answers;
}

void TerminalConnection::Crash(bool afterStatement) {
    crashed_ = true;
    inner_.Close();
    throw TerminalCrash{afterStatement};
}

template <typename F>
void TerminalConnection::Around(const QString& sql, F&& run) {
    if (crashed_) throw data::DbError(data::kConnectionClosed, QStringLiteral("the terminal's program ended"));
    const TerminalFault fault = plan_.AtStatement(sql);
    if (fault == TerminalFault::CrashBefore) Crash(false);
    // Alone or sent with others, the counter's locking read takes the lock.
    const bool counter = sql.contains(sending::kSqlContador);
    if (counter && beforeCounter_) beforeCounter_();
    if (counter) clock_.TryStarts(Clock::now());
    try {
        run();
    } catch (const data::DbError& e) {
        if (counter)
            if (const auto waited = clock_.TryEnded(Clock::now())) waits_.Add(*waited, who_, e.number());
        throw;
    }
    if (counter) {
        if (const auto waited = clock_.TryEnded(Clock::now())) waits_.Add(*waited, who_);
        const std::chrono::milliseconds freeze = plan_.FreezeAfterLock();
        if (freeze.count() > 0) QThread::msleep(static_cast<unsigned long>(freeze.count()));
    }
    if (fault == TerminalFault::CrashAfter) Crash(true);
}

}  // namespace campaign
