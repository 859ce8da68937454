#include "sending/send_statements.h"

#include <QDebug>
#include <map>

#include "data/db_error.h"
#include "data/sql_text.h"
#include "sending/write_block.h"

namespace sending {
namespace {

using data::ErrorSite;
using data::NextStep;

// Whether the optional send record can be used on this connection, learnt
// once per connection by a probe that stores nothing.
const QString kFactEnvios = QStringLiteral("envios");

// Whether the connection's server is a Galera cluster node, learnt once per
// connection. A node can abort a local transaction at any moment when another
// node's write to the same row arrives (to it, a deadlock), and in the middle
// of statements sent together it tells the client nothing: the statements
// after that moment run on their own, each committed alone, and part of an
// order would be stored. There the writes and the COMMIT go as one compound
// statement, which stops at the abort (write_block.h).
const QString kFactNodoCluster = QStringLiteral("wsrep_on");
const QString kSqlSondaCluster = QStringLiteral("select @@wsrep_on");
// Whether this connection's node refused such a block (a server without
// compound statements), learnt at the first send that tried one. There every
// statement of a send travels alone, and the statement after an abort is
// refused with the deadlock error.
const QString kFactSinBloque = QStringLiteral("no write block");
// A settle on a cluster node reads only after the node has applied every
// write the cluster certified before it (a try committed through another
// node, say); the session's own setting comes back afterwards.
const QString kSqlEsperarCertificados =
    QStringLiteral("SET @pedidos_sync_wait=@@session.wsrep_sync_wait, @@session.wsrep_sync_wait=1");
const QString kSqlRestaurarEspera = QStringLiteral("SET @@session.wsrep_sync_wait=@pedidos_sync_wait");

// Where statement `at` of texts sent together stands: before the COMMIT
// (`commitAt`, -1 when none travels with them), the COMMIT, or after it.
ErrorSite SiteOf(int at, int commitAt, int recordAt) {
    if (commitAt < 0) return ErrorSite::Statement;
    if (at == commitAt) return ErrorSite::Commit;
    if (at > commitAt) return ErrorSite::AfterCommit;
    return at == recordAt ? ErrorSite::SendRecord : ErrorSite::WithCommit;
}

// The first words of a statement, for the log: no customer text.
QString Brief(const QString& sql) {
    return sql.section(QLatin1Char(' '), 0, 2);
}

}  // namespace

SendStatements::SendStatements(data::Connection& c)
    : c_(c), values_(Escaper()) {}

EscapeFn SendStatements::Escaper() {
    return [this](const QString& t) { return data::SqlText(c_, t); };
}

void SendStatements::LearnServer() {
    std::map<QString, bool>& facts = c_.SessionFacts().flags;
    if (const auto it = facts.find(kFactNodoCluster); it != facts.end()) {
        clusterNode_ = it->second;
        return;
    }
    bool node = false;
    try {
        const data::ResultSet rs = Ask(kSqlSondaCluster, ErrorSite::ServerVariable);
        node = !rs.IsEof() && rs.Field(0).IsNonZero();
    } catch (const SendFailure& f) {
        if (f.meaning.next != NextStep::Refused) throw;  // a server without the variable: no node
    }
    if (node) qInfo().noquote() << "send: a cluster node; a send's writes go as one block";
    facts[kFactNodoCluster] = clusterNode_ = node;
}

bool SendStatements::SendRecordsAvailable() {
    std::map<QString, bool>& facts = c_.SessionFacts().flags;
    if (const auto it = facts.find(kFactEnvios); it != facts.end()) return it->second;
    bool available = true;
    try {
        Ask(kSqlSondaEnvios, ErrorSite::Probe);
    } catch (const SendFailure& f) {
        // Only a refusal that asking again will not change says the table
        // is not there; a server that cannot answer yet (a cluster node
        // still joining) ends the round and is asked again.
        if (f.meaning.next != NextStep::Refused) throw;
        available = false;
        qInfo().noquote() << "send: no send record on this connection (" << f.number << f.description
                          << "); lost answers are settled from comanda";
    }
    facts[kFactEnvios] = available;
    return available;
}

// The widths of the installation's text columns, learnt on the first send of
// each connection (after a reconnect, again: a column may have been
// widened). A server that cannot list them leaves values whole.
void SendStatements::LearnWidths() {
    data::SessionFacts& facts = c_.SessionFacts();
    if (!facts.anchos) {
        data::ColumnWidths anchos;
        try {
            anchos = data::ColumnWidthsFrom(Ask(data::kSqlColumnWidths, ErrorSite::OptionalRead));
        } catch (const SendFailure& f) {
            if (f.meaning.next != NextStep::Refused) throw;
            qWarning().noquote() << "send: cannot learn the column widths:" << f.number << f.description
                                 << "; values are written whole";
        }
        facts.anchos = std::make_shared<const data::ColumnWidths>(std::move(anchos));
    }
    anchos_ = facts.anchos;
    values_ = TextValues(Escaper(), anchos_.get());
}

std::vector<data::ResultSet> SendStatements::Together(const QStringList& sqls) {
    return TogetherFrom(sqls, -1, -1);
}

std::vector<data::ResultSet> SendStatements::WriteAndCommit(const Writes& w) {
    if (clusterNode_ && !OneByOne()) return AsBlock(w);
    const int commitAt = static_cast<int>(w.texts.size());
    std::vector<data::ResultSet> answers =
        TogetherFrom(w.texts + QStringList{kSqlConfirmar} + w.after, commitAt, w.recordAt);
    const auto firstRead = std::min(answers.size(), static_cast<size_t>(commitAt) + 1);
    answers.erase(answers.begin(), answers.begin() + static_cast<std::ptrdiff_t>(firstRead));
    return answers;
}

std::vector<data::ResultSet> SendStatements::TogetherFrom(const QStringList& sqls, int commitAt, int recordAt) {
    std::vector<data::ResultSet> answers;
    int from = 0, failing = -1, tries = 0;
    for (;;) {
        try {
            for (data::ResultSet& rs : Run(sqls.mid(from))) answers.push_back(std::move(rs));
            return answers;
        } catch (const data::BatchError& e) {
            const int at = from + e.failedAt();
            answers.insert(answers.end(), e.answered().begin(), e.answered().end());
            qWarning().noquote() << "send: statement failed:" << e.number() << e.description() << "|"
                                 << Brief(sqls.value(at));
            SendFailure f = FailureAt(e, SiteOf(at, commitAt, recordAt), at);
            if (f.meaning.next == NextStep::SendStands) return answers;
            if (f.meaning.next != NextStep::RetryStatement) throw f;
            // A server may roll the whole transaction back on some errors (a
            // lock wait timeout with innodb_rollback_on_timeout, say), and
            // retrying the one statement would then store the rest of the
            // order outside any transaction.
            if (!InTransaction()) {
                f.meaning.next = NextStep::RunAgain;
                throw f;
            }
            tries = at == failing ? tries + 1 : 1;
            failing = at;
            if (tries >= data::kIntentosSql) {
                f.meaning.next = NextStep::TellWaiter;
                throw f;
            }
            from = at;
        }
    }
}

// The writes and the COMMIT as one compound statement (write_block.h).
// Whatever the server answers, the block either committed whole or stored
// nothing; only a lost connection leaves the outcome unknown.
std::vector<data::ResultSet> SendStatements::AsBlock(const Writes& w) {
    try {
        std::vector<data::ResultSet> answers = Run(QStringList{WritesInOneBlock(w.texts)} + w.after);
        answers.erase(answers.begin());
        return answers;
    } catch (const data::BatchError& e) {
        if (e.failedAt() > 0) {  // a read after the COMMIT: the send stands
            qWarning().noquote() << "send: a read after the stored send failed:" << e.number() << e.description()
                                 << "|" << Brief(w.after.value(e.failedAt() - 1));
            return {e.answered().begin() + 1, e.answered().end()};
        }
        qWarning().noquote() << "send: the writes' block failed:" << e.number() << e.description();
        SendFailure f = FailureAt(e, ErrorSite::Block);
        if (f.meaning.next == NextStep::LocateInBlock) FailInBlock(e, w);
        if (f.meaning.next != NextStep::OneByOne) throw f;
        qInfo().noquote() << "send: this node cannot run the writes as one block; each statement"
                          << "of a send travels alone on this connection";
        c_.SessionFacts().flags[kFactSinBloque] = true;
        // The server refused the block before running any of it: the
        // transaction of the first round trip goes on, one by one.
        if (!InTransaction()) {
            f.meaning.next = NextStep::RunAgain;
            throw f;
        }
        return WriteAndCommit(w);
    }
}

// The block rolled the whole transaction back: the failed write is judged
// where it stood (a write whose place is not known, as any statement: its
// value cannot be named), and an error that may pass runs the whole send
// again, as often as a statement would be tried.
void SendStatements::FailInBlock(const data::DbError& e, const Writes& w) {
    const int at = FailedWrite(e);
    const ErrorSite site = at < 0                 ? ErrorSite::Statement
                           : at == w.texts.size() ? ErrorSite::Commit
                           : at == w.recordAt     ? ErrorSite::SendRecord
                                                  : ErrorSite::WithCommit;
    SendFailure f = FailureAt(e, site, at);
    if (f.meaning.next == NextStep::RetryStatement)
        f.meaning.next = ++blockFailures_ >= data::kIntentosSql ? NextStep::TellWaiter : NextStep::RunAgain;
    throw f;
}

// The index of the statement the block failed at with `failure`
// (kSqlPasoFallido), -1 when unknown. The block has rolled back: a
// connection lost now runs the whole send again, which meets the same
// failure with its index (a send record already there, say).
int SendStatements::FailedWrite(const data::DbError& failure) {
    try {
        const data::ResultSet rs = c_.Query(kSqlPasoFallido);
        if (!rs.IsEof() && !rs.Field(0).IsNull()) return static_cast<int>(rs.Field(0).ToDouble());
    } catch (const rt::RuntimeError& e) {
        qWarning().noquote() << "send: cannot read which write failed:" << e.number() << e.description();
        SendFailure f = FailureAt(e, ErrorSite::Statement);
        if (f.meaning.connectionGone) {
            f.description = failure.description();
            throw f;
        }
    }
    return -1;
}

data::ResultSet SendStatements::Ask(const QString& sql, ErrorSite site) {
    try {
        return c_.Query(sql);
    } catch (const data::DbError& e) {
        throw FailureAt(e, site);
    }
}

SendFailure SendStatements::FailureAt(const rt::RuntimeError& e, ErrorSite site, int at) const {
    return SendFailure{data::MeaningOf(e.number(), site), e.number(), e.description(), at, {}};
}

void SendStatements::RollBack() { Quietly(kSqlDeshacer, "rollback"); }

void SendStatements::SyncWait() { Ask(kSqlEsperarCertificados, ErrorSite::Settle); }

void SendStatements::RestoreSyncWait() { Quietly(kSqlRestaurarEspera, "restoring wsrep_sync_wait"); }

void SendStatements::Quietly(const QString& sql, const char* what) {
    try {
        if (c_.IsOpen()) c_.Execute(sql);
    } catch (const rt::RuntimeError& e) {
        qWarning().noquote() << "send:" << what << "failed:" << e.number() << e.description();
    }
}

// Whether the send's transaction is still open after a failed statement.
bool SendStatements::InTransaction() {
    try {
        const data::ResultSet rs = c_.Query(QStringLiteral("select @@in_transaction"));
        return !rs.IsEof() && rs.Field(0).ToDouble() != 0;
    } catch (const rt::RuntimeError&) {
        return false;
    }
}

// A cluster node that cannot run the writes as one block, as learnt on this
// connection.
bool SendStatements::OneByOne() const {
    return clusterNode_ && c_.SessionFacts().flags.count(kFactSinBloque) > 0;
}

std::vector<data::ResultSet> SendStatements::Run(const QStringList& sqls) {
    // The base class's way: one statement per round trip, a failure
    // reported at the statement it happened at, as together.
    return OneByOne() ? c_.Connection::RunTogether(sqls) : c_.RunTogether(sqls);
}

}  // namespace sending
