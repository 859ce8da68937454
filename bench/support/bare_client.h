#pragma once
// The floor of the database figures: MariaDB Connector/C used bare, with the
// options the terminal's own client sets (utf8mb4, no automatic reconnect),
// and nothing in between: no result-set object, no value conversion.
#include <QString>
#include <QStringList>
#include <vector>
#include <stdexcept>

struct st_mysql;

namespace bench {

struct BareError : std::runtime_error {
    BareError(unsigned int n, const std::string& what) : std::runtime_error(what), number(n) {}
    unsigned int number;
};

class BareClient {
public:
    BareClient() = default;
    ~BareClient();
    BareClient(const BareClient&) = delete;
    BareClient& operator=(const BareClient&) = delete;

    // As the terminal's user over TCP, from a connection string (several
    // statements may go in one text, as the terminal sends them).
    void Connect(const QString& connectionString);
    // Connections opened from now on ask for TLS when the server offers it
    // and go on in plain text when it does not (no certificate checked), as
    // the terminal does.
    void SetTlsWhenOffered(bool on) { tlsWhenOffered_ = on; }
    // The session's TLS cipher; empty for a plain (or no) connection.
    QString Cipher() const;
    // As root over the server's local socket (checks and clean-up; several
    // statements may go in one text).
    void ConnectRoot(const QString& socket, const QString& database);
    void Close();
    bool IsOpen() const { return mysql_ != nullptr; }

    // Runs a statement and fetches (and drops) any rows: what a client must
    // do at the least for each statement. Raises BareError.
    void Run(const QString& sql);
    // The rows of a query, columns joined by tabs. Raises BareError.
    QStringList Rows(const QString& sql);
    // Statements sent in one text, one round trip: the rows of each, in
    // turn. Raises BareError at the first that fails.
    std::vector<QStringList> RowsTogether(const QStringList& statements);
    // The first column of the first row ("" without rows).
    QString Value(const QString& sql);
    QString Escape(const QString& text) const;

private:
    void Open(const char* host, const char* user, const char* password, const char* db,
              unsigned int port, const char* socket, unsigned long flags);
    [[noreturn]] void Raise() const;

    st_mysql* mysql_ = nullptr;
    bool tlsWhenOffered_ = false;
};

// Root's client on the bench database (PEDIDOS_BENCH_DB_SOCKET).
void ConnectAsRoot(BareClient& c);
// Root's client on the bench database of the server (or cluster node) of
// the local socket `socket`. On a cluster node its reads wait until the node
// has applied every write the cluster committed before them.
void ConnectRootOn(BareClient& c, const QString& socket);

}  // namespace bench
