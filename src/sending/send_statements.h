#pragma once
// The statements of one send on its connection: sent together in one round
// trip, or on a Galera node as one block of writes and COMMIT; the facts of
// the connection the send depends on, learnt once per connection. Every
// failure comes out as one SendFailure, judged by the errors table
// (data/error_meaning.h); what it means for the send is the protocol's.
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

#include "data/column_widths.h"
#include "data/connection.h"
#include "data/db_error.h"
#include "data/error_meaning.h"
#include "sending/order_statements.h"

namespace sending {

// Why a run of the send stopped: what follows, from the errors table, with
// the server's error and where it happened.
struct SendFailure {
    data::ErrorMeaning meaning;
    int number = 0;
    QString description;
    int at = -1;      // the statement that failed, in the texts run together (-1: unknown)
    QString detalle;  // a value its column cannot hold: which value and which column, in Spanish
};

// Statements of the send that travel together with its COMMIT: the writes,
// the index among them of the send record's insert (-1: none), and the reads
// that follow the COMMIT in its round trip.
struct Writes {
    QStringList texts;
    int recordAt = -1;
    QStringList after;
};

class SendStatements {
public:
    explicit SendStatements(data::Connection& c);

    const TextValues& Values() const { return values_; }
    bool OnClusterNode() const { return clusterNode_; }

    // The facts the send depends on, learnt once per connection: whether it
    // is a cluster node, whether the send record can be used (true), the
    // widths of the installation's text columns.
    void LearnServer();
    bool SendRecordsAvailable();
    void LearnWidths();

    // Runs `sqls`, a round trip without the COMMIT, in one round trip. A
    // statement the server refuses while the transaction stays open is tried
    // again, with those after it, up to data::kIntentosSql.
    std::vector<data::ResultSet> Together(const QStringList& sqls);
    // Runs the writes, then COMMIT, then the reads after it, in one round
    // trip; returns the answers to the reads (fewer when one failed: the send
    // stands). The COMMIT is never tried twice: after a failed COMMIT the
    // server has rolled back, and a second one would report success with
    // nothing stored.
    std::vector<data::ResultSet> WriteAndCommit(const Writes& w);

    // One statement outside the send's transaction; a failure is judged as
    // met at `site`.
    data::ResultSet Ask(const QString& sql, data::ErrorSite site);

    // ROLLBACK, whatever state the connection is in; never raises.
    void RollBack();
    // On a cluster node, reads wait for every write the cluster has certified
    // before them (SyncWait) and the session's own setting comes back after
    // (RestoreSyncWait, which never raises).
    void SyncWait();
    void RestoreSyncWait();

private:
    std::vector<data::ResultSet> TogetherFrom(const QStringList& sqls, int commitAt, int recordAt);
    std::vector<data::ResultSet> AsBlock(const Writes& w);
    SendFailure FailureAt(const rt::RuntimeError& e, data::ErrorSite site, int at = -1) const;
    [[noreturn]] void FailInBlock(const data::DbError& e, const Writes& w);
    int FailedWrite(const data::DbError& failure);
    bool InTransaction();
    bool OneByOne() const;
    std::vector<data::ResultSet> Run(const QStringList& sqls);
    void Quietly(const QString& sql, const char* what);
    EscapeFn Escaper();

    data::Connection& c_;
    std::shared_ptr<const data::ColumnWidths> anchos_;
    TextValues values_;
    bool clusterNode_ = false;
    int blockFailures_ = 0;  // blocks refused with an error that may pass, in this send
};

}  // namespace sending
