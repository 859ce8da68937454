#include "support/test_database.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <stdexcept>

#include "startup/configuration.h"

namespace testsupport {
namespace {

QString RequiredEnv(const char* name) {
    const QString value = qEnvironmentVariable(name);
    if (value.isEmpty()) {
        const std::string message = std::string(name) +
                                    " is not set: run the tests through scripts/test, which "
                                    "starts the private MariaDB server";
        ADD_FAILURE() << message;
        throw std::runtime_error(message);
    }
    return value;
}

QString RunRootClient(const QString& socket, const QStringList& args, const QByteArray& input) {
    QProcess p;
    QStringList all{"--no-defaults", "--socket=" + socket,
                    "-uroot", "--batch", "--skip-column-names", "--default-character-set=utf8mb4"};
    all << args;
    p.start("mariadb", all);
    if (!p.waitForStarted()) throw std::runtime_error("cannot start the mariadb client");
    p.write(input);
    p.closeWriteChannel();
    p.waitForFinished(120000);
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        const std::string err = p.readAllStandardError().toStdString();
        ADD_FAILURE() << "mariadb client failed: " << err;
        throw std::runtime_error(err);
    }
    return QString::fromUtf8(p.readAllStandardOutput());
}

QByteArray ReadSource(const QString& relative) {
    QFile f(SourcePath(relative));
    if (!f.open(QIODevice::ReadOnly)) throw std::runtime_error("missing " + relative.toStdString());
    return f.readAll();
}

}  // namespace

QString DbHost() { return RequiredEnv("PEDIDOS_TEST_DB_HOST"); }
QString DbDownHost() { return RequiredEnv("PEDIDOS_TEST_DB_DOWN_HOST"); }
QString DbName() { return QStringLiteral("pt_" PEDIDOS_TEST_PROGRAM); }

QString SourcePath(const QString& relative) {
    return QStringLiteral(PEDIDOS_SOURCE_DIR "/") + relative;
}

QString RequiredSetting(const char* name) { return RequiredEnv(name); }

void ResetDatabaseOn(const QString& socket, const QString& db) {
    RunRootClient(socket, {},
                  QString("DROP DATABASE IF EXISTS `%1`; CREATE DATABASE `%1` CHARACTER SET "
                          "utf8mb4;")
                      .arg(db)
                      .toUtf8());
    QByteArray script = ReadSource("db/schema.sql") + "\n" + ReadSource("db/grants.sql") + "\n" +
                        ReadSource("db/demo.sql");
    RunRootClient(socket, {"--database=" + db}, script);
}

void ResetDatabase() { ResetDatabaseOn(RequiredEnv("PEDIDOS_TEST_DB_SOCKET"), DbName()); }

QStringList RootQueryOn(const QString& socket, const QString& db, const QString& sql) {
    const QString out = RunRootClient(socket, {"--database=" + db}, sql.toUtf8());
    QStringList rows = out.split('\n');
    if (!rows.isEmpty() && rows.last().isEmpty()) rows.removeLast();
    return rows;
}

QStringList RootQuery(const QString& sql) {
    return RootQueryOn(RequiredEnv("PEDIDOS_TEST_DB_SOCKET"), DbName(), sql);
}

QString TestConnectionString() { return startup::BuildConnectionString(DbName(), DbHost()); }

}  // namespace testsupport
