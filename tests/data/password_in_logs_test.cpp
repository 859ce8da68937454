// No password reaches the log: the paths that log around a connection (a
// password refused, a server that is down, a connection lost and made
// again, and the box the waiter is shown) run against the real server with
// every message captured, and no password appears in any.
#include <gtest/gtest.h>

#include <QMutex>
#include <QStringList>

#include "data/connection_string.h"
#include "data/mariadb_connection.h"
#include "data/module1.h"
#include "data/reconnecting.h"
#include "runtime/configuration.h"
#include "support/scripted_dialogs.h"
#include "support/test_database.h"
#include "widgets/error_box.h"

namespace {

// Every message logged while it lives, whatever its level.
class CapturedLog {
public:
    CapturedLog() {
        Lines().clear();
        previous_ = qInstallMessageHandler(&CapturedLog::Handle);
    }
    ~CapturedLog() { qInstallMessageHandler(previous_); }
    static QStringList Taken() {
        const QMutexLocker lock(&Mutex());
        return Lines();
    }

private:
    static void Handle(QtMsgType, const QMessageLogContext&, const QString& message) {
        const QMutexLocker lock(&Mutex());
        Lines() << message;
    }
    static QStringList& Lines() {
        static QStringList lines;
        return lines;
    }
    static QMutex& Mutex() {
        static QMutex mutex;
        return mutex;
    }
    QtMessageHandler previous_ = nullptr;
};

// A user of the test server with a password found nowhere else.
constexpr const char* kUser = "pt_log_check";
constexpr const char* kPassword = "Kq9-zorro-violeta-731";
constexpr const char* kWrongPassword = "Wm4-tortuga-ambar-208";

QString ConnectionStringFor(const QString& host, const QString& password) {
    return QString("DATABASE=%1;SERVER=%2;UID=%3;PWD=%4;PORT=3306;")
        .arg(testsupport::DbName(), host, QString::fromLatin1(kUser), password);
}

class PasswordInLogs : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        testsupport::ResetDatabase();
        testsupport::RootQuery(QString("create or replace user '%1'@'%' identified by '%2'")
                                   .arg(QString::fromLatin1(kUser), QString::fromLatin1(kPassword)));
        testsupport::RootQuery(
            QString("grant select on `%1`.* to '%2'@'%'").arg(testsupport::DbName(), QString::fromLatin1(kUser)));
    }
    static void TearDownTestSuite() {
        testsupport::RootQuery(QString("drop user if exists '%1'@'%'").arg(QString::fromLatin1(kUser)));
    }
};

TEST_F(PasswordInLogs, NoPathAroundAConnectionLogsAPassword) {
    const QString builtIn =
        data::SettingsFromConnectionString(rt::BuildConnectionString("x", "y")).password;
    ASSERT_FALSE(builtIn.isEmpty());
    const QString right = ConnectionStringFor(testsupport::DbHost(), kPassword);

    const struct {
        const char* what;
        QString connectionString;
        // Runs the path on `c`; what it leaves in the log must name `host`.
        std::function<void(data::MariaDbConnection& c, const QString& cs)> run;
        QString host;
    } cases[] = {
        {"a password refused", ConnectionStringFor(testsupport::DbHost(), kWrongPassword),
         [](data::MariaDbConnection& c, const QString& cs) { data::QueryReconnecting(c, cs, "select 1"); },
         testsupport::DbHost()},
        {"the server down, with the built-in password",
         rt::BuildConnectionString(testsupport::DbName(), testsupport::DbDownHost()),
         [](data::MariaDbConnection& c, const QString& cs) { data::QueryReconnecting(c, cs, "select 1"); },
         testsupport::DbDownHost()},
        {"the server down, with another password", ConnectionStringFor(testsupport::DbDownHost(), kPassword),
         [](data::MariaDbConnection& c, const QString& cs) { data::EnsureOpen(c, cs); },
         testsupport::DbDownHost()},
        {"a connection killed and made again", right,
         [](data::MariaDbConnection& c, const QString& cs) {
             c.Open(cs);
             const QString id = c.Query("select connection_id()").Field(0).ToText();
             testsupport::RootQuery("kill " + id);
             ASSERT_EQ(data::QueryReconnecting(c, cs, "select 7 as n").Field("n").ToText(), "7");
         },
         testsupport::DbHost()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QStringList log;
        {
            const CapturedLog captured;
            testsupport::ScriptedDialogs boxes;
            data::MariaDbConnection conn;
            conn.SetCommandTimeout(10);
            // The screens' guard: it logs the error and shows the waiter a box,
            // whose text is checked with the log.
            dialogs::Guarded([&] { c.run(conn, c.connectionString); });
            log = CapturedLog::Taken();
            for (const auto& box : boxes.shown) log << box.text;
        }
        const QString all = log.join('\n');
        ASSERT_TRUE(all.contains(c.host)) << "the path logged nothing about its server:\n" << all.toStdString();
        for (const QString& password : {QString::fromLatin1(kPassword), QString::fromLatin1(kWrongPassword), builtIn})
            EXPECT_FALSE(all.contains(password)) << all.toStdString();
    }
}

}  // namespace
