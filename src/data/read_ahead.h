#pragma once
// Answers of queries asked ahead, all in one round trip, for the reads an
// action is about to make one after another: a tablet on Wi-Fi, or a server
// in another building, then waits one round trip instead of one per query.
// Each answer is taken once. A query that failed ahead is not kept: it is
// asked again when its turn comes, and fails (or not) as it would have alone.
#include <QString>
#include <QStringList>
#include <map>
#include <optional>

#include "data/connection.h"
#include "data/result_set.h"

namespace data {

class ReadAhead {
public:
    // Asks those of `sqls` not kept already, together, on `c` when it is
    // open, and keeps the answers of those before the first that failed.
    // Never raises: what fails here is logged and asked again in its turn.
    void Ask(Connection& c, const QStringList& sqls);
    // Keeps `answer` as the answer of `sql` (got elsewhere, in another round trip).
    void Keep(const QString& sql, ResultSet answer);
    // The answer kept for exactly this text, taken out; nothing otherwise.
    std::optional<ResultSet> Take(const QString& sql);
    // The answer kept for `sql`, taken out, or else `sql` asked on `c`
    // (raising its error).
    ResultSet Answer(Connection& c, const QString& sql);
    // Drops what was kept for `sqls` and not taken.
    void Forget(const QStringList& sqls);

private:
    std::map<QString, ResultSet> answers_;
};

}  // namespace data
