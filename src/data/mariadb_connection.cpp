#include "data/mariadb_connection.h"

#include <mysql.h>

#include <QDate>
#include <QDateTime>
#include <QDebug>
#include <QTime>
#include <mutex>

#include "data/connection_string.h"
#include "data/db_error.h"
#include "data/option_files.h"
#include "data/secure_link.h"
#include "data/session_limits.h"

namespace data {
namespace {

bool IsNumericType(enum_field_types type) {
    switch (type) {
        case MYSQL_TYPE_TINY:
        case MYSQL_TYPE_SHORT:
        case MYSQL_TYPE_LONG:
        case MYSQL_TYPE_INT24:
        case MYSQL_TYPE_LONGLONG:
        case MYSQL_TYPE_FLOAT:
        case MYSQL_TYPE_DOUBLE:
        case MYSQL_TYPE_DECIMAL:
        case MYSQL_TYPE_NEWDECIMAL:
        case MYSQL_TYPE_YEAR:
            return true;
        default:
            return false;
    }
}

// One fetched value in the form the screens compare and convert: BIT(1) as a
// boolean (the server sends the raw byte), numbers as numbers (their text uses
// '.' whatever the regional formats say), dates as dates, the rest as text.
rt::Variant ToVariant(const MYSQL_FIELD& field, const char* data, unsigned long length) {
    if (data == nullptr) return {};
    const QByteArray bytes(data, static_cast<qsizetype>(length));
    if (field.type == MYSQL_TYPE_BIT) {
        unsigned long long bits = 0;
        for (char c : bytes) bits = (bits << 8) | static_cast<unsigned char>(c);
        if (field.length == 1) return rt::Variant(bits != 0);
        return rt::Variant(static_cast<double>(bits));
    }
    if (IsNumericType(field.type)) {
        bool ok = false;
        const double value = bytes.toDouble(&ok);
        if (ok) return rt::Variant(value);
        return rt::Variant(QString::fromUtf8(bytes));
    }
    if (field.type == MYSQL_TYPE_DATE || field.type == MYSQL_TYPE_NEWDATE) {
        const QDate d = QDate::fromString(QString::fromLatin1(bytes), "yyyy-MM-dd");
        if (d.isValid()) return rt::Variant::FromDate(d);
        return {};  // 0000-00-00 and other dates that are no date
    }
    if (field.type == MYSQL_TYPE_DATETIME || field.type == MYSQL_TYPE_TIMESTAMP) {
        const QString text = QString::fromLatin1(bytes).left(19);
        const QDateTime dt = QDateTime::fromString(text, "yyyy-MM-dd HH:mm:ss");
        if (dt.isValid()) return rt::Variant::FromDateTime(dt);
        return {};
    }
    return rt::Variant(QString::fromUtf8(bytes));
}

// The link for the server of `s`: the option files as read once per
// start-up (a technician's change counts from the next start), their
// problems logged when they change.
LinkSettings LinkFor(const ConnectionSettings& s) {
    const LinkSettings link = ChooseLink(s, ReadClientOptionFiles(), CanReadOnDisk);
    static std::mutex mutex;
    static QString logged;
    const QString problems = OptionProblemsText(link);
    std::lock_guard lock(mutex);
    if (problems != logged && !problems.isEmpty())
        qWarning().noquote() << "database:" << QString(problems).replace(QChar(13), QStringLiteral("; "));
    logged = problems;
    return link;
}

void ApplyTls(MYSQL* m, const LinkSettings& link) {
    if (link.tls == TlsMode::Off) return;
    // Asked for, TLS is used whenever the server offers it; the client
    // library only refuses a server without it when verification is on.
    const my_bool on = 1;
    mysql_optionsv(m, MYSQL_OPT_SSL_ENFORCE, &on);
    const auto text = [m](mysql_option option, const QString& value) {
        if (!value.isEmpty()) mysql_optionsv(m, option, value.toLocal8Bit().constData());
    };
    text(MYSQL_OPT_SSL_CA, link.ca);
    text(MYSQL_OPT_SSL_CAPATH, link.capath);
    text(MYSQL_OPT_SSL_CERT, link.cert);
    text(MYSQL_OPT_SSL_KEY, link.key);
    text(MARIADB_OPT_TLS_VERSION, link.tlsVersions);
    const my_bool verify = link.tls == TlsMode::Verified ? 1 : 0;
    mysql_optionsv(m, MYSQL_OPT_SSL_VERIFY_SERVER_CERT, &verify);
}

// What the log says of a connection's link, at each connection.
void LogLink(MYSQL* m, const ConnectionSettings& s, const LinkSettings& link) {
    const char* cipher = mysql_get_ssl_cipher(m);
    const char* version = nullptr;
    mariadb_get_infov(m, MARIADB_CONNECTION_TLS_VERSION, &version);
    QString how;
    if (cipher != nullptr)
        how = QStringLiteral("encrypted (%1, %2; %3)")
                  .arg(QString::fromLatin1(version != nullptr ? version : "TLS"), QString::fromLatin1(cipher),
                       link.tls == TlsMode::Verified ? QStringLiteral("server certificate verified")
                                                     : QStringLiteral("server certificate not verified"));
    else if (link.tls == TlsMode::Off)
        how = QStringLiteral("NOT encrypted (ssl=off in the option files)");
    else
        how = QStringLiteral("NOT encrypted (the server offers no TLS)");
    qInfo().noquote() << "database: connected to" << s.host << "port" << link.port << "as" << link.user
                      << "database" << s.database << "-" << how;
}

// A new client connection to the server of `s`, or DbError with the
// client's reason. A protected link that cannot be made as the options ask
// is refused (kSecureLinkRefused, the cause in Spanish; the library's detail
// in the log) before anything is sent.
MYSQL* Connect(const ConnectionSettings& s, unsigned int commandTimeout) {
    const LinkSettings link = LinkFor(s);
    if (!link.refusal.isEmpty()) {
        qWarning().noquote() << "database: not connecting to" << s.host << "-" << link.refusal;
        throw DbError(kSecureLinkRefused, QStringLiteral("Las opciones de conexión segura no se "
                                                         "pueden usar: ") + link.refusal);
    }
    MYSQL* m = mysql_init(nullptr);
    if (m == nullptr) throw DbError(2008, "Sin memoria para abrir la conexión.");
    const unsigned int connectTimeout = MariaDbConnection::kConnectTimeoutSeconds;
    // Reconnecting behind the program's back would silently drop an open
    // transaction and let a later COMMIT "succeed" with nothing stored.
    const my_bool reconnect = 0;
    mysql_options(m, MYSQL_OPT_CONNECT_TIMEOUT, &connectTimeout);
    mysql_options(m, MYSQL_OPT_READ_TIMEOUT, &commandTimeout);
    mysql_options(m, MYSQL_OPT_WRITE_TIMEOUT, &commandTimeout);
    mysql_options(m, MYSQL_OPT_RECONNECT, &reconnect);
    mysql_options(m, MYSQL_SET_CHARSET_NAME, "utf8mb4");
    ApplyTls(m, link);
    const QByteArray host = s.host.toUtf8(), user = link.user.toUtf8(),
                     password = link.password.toUtf8(), database = s.database.toUtf8();
    // Several statements in one query text, so that statements run together
    // cost one round trip. Every value the terminal puts in a statement is
    // escaped (data::SqlText), so no text can add a statement of its own.
    if (mysql_real_connect(m, host.constData(), user.constData(), password.constData(),
                           database.constData(), link.port, nullptr, CLIENT_MULTI_STATEMENTS) == nullptr) {
        const int number = static_cast<int>(mysql_errno(m));
        const QString description = QString::fromUtf8(mysql_error(m));
        mysql_close(m);
        if (IsSecureLinkFailure(number, description)) {
            qWarning().noquote() << "database: secure link to" << s.host << "port" << link.port
                                 << "refused:" << number << description;
            throw DbError(kSecureLinkRefused, SecureLinkFailure(description, s.host));
        }
        // A link broken during the TLS handshake: the server or the network
        // went away, as when a plain log-in loses its connection.
        throw DbError(number == kClientTlsError && IsBrokenLink(description) ? kServerLost : number, description);
    }
    LogLink(m, s, link);
    return m;
}

}  // namespace

MariaDbConnection::~MariaDbConnection() { Close(); }

void MariaDbConnection::Open(const QString& connectionString) {
    Close();
    ForgetSessionFacts();
    const ConnectionSettings s = SettingsFromConnectionString(connectionString);
    mysql_ = Connect(s, static_cast<unsigned int>(CommandTimeout()));
    EnableKeepAlive(static_cast<int>(mysql_get_socket(mysql_)));
    host_ = s.host;
    // The session limits go out in front of the first statements the
    // connection runs: one round trip less for every connection made.
    sessionPending_ = true;
}

void MariaDbConnection::Close() {
    if (mysql_ != nullptr) {
        mysql_close(mysql_);
        mysql_ = nullptr;
    }
}

int MariaDbConnection::LastErrorNumber() const {
    const int number = static_cast<int>(mysql_errno(mysql_));
    // On a link that is up, a TLS error is the link breaking (the server or
    // the network closed it mid-record): the same loss as on a plain link,
    // with the outcome of the statement in flight unknown.
    return number == kClientTlsError ? kServerLost : number;
}

void MariaDbConnection::RaiseLastError() const {
    throw DbError(LastErrorNumber(), QString::fromUtf8(mysql_error(mysql_)));
}

void MariaDbConnection::Send(const QString& sql) {
    if (mysql_ == nullptr)
        throw DbError(kConnectionClosed,
                      "No se permite la operación cuando el objeto está cerrado.");
    const QByteArray bytes = sql.toUtf8();
    if (mysql_real_query(mysql_, bytes.constData(), static_cast<unsigned long>(bytes.size())) != 0)
        RaiseLastError();
}

void MariaDbConnection::Execute(const QString& sql) {
    if (sessionPending_) {
        RunTogether({sql});
        return;
    }
    Send(sql);
    // A statement that returns rows anyway: read and drop them so the
    // connection is ready for the next one.
    for (;;) {
        if (MYSQL_RES* res = mysql_store_result(mysql_)) mysql_free_result(res);
        else if (mysql_field_count(mysql_) != 0) RaiseLastError();
        const int next = mysql_next_result(mysql_);
        if (next < 0) return;
        if (next > 0) RaiseLastError();
    }
}

ResultSet MariaDbConnection::TakeResult() {
    MYSQL_RES* res = mysql_store_result(mysql_);
    if (res == nullptr) {
        if (mysql_field_count(mysql_) != 0) RaiseLastError();
        return ResultSet(QStringList(), {});  // a statement without rows
    }
    const unsigned int fieldCount = mysql_num_fields(res);
    const MYSQL_FIELD* fields = mysql_fetch_fields(res);
    QStringList columns;
    for (unsigned int i = 0; i < fieldCount; ++i) columns << QString::fromUtf8(fields[i].name);
    std::vector<std::vector<rt::Variant>> rows;
    rows.reserve(static_cast<size_t>(mysql_num_rows(res)));
    while (MYSQL_ROW row = mysql_fetch_row(res)) {
        const unsigned long* lengths = mysql_fetch_lengths(res);
        std::vector<rt::Variant> values;
        values.reserve(fieldCount);
        for (unsigned int i = 0; i < fieldCount; ++i)
            values.push_back(ToVariant(fields[i], row[i], lengths[i]));
        rows.push_back(std::move(values));
    }
    mysql_free_result(res);
    return ResultSet(std::move(columns), std::move(rows));
}

ResultSet MariaDbConnection::Query(const QString& sql) {
    if (sessionPending_) return std::move(RunTogether({sql}).front());
    Send(sql);
    ResultSet rs = TakeResult();
    // Answers beyond the first (a text with more than one statement) are
    // read and dropped, so the connection is ready for the next query.
    while (mysql_more_results(mysql_)) {
        if (mysql_next_result(mysql_) > 0) RaiseLastError();
        if (MYSQL_RES* res = mysql_store_result(mysql_)) mysql_free_result(res);
    }
    return rs;
}

std::vector<ResultSet> MariaDbConnection::RunTogether(const QStringList& statements) {
    if (!sessionPending_) return RunText(statements);
    sessionPending_ = false;
    try {
        std::vector<ResultSet> answers =
            RunText(QStringList{SessionSettingsStatement(sessionSettings_)} + statements);
        answers.erase(answers.begin());
        return answers;
    } catch (const BatchError& e) {
        if (e.failedAt() > 0) {
            std::vector<ResultSet> answered(e.answered().begin() + 1, e.answered().end());
            throw BatchError(e.number(), e.description(), e.failedAt() - 1, std::move(answered));
        }
        if (IsLostConnection(e.number())) {
            qWarning().noquote() << "database session on" << host_ << ": lost while setting it up:"
                                 << e.number() << e.description();
            throw BatchError(e.number(), e.description(), 0, {});
        }
        QStringList notSet;
        try {
            notSet = ApplyEachSessionSetting(*this, sessionSettings_, e);
        } catch (const DbError& lost) {
            throw BatchError(lost.number(), lost.description(), 0, {});
        }
        if (!notSet.isEmpty())
            qWarning().noquote() << "database session on" << host_ << ": left as the server has"
                                 << "them:" << notSet.join(QStringLiteral(", "))
                                 << "- a terminal that vanishes in the middle of a send may hold"
                                 << "the ticket counter longer";
        return RunText(statements);
    }
}

std::vector<ResultSet> MariaDbConnection::RunText(const QStringList& statements) {
    std::vector<ResultSet> answers;
    if (statements.isEmpty()) return answers;
    const QString text = OneQueryText(statements);
    const auto fail = [&](int number, const QString& description) {
        const int at = static_cast<int>(answers.size());
        throw BatchError(number, description, at, std::move(answers));
    };
    try {
        Send(text);
    } catch (const DbError& e) {
        fail(e.number(), e.description());
    }
    for (;;) {
        try {
            answers.push_back(TakeResult());
        } catch (const DbError& e) {
            fail(e.number(), e.description());
        }
        const int next = mysql_next_result(mysql_);
        if (next < 0) break;
        if (next > 0)
            fail(LastErrorNumber(), QString::fromUtf8(mysql_error(mysql_)));
    }
    if (answers.size() != static_cast<size_t>(statements.size()))
        qWarning().noquote() << "database:" << statements.size() << "statements run together gave"
                             << answers.size() << "answers";
    return answers;
}

QString MariaDbConnection::Escape(const QString& text) const {
    const QByteArray in = text.toUtf8();
    QByteArray out(in.size() * 2 + 1, '\0');
    unsigned long n;
    if (mysql_ != nullptr)
        n = mysql_real_escape_string(mysql_, out.data(), in.constData(),
                                     static_cast<unsigned long>(in.size()));
    else
        n = mysql_escape_string(out.data(), in.constData(), static_cast<unsigned long>(in.size()));
    out.truncate(static_cast<qsizetype>(n));
    return QString::fromUtf8(out);
}

}  // namespace data
