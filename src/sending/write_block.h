#pragma once
// A send's writes and its COMMIT as one compound statement, for a Galera
// cluster node. A node aborts a local transaction whenever another node's
// write to a row it holds arrives (a brute-force abort). Among plain
// statements sent together that abort is not reported, and the statements
// after it run on their own, each committed alone. A compound statement ends
// at the abort instead, with the deadlock error, and its handler rolls back
// every failure before passing it on: all or nothing, in one round trip.
#include <QString>
#include <QStringList>

namespace sending {

// "BEGIN NOT ATOMIC ... END" running `writes` in order and then COMMIT, each
// statement text unchanged. It refuses to run (error 1213, as a collision)
// when the transaction the writes belong to has already ended. When a write
// or the COMMIT fails, the whole transaction is rolled back, the same error
// is raised, and kSqlPasoFallido then reads the failed statement's index.
QString WritesInOneBlock(const QStringList& writes);

// After a block failed with an error other than 1213: the index in `writes`
// of the statement that failed, writes.size() for the COMMIT (NULL when the
// server refused the block before running any of it).
inline const QString kSqlPasoFallido = QStringLiteral("select @pedidos_paso");

}  // namespace sending
