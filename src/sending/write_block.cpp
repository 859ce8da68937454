#include "sending/write_block.h"

#include "data/connection.h"
#include "sending/order_statements.h"

namespace sending {

QString WritesInOneBlock(const QStringList& writes) {
    // After each write, the index of the next one: what failed is the
    // statement whose index the handler finds (writes.size(): the COMMIT).
    QStringList body;
    for (qsizetype i = 0; i < writes.size(); ++i) body << writes.at(i) << QStringLiteral("SET paso = %1").arg(i + 1);
    body << kSqlConfirmar << QStringLiteral("END");
    return QStringLiteral(
               "BEGIN NOT ATOMIC\n"
               "DECLARE paso INT DEFAULT 0;\n"
               "DECLARE EXIT HANDLER FOR SQLEXCEPTION BEGIN ROLLBACK; SET @pedidos_paso = paso; RESIGNAL; END;\n"
               "SET @pedidos_paso = NULL;\n"
               // The reads before the block took the counter lock in this
               // transaction; if it is gone, writing now would store on its own.
               "IF @@in_transaction = 0 THEN SIGNAL SQLSTATE '40001' SET MYSQL_ERRNO = 1213, "
               "MESSAGE_TEXT = 'the send''s transaction ended before its writes'; END IF;\n") +
           data::OneQueryText(body);
}

}  // namespace sending
