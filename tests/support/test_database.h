#pragma once
// The private MariaDB server that scripts/test starts for the tests. Each test
// program has a database of its own per installation, rebuilt from its schema
// and grants and db/demo.sql. Without the server the tests fail loudly; they
// never skip.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <ostream>
#include <string>

namespace testsupport {

// The databases a terminal may join.
enum class Installation {
    // db/schema.sql and grants.sql with the optional send record applied.
    Ours,
    // db/schema.sql and grants.sql alone: the terminal's user has only the
    // rights the order statements need (it may not read comanda).
    OursBare,
    // A restaurant's own tables (tests/support/installation/): other column
    // types and widths, every right, no send record.
    Theirs,
};
// "Ours", "OursBare", "Theirs": for parameterised test names.
std::string InstallationName(Installation i);
// How gtest prints the parameter.
inline void PrintTo(Installation i, std::ostream* os) { *os << InstallationName(i); }
struct InstallationParamName {
    template <typename Info>
    std::string operator()(const Info& info) const {
        return InstallationName(info.param);
    }
};
// The SQL that builds installation `i` with the demo data in an empty database.
QByteArray InstallationScript(Installation i);

// The installation that DbName, ResetDatabase, RootQuery and
// TestConnectionString use from now on in this test program (Ours unless
// changed); its database is rebuilt the first time it is chosen.
void UseInstallation(Installation i);

// Address of the test server (PEDIDOS_TEST_DB_HOST).
QString DbHost();
// An address where no server listens (PEDIDOS_TEST_DB_DOWN_HOST).
QString DbDownHost();
// The test program's name: its executable's name without "test_" (sending, touch, ...).
QString ProgramName();
// The database of this test program.
QString DbName();
// Puts this program's database back exactly as a fresh build of its
// installation with the demo data (tables, rows, auto-increment counters,
// grants). The installation is built once per server into a template
// database (pt_template_*); a program's database is built once from it and
// later only has the tables whose rows or counters changed copied back from
// the template, all through one connection as root. Anything else changed
// (a table added, dropped or altered) rebuilds the database as the first time.
void ResetDatabase();
// Runs SQL as root on this program's database; the rows, columns joined by tabs.
QStringList RootQuery(const QString& sql);
// Drops and rebuilds database `db` with the demo data on the server
// listening on `socket`, through the mariadb client (the cluster tests).
void ResetDatabaseOn(const QString& socket, const QString& db,
                     Installation i = Installation::Ours);
// Deletes every order row (and send record, where there is the table) and
// sets the ticket counter to `counter`.
void EmptyOrders(int counter);
QStringList RootQueryOn(const QString& socket, const QString& db, const QString& sql);
// The value of environment variable `name`, which scripts/test sets; a test
// failure when it is not set.
QString RequiredSetting(const char* name);
// The terminal's connection string for this program's database.
QString TestConnectionString();
// A file of the source tree ("db/demo.sql", "demo/Modelo.txt", ...).
QString SourcePath(const QString& relative);

}  // namespace testsupport
