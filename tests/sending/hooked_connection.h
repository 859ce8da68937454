#pragma once
// A real connection with hooks around each statement, for the faults a server
// cannot be asked for: an answer lost after the server ran the statement, a
// deadlock at a chosen statement, a server killed in the middle of a send.
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

#include "data/connection.h"
#include "data/db_error.h"

namespace sendingtest {

class HookedConnection : public data::Connection {
public:
    explicit HookedConnection(std::unique_ptr<data::Connection> real) : real_(std::move(real)) {}

    // Called with each statement (and its number from 1) before it runs;
    // it may throw to make the statement fail.
    std::function<void(const QString& sql, int n)> before;
    // Called after the server ran the statement; it may throw to make the
    // answer look lost.
    std::function<void(const QString& sql, int n)> after;
    // Called before each Open; it may throw (a server not answering).
    std::function<void()> opening;
    // Every statement passed on, in order, failed or not.
    QStringList statements;
    int opens = 0;
    // Statements sent together go to the real connection together, as one
    // entry of `statements` (joined by new lines) and one call of each hook;
    // otherwise one by one.
    bool together = false;

    data::Connection& Real() { return *real_; }

    void Open(const QString& s) override {
        ++opens;
        if (opening) opening();
        real_->Open(s);
    }
    bool IsOpen() const override { return real_->IsOpen(); }
    void Close() override { real_->Close(); }
    void Execute(const QString& sql) override {
        Around(sql, [&] { real_->Execute(sql); });
    }
    data::ResultSet Query(const QString& sql) override {
        data::ResultSet rs;
        Around(sql, [&] { rs = real_->Query(sql); });
        return rs;
    }
    std::vector<data::ResultSet> RunTogether(const QStringList& sqls) override {
        if (!together) return data::Connection::RunTogether(sqls);
        std::vector<data::ResultSet> answers;
        try {
            Around(sqls.join('\n'), [&] { answers = real_->RunTogether(sqls); });
        } catch (const data::BatchError&) {
            throw;
        } catch (const data::DbError& e) {  // from a hook: as if the first statement failed
            throw data::BatchError(e.number(), e.description(), 0, {});
        }
        return answers;
    }
    QString Escape(const QString& t) const override { return real_->Escape(t); }
    data::SessionFacts& SessionFacts() override { return real_->SessionFacts(); }

private:
    template <typename F>
    void Around(const QString& sql, F&& run) {
        statements << sql;
        const int n = static_cast<int>(statements.size());
        if (before) before(sql, n);
        run();
        if (after) after(sql, n);
    }
    std::unique_ptr<data::Connection> real_;
};

}  // namespace sendingtest
