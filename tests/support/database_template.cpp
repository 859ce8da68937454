#include "support/database_template.h"

#include <gtest/gtest.h>
#include <mysql.h>

#include <QCryptographicHash>
#include <QFile>
#include <QRegularExpression>
#include <map>
#include <optional>
#include <stdexcept>
#include <vector>

namespace testsupport {
namespace {

QByteArray ReadSource(const QString& relative) {
    QFile f(SourcePath(relative));
    if (!f.open(QIODevice::ReadOnly)) throw std::runtime_error("missing " + relative.toStdString());
    return f.readAll();
}

// One connection as root over the server's local socket, for the resets.
class RootConnection {
public:
    explicit RootConnection(const QString& socket) : mysql_(mysql_init(nullptr)) {
        if (!mysql_) {
            ADD_FAILURE() << "mysql_init failed";
            throw std::runtime_error("mysql_init failed");
        }
        const QByteArray s = socket.toLocal8Bit();
        if (!mysql_real_connect(mysql_, nullptr, "root", nullptr, nullptr, 0, s.constData(),
                                CLIENT_MULTI_STATEMENTS)) {
            Fail("connect to " + socket.toStdString());
        }
        mysql_set_character_set(mysql_, "utf8mb4");
        Exec("SET SESSION foreign_key_checks = 0");
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
// statements make them, their rows, and the installation's grants (the
// user is created if missing; rights already given stay, as with the script).
void BuildFromTemplate(RootConnection& c, const QString& tmpl,
                       const QString& db, Installation i) {
    c.Exec("DROP DATABASE IF EXISTS " + Quoted(db) + "; CREATE DATABASE " + Quoted(db) +
           " CHARACTER SET utf8mb4");
    const auto tables = TableTypes(c, tmpl);
    for (const auto& [t, type] : tables) {
        c.Exec("USE " + Quoted(db) + "; " + CreateText(c, tmpl, t));
        c.Exec("INSERT INTO " + Quoted(db) + "." + Quoted(t) + " SELECT * FROM " + Quoted(tmpl) +
               "." + Quoted(t));
    }
    c.Exec("USE " + Quoted(db) + "; " + QString::fromUtf8(GrantsScript(i)));
}

}  // namespace

void ExecAsRoot(const QString& socket, const QString& db, const QString& sql) {
    RootConnection c(socket);
    c.Exec("USE " + Quoted(db) + "; " + sql);
}

void ResetFromTemplate(const QString& socket, const QString& db, Installation i) {
    const QString tmpl = TemplateName(i);
    RootConnection c(socket);
    EnsureTemplate(c, socket, i);
    auto changed = ChangedTables(c, tmpl, db);
    if (changed) {
        for (const QString& t : *changed) CopyBack(c, tmpl, db, t);
        changed = ChangedTables(c, tmpl, db);
        if (changed && changed->empty()) return;
    }
    BuildFromTemplate(c, tmpl, db, i);
    changed = ChangedTables(c, tmpl, db);
    if (!changed || !changed->empty()) {
        // The copy differs from the template: built from the script, as before.
        ResetDatabaseOn(socket, db, i);
    }
}

}  // namespace testsupport
