#include "data/connection.h"

#include "data/db_error.h"

namespace data {

QString OneQueryText(const QStringList& statements) {
    QString text;
    for (const QString& sql : statements) {
        QString one = sql.trimmed();
        while (one.endsWith(QLatin1Char(';'))) one = one.chopped(1).trimmed();
        // The ";" on a line of its own: a statement that ends in a "--"
        // comment cannot take it.
        if (!text.isEmpty()) text += QStringLiteral("\n;\n");
        text += one;
    }
    return text;
}

std::vector<ResultSet> Connection::RunTogether(const QStringList& statements) {
    std::vector<ResultSet> answers;
    answers.reserve(static_cast<size_t>(statements.size()));
    for (const QString& sql : statements) {
        try {
            answers.push_back(Query(sql));
        } catch (const DbError& e) {
            const int failedAt = static_cast<int>(answers.size());
            throw BatchError(e.number(), e.description(), failedAt, std::move(answers));
        }
    }
    return answers;
}

}  // namespace data
