#include "support/test_database.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <cerrno>
#include <stdexcept>

#include "runtime/configuration.h"
#include "support/database_template.h"

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

Installation& Current() {
    static Installation current = Installation::Ours;
    return current;
}

}  // namespace

std::string InstallationName(Installation i) {
    switch (i) {
        case Installation::Ours: return "Ours";
        case Installation::OursBare: return "OursBare";
        case Installation::Theirs: return "Theirs";
    }
    return "?";
}

QByteArray InstallationScript(Installation i) {
    QByteArray script;
    const auto add = [&script](const char* file) { script += ReadSource(file) + "\n"; };
    if (i == Installation::Theirs) {
        add("tests/support/installation/schema.sql");
        add("tests/support/installation/grants.sql");
    } else {
        add("db/schema.sql");
        add("db/grants.sql");
        if (i == Installation::Ours) add("db/optional/envios.sql");
    }
    add("db/demo.sql");
    return script;
}

void UseInstallation(Installation i) {
    static bool built[3] = {false, false, false};
    Current() = i;
    bool& done = built[static_cast<int>(i)];
    if (i != Installation::Ours && !done) ResetDatabase();
    done = true;
}

QString DbHost() { return RequiredEnv("PEDIDOS_TEST_DB_HOST"); }
QString DbDownHost() { return RequiredEnv("PEDIDOS_TEST_DB_DOWN_HOST"); }

QString ProgramName() {
    // The executable's own name (test_sending, test_touch, ...) without the
    // "test_" in front: one database per test program, as the CTest resource
    // locks (db_<name>) assume.
    static const QString name = [] {
        QString n = QString::fromLocal8Bit(program_invocation_short_name);
        if (n.startsWith(QLatin1String("test_"))) n = n.mid(5);
        return n;
    }();
    return name;
}

QString DbName() {
    const QString base = "pt_" + ProgramName();
    switch (Current()) {
        case Installation::Ours: return base;
        case Installation::OursBare: return base + "_bare";
        case Installation::Theirs: return base + "_inst";
    }
    return base;
}

QString SourcePath(const QString& relative) {
    return QStringLiteral(PEDIDOS_SOURCE_DIR "/") + relative;
}

QString RequiredSetting(const char* name) { return RequiredEnv(name); }

void ResetDatabaseOn(const QString& socket, const QString& db, Installation i) {
    RunRootClient(socket, {},
                  QString("DROP DATABASE IF EXISTS `%1`; CREATE DATABASE `%1` CHARACTER SET "
                          "utf8mb4;")
                      .arg(db)
                      .toUtf8());
    RunRootClient(socket, {"--database=" + db}, InstallationScript(i));
}

void EmptyOrders(int counter) {
    QString sql = QString("delete from Factura_r; delete from D_Fact_r; delete from comanda;"
                          " update mantenimiento set control_Comanda='%1';")
                      .arg(counter);
    if (Current() == Installation::Ours) sql += " delete from envios;";
    ExecAsRoot(RequiredEnv("PEDIDOS_TEST_DB_SOCKET"), DbName(), sql);
}

void ResetDatabase() {
    ResetFromTemplate(RequiredEnv("PEDIDOS_TEST_DB_SOCKET"), DbName(), Current());
}

QStringList RootQueryOn(const QString& socket, const QString& db, const QString& sql) {
    const QString out = RunRootClient(socket, {"--database=" + db}, sql.toUtf8());
    QStringList rows = out.split('\n');
    if (!rows.isEmpty() && rows.last().isEmpty()) rows.removeLast();
    return rows;
}

QStringList RootQuery(const QString& sql) {
    return RootQueryOn(RequiredEnv("PEDIDOS_TEST_DB_SOCKET"), DbName(), sql);
}

QString TestConnectionString() { return rt::BuildConnectionString(DbName(), DbHost()); }

}  // namespace testsupport
