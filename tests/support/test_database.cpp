#include "support/test_database.h"

#include <gtest/gtest.h>

#include <mysql.h>

#include <QCryptographicHash>
#include <QFile>
#include <QProcess>
#include <cerrno>
#include <QRegularExpression>
#include <map>
#include <optional>
#include <memory>
#include <stdexcept>
#include <vector>

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

namespace {

// One connection as root over the server's local socket, for the resets.
class RootConnection {
public:
    explicit RootConnection(const QString& socket) : mysql_(mysql_init(nullptr)) {
        if (!mysql_) Fail("mysql_init");
        const QByteArray s = socket.toLocal8Bit();
        if (!mysql_real_connect(mysql_, nullptr, "root", nullptr, nullptr, 0, s.constData(),
                                CLIENT_MULTI_STATEMENTS)) {
            Fail("connect to " + socket.toStdString());
        }
        mysql_set_character_set(mysql_, "utf8mb4");
        Exec("SET SESSION group_concat_max_len = 1048576, SESSION foreign_key_checks = 0");
    }
    ~RootConnection() { mysql_close(mysql_); }
    RootConnection(const RootConnection&) = delete;
    RootConnection& operator=(const RootConnection&) = delete;

    // Runs one or more statements; the rows of every result, columns in order
    // (NULL as an empty string).
    std::vector<std::vector<QString>> Rows(const QString& sql) {
        const QByteArray text = sql.toUtf8();
        if (mysql_real_query(mysql_, text.constData(), static_cast<unsigned long>(text.size())) != 0) {
            Fail(sql.toStdString());
        }
        std::vector<std::vector<QString>> rows;
        for (;;) {
            if (MYSQL_RES* res = mysql_store_result(mysql_)) {
                const unsigned n = mysql_num_fields(res);
                while (MYSQL_ROW row = mysql_fetch_row(res)) {
                    const unsigned long* lengths = mysql_fetch_lengths(res);
                    std::vector<QString> r;
                    for (unsigned k = 0; k < n; ++k) {
                        r.push_back(row[k] ? QString::fromUtf8(row[k], static_cast<qsizetype>(lengths[k]))
                                           : QString());
                    }
                    rows.push_back(std::move(r));
                }
                mysql_free_result(res);
            } else if (mysql_field_count(mysql_) != 0) {
                Fail(sql.toStdString());
            }
            const int next = mysql_next_result(mysql_);
            if (next > 0) Fail(sql.toStdString());
            if (next < 0) break;
        }
        return rows;
    }
    void Exec(const QString& sql) { Rows(sql); }
    QString Value(const QString& sql) {
        const auto rows = Rows(sql);
        return rows.empty() || rows[0].empty() ? QString() : rows[0][0];
    }

private:
    [[noreturn]] void Fail(const std::string& what) {
        const std::string message = "root connection: " + what + ": " + mysql_error(mysql_);
        ADD_FAILURE() << message;
        throw std::runtime_error(message);
    }
    MYSQL* mysql_;
};

QString Quoted(const QString& name) { return "`" + name + "`"; }

// The template database of installation `i`, one per server.
QString TemplateName(Installation i) {
    switch (i) {
        case Installation::Ours: return "pt_template_ours";
        case Installation::OursBare: return "pt_template_bare";
        case Installation::Theirs: return "pt_template_theirs";
    }
    return "pt_template";
}

// The grants part of installation `i`'s script (they name the tables of the
// default database, so they are given again for every database built).
QByteArray GrantsScript(Installation i) {
    if (i == Installation::Theirs) return ReadSource("tests/support/installation/grants.sql");
    QByteArray script = ReadSource("db/grants.sql");
    if (i == Installation::Ours) {
        // Its grant on envios, after the table exists (the whole file: CREATE
        // TABLE IF NOT EXISTS leaves the table as it is).
        script += "\n" + ReadSource("db/optional/envios.sql");
    }
    return script;
}

// Builds the template of installation `i` from its script unless it holds
// the same script already; several test programs may ask at once.
void EnsureTemplate(RootConnection& c, const QString& socket, Installation i) {
    static bool checked[3] = {false, false, false};
    if (checked[static_cast<int>(i)]) return;
    const QString name = TemplateName(i);
    const QByteArray script = InstallationScript(i);
    const QString hash =
        QString::fromLatin1(QCryptographicHash::hash(script, QCryptographicHash::Sha1).toHex());
    if (c.Value("SELECT GET_LOCK('pedidos_test_templates', 600)") != "1") {
        ADD_FAILURE() << "no lock on the test templates";
        throw std::runtime_error("no lock on the test templates");
    }
    try {
        c.Exec("CREATE DATABASE IF NOT EXISTS pt_templates; CREATE TABLE IF NOT EXISTS "
               "pt_templates.built (name VARCHAR(64) PRIMARY KEY, script CHAR(40) NOT NULL)");
        if (c.Value("SELECT script FROM pt_templates.built WHERE name = '" + name + "'") != hash) {
            c.Exec("DELETE FROM pt_templates.built WHERE name = '" + name + "'");
            ResetDatabaseOn(socket, name, i);
            c.Exec("INSERT INTO pt_templates.built VALUES ('" + name + "', '" + hash + "')");
        }
    } catch (...) {
        c.Exec("DO RELEASE_LOCK('pedidos_test_templates')");
        throw;
    }
    c.Exec("DO RELEASE_LOCK('pedidos_test_templates')");
    checked[static_cast<int>(i)] = true;
}

// A schema's base tables (and views, whose presence alone counts), by name.
std::map<QString, QString> TableTypes(RootConnection& c, const QString& db) {
    std::map<QString, QString> tables;
    for (const auto& r : c.Rows("SELECT table_name, table_type FROM information_schema.tables "
                                "WHERE table_schema = '" + db + "'")) {
        tables[r[0].toLower()] = r[1];
    }
    return tables;
}

QString CreateText(RootConnection& c, const QString& db, const QString& table) {
    const auto rows = c.Rows("SHOW CREATE TABLE " + Quoted(db) + "." + Quoted(table));
    return rows.empty() || rows[0].size() < 2 ? QString() : rows[0][1];
}

// The statement text without its AUTO_INCREMENT=N, and N (empty when absent).
QString WithoutCounter(QString text, QString* counter) {
    static const QRegularExpression re(" AUTO_INCREMENT=([0-9]+)");
    const QRegularExpressionMatch m = re.match(text);
    if (counter) *counter = m.hasMatch() ? m.captured(1) : QString();
    return text.remove(re);
}

std::map<QString, QString> Checksums(RootConnection& c, const QString& db,
                                     const std::map<QString, QString>& tables) {
    QStringList names;
    for (const auto& [t, type] : tables) {
        if (type == "BASE TABLE") names << Quoted(db) + "." + Quoted(t);
    }
    std::map<QString, QString> sums;
    if (names.isEmpty()) return sums;
    for (const auto& r : c.Rows("CHECKSUM TABLE " + names.join(", ") + " EXTENDED")) {
        sums[r[0].section('.', 1).toLower()] = r[1];
    }
    return sums;
}

// Tables of `db` whose rows or counter differ from the template's, or
// nullopt when the two differ in anything else (tables, columns, keys).
std::optional<std::vector<QString>> ChangedTables(RootConnection& c, const QString& tmpl,
                                                  const QString& db) {
    const auto tables = TableTypes(c, tmpl);
    if (tables.empty() || TableTypes(c, db) != tables) return std::nullopt;
    std::vector<QString> changed;
    const auto sumsT = Checksums(c, tmpl, tables);
    const auto sumsD = Checksums(c, db, tables);
    for (const auto& [t, type] : tables) {
        if (type != "BASE TABLE") return std::nullopt;
        QString counterT, counterD;
        const QString createT = WithoutCounter(CreateText(c, tmpl, t), &counterT);
        const QString createD = WithoutCounter(CreateText(c, db, t), &counterD);
        if (createT.isEmpty() || createT != createD) return std::nullopt;
        const auto sT = sumsT.find(t);
        const auto sD = sumsD.find(t);
        if (sT == sumsT.end() || sD == sumsD.end() || sT->second.isEmpty()) return std::nullopt;
        if (counterT != counterD || sT->second != sD->second) changed.push_back(t);
    }
    return changed;
}

// Copies the template's rows and counter into `table` of `db`.
void CopyBack(RootConnection& c, const QString& tmpl, const QString& db, const QString& table) {
    const QString d = Quoted(db) + "." + Quoted(table);
    QString counter;
    WithoutCounter(CreateText(c, tmpl, table), &counter);
    c.Exec("DELETE FROM " + d + "; INSERT INTO " + d + " SELECT * FROM " + Quoted(tmpl) + "." +
           Quoted(table) + "; ALTER TABLE " + d + " AUTO_INCREMENT = " +
           (counter.isEmpty() ? QString("1") : counter));
}

// Builds `db` as a copy of the template: its tables as the template's
// statements make them, their rows, and the installation's grants.
void BuildFromTemplate(RootConnection& c, const QString& socket, const QString& tmpl,
                       const QString& db, Installation i) {
    c.Exec("DROP DATABASE IF EXISTS " + Quoted(db) + "; CREATE DATABASE " + Quoted(db) +
           " CHARACTER SET utf8mb4");
    const auto tables = TableTypes(c, tmpl);
    for (const auto& [t, type] : tables) {
        c.Exec("USE " + Quoted(db) + "; " + CreateText(c, tmpl, t));
        c.Exec("INSERT INTO " + Quoted(db) + "." + Quoted(t) + " SELECT * FROM " + Quoted(tmpl) +
               "." + Quoted(t));
    }
    RunRootClient(socket, {"--database=" + db}, GrantsScript(i));
}

}  // namespace

void EmptyOrders(int counter) {
    QString sql = QString("delete from Factura_r; delete from D_Fact_r; delete from comanda;"
                          " update mantenimiento set control_Comanda='%1';")
                      .arg(counter);
    if (Current() == Installation::Ours) sql += " delete from envios;";
    RootConnection c(RequiredEnv("PEDIDOS_TEST_DB_SOCKET"));
    c.Exec("USE " + Quoted(DbName()) + "; " + sql);
}

void ResetDatabase() {
    const QString socket = RequiredEnv("PEDIDOS_TEST_DB_SOCKET");
    const Installation i = Current();
    const QString db = DbName();
    const QString tmpl = TemplateName(i);
    RootConnection c(socket);
    EnsureTemplate(c, socket, i);
    auto changed = ChangedTables(c, tmpl, db);
    if (changed) {
        for (const QString& t : *changed) CopyBack(c, tmpl, db, t);
        changed = ChangedTables(c, tmpl, db);
        if (changed && changed->empty()) return;
    }
    BuildFromTemplate(c, socket, tmpl, db, i);
    changed = ChangedTables(c, tmpl, db);
    if (!changed || !changed->empty()) {
        // The copy differs from the template: built from the script, as before.
        ResetDatabaseOn(socket, db, i);
    }
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

QString TestConnectionString() { return startup::BuildConnectionString(DbName(), DbHost()); }

}  // namespace testsupport
