#pragma once
// The connection to a MariaDB/MySQL server through MariaDB Connector/C.
#include <span>

#include "data/connection.h"
#include "data/session_limits.h"

struct st_mysql;

namespace data {

class MariaDbConnection : public Connection {
public:
    MariaDbConnection() = default;
    ~MariaDbConnection() override;
    MariaDbConnection(const MariaDbConnection&) = delete;
    MariaDbConnection& operator=(const MariaDbConnection&) = delete;

    // Seconds to wait for the server to answer the connection attempt. A
    // server on the restaurant's network answers in milliseconds, and the
    // kernel's second try of an unanswered connection goes out after 1 s and
    // its third after 3 s; a touch that reconnects first must not freeze the
    // screen much longer than that when the server is not there.
    static constexpr unsigned int kConnectTimeoutSeconds = 5;

    // The session settings each Open sends in front of the first statements
    // (data::kSessionLimits unless told otherwise, as a test does to see a
    // server refuse one).
    void SetSessionSettings(std::span<const SessionSetting> settings) { sessionSettings_ = settings; }

    void Open(const QString& connectionString) override;
    bool IsOpen() const override { return mysql_ != nullptr; }
    void Close() override;
    void Execute(const QString& sql) override;
    ResultSet Query(const QString& sql) override;
    std::vector<ResultSet> RunTogether(const QStringList& statements) override;
    QString Escape(const QString& text) const override;

private:
    // The client's last error number; a TLS error on the open link counts as
    // the connection lost.
    int LastErrorNumber() const;
    [[noreturn]] void RaiseLastError() const;
    void Send(const QString& sql);
    // The answer of the statement whose turn it is.
    ResultSet TakeResult();
    // `statements` in one query text (RunTogether without the session limits).
    std::vector<ResultSet> RunText(const QStringList& statements);

    st_mysql* mysql_ = nullptr;
    QString host_;                 // for the log
    bool sessionPending_ = false;  // the session limits are still to be set
    std::span<const SessionSetting> sessionSettings_ = kSessionLimits;
};

}  // namespace data
