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
    kConnectionClosed = 3704  // an operation on a connection that is not open
};

// The connection is gone: the server rolled back any open transaction, and
// the outcome of a statement in flight (a COMMIT, say) is unknown.
constexpr bool IsLostConnection(int number) {
    switch (number) {
        case 1053:  // server shutdown in progress
        case 1927:  // connection killed
        case 2006:  // server has gone away
        case 2013:  // lost connection during query
        case 2055:  // lost connection at reading/writing
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
