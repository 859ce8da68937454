#include "data/read_ahead.h"

#include <QDebug>

#include "data/db_error.h"

namespace data {

void ReadAhead::Ask(Connection& c, const QStringList& sqls) {
    QStringList ask;
    for (const QString& sql : sqls)
        if (!answers_.contains(sql) && !ask.contains(sql)) ask << sql;
    // A closed connection is opened by the read itself, with the screens'
    // handling of an unreachable server; asking ahead never connects.
    if (ask.isEmpty() || !c.IsOpen()) return;
    std::vector<ResultSet> answers;
    try {
        answers = c.RunTogether(ask);
    } catch (const BatchError& e) {
        answers = e.answered();
        qInfo().noquote() << "database: query" << e.failedAt() + 1 << "of" << ask.size()
                          << "asked ahead failed:" << e.number() << e.description()
                          << "; it and those after it are asked in their turn";
    } catch (const DbError& e) {
        qInfo().noquote() << "database: queries asked ahead failed:" << e.number() << e.description()
                          << "; each is asked in its turn";
    }
    for (size_t i = 0; i < answers.size() && i < static_cast<size_t>(ask.size()); ++i)
        answers_[ask.at(static_cast<qsizetype>(i))] = std::move(answers[i]);
}

void ReadAhead::Keep(const QString& sql, ResultSet answer) {
    answers_[sql] = std::move(answer);
}

std::optional<ResultSet> ReadAhead::Take(const QString& sql) {
    const auto it = answers_.find(sql);
    if (it == answers_.end()) return std::nullopt;
    ResultSet rs = std::move(it->second);
    answers_.erase(it);
    return rs;
}

ResultSet ReadAhead::Answer(Connection& c, const QString& sql) {
    if (std::optional<ResultSet> kept = Take(sql)) return std::move(*kept);
    return c.Query(sql);
}

void ReadAhead::Forget(const QStringList& sqls) {
    for (const QString& sql : sqls) answers_.erase(sql);
}

}  // namespace data
