#include "support/failing_connection.h"

#include "data/db_error.h"

namespace testsupport {

void FailingConnection::Execute(const QString& sql) {
    ++executeCalls;
    if (failNextExecutes > 0) {
        --failNextExecutes;
        throw data::DbError(1205, QString("Lock wait timeout exceeded; try restarting "
                                          "transaction (attempt %1)")
                                      .arg(executeCalls));
    }
    real_->Execute(sql);
}

}  // namespace testsupport
