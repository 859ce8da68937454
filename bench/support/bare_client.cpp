#include "support/bare_client.h"

#include <mysql.h>

#include "data/connection.h"
#include "data/connection_string.h"
#include "support/bench_env.h"

namespace bench {

BareClient::~BareClient() { Close(); }

void BareClient::Close() {
    if (mysql_) mysql_close(mysql_);
    mysql_ = nullptr;
}

void BareClient::Open(const char* host, const char* user, const char* password, const char* db,
                      unsigned int port, const char* socket, unsigned long flags) {
    Close();
    MYSQL* m = mysql_init(nullptr);
    const my_bool reconnect = 0;
    const unsigned int connectTimeout = 10, timeout = 40;
    mysql_options(m, MYSQL_OPT_CONNECT_TIMEOUT, &connectTimeout);
    mysql_options(m, MYSQL_OPT_READ_TIMEOUT, &timeout);
    mysql_options(m, MYSQL_OPT_WRITE_TIMEOUT, &timeout);
    mysql_options(m, MYSQL_OPT_RECONNECT, &reconnect);
    mysql_options(m, MYSQL_SET_CHARSET_NAME, "utf8mb4");
    // Connector/C 3.3: TLS when the server offers it, plain text otherwise.
    const my_bool tls = tlsWhenOffered_ ? 1 : 0;
    mysql_optionsv(m, MYSQL_OPT_SSL_ENFORCE, &tls);
    if (!mysql_real_connect(m, host, user, password, db, port, socket, flags)) {
        const BareError e(mysql_errno(m), mysql_error(m));
        mysql_close(m);
        throw e;
    }
    mysql_ = m;
}

void BareClient::Connect(const QString& connectionString) {
    const data::ConnectionSettings s = data::SettingsFromConnectionString(connectionString);
    Open(s.host.toUtf8().constData(), s.user.toUtf8().constData(), s.password.toUtf8().constData(),
         s.database.toUtf8().constData(), s.port, nullptr, CLIENT_MULTI_STATEMENTS);
}

void BareClient::ConnectRoot(const QString& socket, const QString& database) {
    Open("localhost", "root", nullptr, database.toUtf8().constData(), 0, socket.toUtf8().constData(),
         CLIENT_MULTI_STATEMENTS);
}

QString BareClient::Cipher() const {
    const char* cipher = mysql_ ? mysql_get_ssl_cipher(mysql_) : nullptr;
    return QString::fromLatin1(cipher ? cipher : "");
}

void BareClient::Raise() const {
    if (!mysql_) throw BareError(2006, "not connected");
    throw BareError(mysql_errno(mysql_), mysql_error(mysql_));
}

void BareClient::Run(const QString& sql) {
    if (!mysql_) Raise();
    const QByteArray q = sql.toUtf8();
    if (mysql_real_query(mysql_, q.constData(), static_cast<unsigned long>(q.size())) != 0) Raise();
    do {
        if (MYSQL_RES* res = mysql_store_result(mysql_)) {
            while (mysql_fetch_row(res)) {
            }
            mysql_free_result(res);
        } else if (mysql_field_count(mysql_) != 0) {
            Raise();
        }
    } while (mysql_next_result(mysql_) == 0);
}

QStringList BareClient::Rows(const QString& sql) {
    return RowsTogether({sql}).front();
}

std::vector<QStringList> BareClient::RowsTogether(const QStringList& statements) {
    if (!mysql_) Raise();
    const QByteArray q = data::OneQueryText(statements).toUtf8();
    if (mysql_real_query(mysql_, q.constData(), static_cast<unsigned long>(q.size())) != 0) Raise();
    std::vector<QStringList> answers;
    for (;;) {
        QStringList rows;
        if (MYSQL_RES* res = mysql_store_result(mysql_)) {
            const unsigned int n = mysql_num_fields(res);
            while (MYSQL_ROW row = mysql_fetch_row(res)) {
                QStringList cells;
                for (unsigned int i = 0; i < n; ++i) cells << QString::fromUtf8(row[i] ? row[i] : "NULL");
                rows << cells.join(QLatin1Char('\t'));
            }
            mysql_free_result(res);
        } else if (mysql_field_count(mysql_) != 0) {
            Raise();
        }
        answers.push_back(rows);
        const int next = mysql_next_result(mysql_);
        if (next < 0) return answers;
        if (next > 0) Raise();
    }
}

QString BareClient::Value(const QString& sql) {
    const QStringList rows = Rows(sql);
    return rows.isEmpty() ? QString() : rows.first().section(QLatin1Char('\t'), 0, 0);
}

QString BareClient::Escape(const QString& text) const {
    const QByteArray in = text.toUtf8();
    QByteArray out(in.size() * 2 + 1, '\0');
    const unsigned long n = mysql_real_escape_string(mysql_, out.data(), in.constData(),
                                                     static_cast<unsigned long>(in.size()));
    out.truncate(static_cast<qsizetype>(n));
    return QString::fromUtf8(out);
}

void ConnectAsRoot(BareClient& c) { c.ConnectRoot(DbSocket(), DbName()); }

void ConnectRootOn(BareClient& c, const QString& socket) {
    c.ConnectRoot(socket, DbName());
    if (c.Rows(QStringLiteral("show variables like 'wsrep_on'")).value(0).endsWith(QStringLiteral("ON")))
        c.Run(QStringLiteral("SET SESSION wsrep_sync_wait=1"));
}

}  // namespace bench
