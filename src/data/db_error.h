#pragma once
// An error reported by the database server or the client library. It is a
// runtime error like any other: a handler that does not trap it shows its
// number and description in the system error box.
#include <QString>
#include <stdexcept>
#include <vector>

#include "data/result_set.h"
#include "runtime/runtime_error.h"

namespace data {

class DbError : public rt::RuntimeError {
public:
    using rt::RuntimeError::RuntimeError;
};

// Statement `failedAt` of statements run together failed with this error.
// Those before it ran and their answers are in `answered`; those after it
// were not run. After a lost connection nothing is known of the failed one
// and those after it (the server may have run them all: only the answers
// were lost).
class BatchError : public DbError {
public:
    BatchError(int number, const QString& description, int failedAt, std::vector<ResultSet> answered)
        : DbError(number, description), failedAt_(failedAt), answered_(std::move(answered)) {}
    int failedAt() const { return failedAt_; }
    const std::vector<ResultSet>& answered() const { return answered_; }

private:
    int failedAt_;
    std::vector<ResultSet> answered_;
};

// Error numbers of our own (the client library uses 2000-2999, the server 1000-1999).
enum DbErrorNumber {
    kNoSuchField = 3265,      // a field asked for by a name the result does not have
    kConnectionClosed = 3704,  // an operation on a connection that is not open
    // The protected link the option files ask for could not be made (a
    // certificate that does not verify, a server without TLS, an option
    // that cannot be used); nothing was sent to the server.
    kSecureLinkRefused = 3710
};

// The server's and the client library's error numbers the terminal acts on.
enum MariaDbError {
    kDbAccessDenied = 1044,         // no access to the database
    kNodeNotReady = 1047,           // a cluster node not yet ready to answer (still joining)
    kServerShutdown = 1053,         // the server is shutting down
    kBadField = 1054,               // no such column
    kDuplicateKey = 1062,           // a unique key's value is there already
    kParseError = 1064,             // a text the server cannot parse (a compound statement on MySQL)
    kTableAccessDenied = 1142,      // the command is denied on the table
    kColumnAccessDenied = 1143,     // the command is denied on a column
    kNoSuchTable = 1146,
    kUnknownSystemVariable = 1193,  // a server without the variable (@@wsrep_on on MySQL)
    kLockWaitTimeout = 1205,        // undoes the statement, not the transaction
    kDeadlock = 1213,               // the transaction is rolled back; also a cluster's certification failure
    kNotAllowedInStoredProgram = 1314,  // a statement a compound statement may not hold
    // A value its column cannot hold (strict mode refuses it instead of
    // storing it changed): they come back on every try.
    kBadNull = 1048,                // null in a NOT NULL column
    kOutOfRange = 1264,             // a number outside the column's type
    kTruncated = 1265,              // data truncated for the column
    kIncorrectValue = 1292,         // a value the column's type cannot read
    kNoDefault = 1364,              // a column without a default left out
    kIncorrectString = 1366,        // characters the column's character set lacks
    kDataTooLong = 1406,            // text longer than the column
    kConnectionKilled = 1927,
    kServerGoneAway = 2006,
    kServerLost = 2013,             // the connection was lost during a query
    kClientTlsError = 2026,         // TLS failed: setting the link up, or the link broke
    kServerLostExtended = 2055,     // lost while reading or writing
};

// The connection is gone: the server rolled back any open transaction, and
// the outcome of a statement in flight (a COMMIT, say) is unknown.
constexpr bool IsLostConnection(int number) {
    switch (number) {
        case kServerShutdown:
        case kConnectionKilled:
        case kServerGoneAway:
        case kServerLost:
        case kServerLostExtended:
        case kConnectionClosed:
            return true;
        default:
            return false;
    }
}

// The server could not be reached again after the connection was lost. The
// screen's guard tells the waiter and keeps the screen as it is; the next
// database action tries to connect again.
//
// Not an rt::RuntimeError on purpose: the steps that skip a failing statement
// and go on (rt::ResumeNext) must not skip this one, since every later
// statement of the same handler would fail the same way, each after a
// connection attempt of its own, and the waiter would never be told.
class ConnectionLost : public std::runtime_error {
public:
    ConnectionLost(int number, const QString& description)
        : std::runtime_error(description.toStdString()),
          number_(number),
          description_(description) {}
    int number() const { return number_; }
    const QString& description() const { return description_; }

private:
    int number_;
    QString description_;
};

}  // namespace data
