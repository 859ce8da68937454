#pragma once
// The connection to a MariaDB/MySQL server through MariaDB Connector/C.
#include "data/connection.h"

struct st_mysql;

namespace data {

class MariaDbConnection : public Connection {
public:
    MariaDbConnection() = default;
    ~MariaDbConnection() override;
    MariaDbConnection(const MariaDbConnection&) = delete;
    MariaDbConnection& operator=(const MariaDbConnection&) = delete;

    // Seconds to wait for the server to answer the connection attempt.
    static constexpr unsigned int kConnectTimeoutSeconds = 10;

    void Open(const QString& connectionString) override;
    bool IsOpen() const override { return mysql_ != nullptr; }
    void Close() override;
    void Execute(const QString& sql) override;
    ResultSet Query(const QString& sql) override;
    QString Escape(const QString& text) const override;

private:
    [[noreturn]] void RaiseLastError() const;
    void Send(const QString& sql);

    st_mysql* mysql_ = nullptr;
};

}  // namespace data
