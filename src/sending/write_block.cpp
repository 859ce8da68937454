#include "sending/write_block.h"

#include "data/db_error.h"

namespace sending {

namespace {

// Text of one statement inside the block: its own ";" taken off, the block's
// ";" on a line of its own (after a "--" comment one on the same line would
// be part of the comment).
QString Inside(const QString& sql) {
    QString one = sql.trimmed();
    while (one.endsWith(QLatin1Char(';'))) one = one.chopped(1).trimmed();
    return one + QStringLiteral("\n;\n");
}

}  // namespace

QString WritesInOneBlock(const QStringList& writes) {
    QString text = QStringLiteral(
        "BEGIN NOT ATOMIC\n"
        "DECLARE paso INT DEFAULT 0;\n"
        "DECLARE EXIT HANDLER FOR SQLEXCEPTION BEGIN ROLLBACK; SET @pedidos_paso = paso; RESIGNAL; END;\n"
        "SET @pedidos_paso = NULL;\n"
        // The reads before the block took the counter lock in this
        // transaction; if it is gone, writing now would store on its own.
        "IF @@in_transaction = 0 THEN SIGNAL SQLSTATE '40001' SET MYSQL_ERRNO = 1213, "
        "MESSAGE_TEXT = 'the send''s transaction ended before its writes'; END IF;\n");
    for (qsizetype i = 0; i < writes.size(); ++i) {
        if (i > 0) text += QStringLiteral("SET paso = %1;\n").arg(i);
        text += Inside(writes.at(i));
    }
    text += QStringLiteral("COMMIT;\nEND");
    return text;
}

bool ServerCannotRunBlock(int errorNumber) {
    return errorNumber == data::kParseError || errorNumber == data::kUnknownSystemVariable ||
           errorNumber == data::kNotAllowedInStoredProgram;
}

}  // namespace sending
