#include "data/connection.h"

#include "data/db_error.h"

namespace data {

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
