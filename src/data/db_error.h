#pragma once
// An error reported by the database server or the client library. It is a
// runtime error like any other: a handler that does not trap it shows its
// number and description in the system error box.
#include "runtime/runtime_error.h"

namespace data {

class DbError : public rt::RuntimeError {
public:
    using rt::RuntimeError::RuntimeError;
};

// Error numbers of our own (the client library uses 2000-2999, the server 1000-1999).
enum DbErrorNumber {
    kNoSuchField = 3265,      // a field asked for by a name the result does not have
    kConnectionClosed = 3704  // an operation on a connection that is not open
};

}  // namespace data
