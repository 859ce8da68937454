#pragma once
// The seam to the database server: one connection, opened with a connection
// string, that runs SQL text. Production uses MariaDbConnection; tests wrap it
// to make a statement fail on demand.
#include <QString>
#include <QStringList>
#include <map>
#include <memory>
#include <vector>

#include "data/result_set.h"

namespace data {

class ColumnWidths;

// What was learnt once about a session's server, kept until the connection
// is opened again (perhaps to another server, or to one whose tables changed).
struct SessionFacts {
    // Yes/no answers by name ("can the optional table X be used?").
    std::map<QString, bool> flags;
    // The widths of the text columns the terminal writes; none while not learnt.
    std::shared_ptr<const ColumnWidths> anchos;
};

// `statements` as one query text for a server that takes several at once:
// each as it is, then the ";" that separates them (one already there is not
// doubled: ";;" would be an empty statement, which the server refuses).
QString OneQueryText(const QStringList& statements);

class Connection {
public:
    virtual ~Connection() = default;

    // Seconds a statement may take before it fails (sent, executed and answered).
    void SetCommandTimeout(int seconds) { commandTimeout_ = seconds; }
    int CommandTimeout() const { return commandTimeout_; }

    // Opens the connection described by `connectionString` (key=value; pairs).
    // Raises DbError when the server cannot be reached or refuses the login.
    virtual void Open(const QString& connectionString) = 0;
    virtual bool IsOpen() const = 0;
    virtual void Close() = 0;

    // Runs a statement; any rows it returns are discarded. Raises DbError.
    virtual void Execute(const QString& sql) = 0;
    // Runs a query and fetches its whole result. Raises DbError.
    virtual ResultSet Query(const QString& sql) = 0;

    // Runs `statements` in order, sent to the server together and answered
    // together: one round trip for all of them, which is what matters on a
    // Wi-Fi tablet or a server in another building. Returns each statement's
    // rows (a result without columns for one that returns none). When one
    // fails the server runs none after it: BatchError says which failed and
    // carries the answers of those before it. This default runs them one by
    // one, for connections that wrap another to make statements fail.
    virtual std::vector<ResultSet> RunTogether(const QStringList& statements);

    // `text` made safe to stand between single quotes in a statement
    // (quotes, backslashes and control characters escaped for this server).
    virtual QString Escape(const QString& text) const = 0;

    // What was learnt once about this session's server. Every Open forgets
    // it, so a reconnect, perhaps to another server, asks again.
    virtual data::SessionFacts& SessionFacts() { return facts_; }

protected:
    void ForgetSessionFacts() { facts_ = {}; }

private:
    int commandTimeout_ = 30;
    data::SessionFacts facts_;
};

}  // namespace data
