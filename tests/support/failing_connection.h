#pragma once
// A real connection that fails its next N statements on purpose (the server
// cannot be made to fail "exactly twice" on demand).
#include <memory>

#include "data/connection.h"

namespace testsupport {

class FailingConnection : public data::Connection {
public:
    explicit FailingConnection(std::unique_ptr<data::Connection> real) : real_(std::move(real)) {}

    int failNextExecutes = 0;  // how many Execute calls still fail
    int executeCalls = 0;      // every Execute call, failed or not

    void Open(const QString& s) override { real_->Open(s); }
    bool IsOpen() const override { return real_->IsOpen(); }
    void Close() override { real_->Close(); }
    void Execute(const QString& sql) override;
    data::ResultSet Query(const QString& sql) override { return real_->Query(sql); }
    QString Escape(const QString& t) const override { return real_->Escape(t); }
    data::SessionFacts& SessionFacts() override { return real_->SessionFacts(); }

private:
    std::unique_ptr<data::Connection> real_;
};

}  // namespace testsupport
