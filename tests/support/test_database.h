#pragma once
// The private MariaDB server that scripts/test starts for the tests. Each test
// program has a database of its own, rebuilt from db/schema.sql, grants.sql
// and demo.sql. Without the server the tests fail loudly; they never skip.
#include <QString>
#include <QStringList>

namespace testsupport {

// Address of the test server (PEDIDOS_TEST_DB_HOST).
QString DbHost();
// An address where no server listens (PEDIDOS_TEST_DB_DOWN_HOST).
QString DbDownHost();
// The database of this test program.
QString DbName();
// Drops and rebuilds this program's database with the demo data.
void ResetDatabase();
// Runs SQL as root on this program's database; the rows, columns joined by tabs.
QStringList RootQuery(const QString& sql);
// The same on the server listening on `socket`, database `db`.
void ResetDatabaseOn(const QString& socket, const QString& db);
QStringList RootQueryOn(const QString& socket, const QString& db, const QString& sql);
// The value of environment variable `name`, which scripts/test sets; a test
// failure when it is not set.
QString RequiredSetting(const char* name);
// The terminal's connection string for this program's database.
QString TestConnectionString();
// A file of the source tree ("db/demo.sql", "demo/Modelo.txt", ...).
QString SourcePath(const QString& relative);

}  // namespace testsupport
