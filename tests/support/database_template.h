#pragma once
// A test program's database put back in its starting state without building
// it again. Installation i's script (schema, grants, demo data) is run once
// per server into a template database (pt_template_ours, _bare, _theirs; the
// script's hash in pt_templates.built says which script built it). A test
// database is compared with its template (tables, each table's statement,
// AUTO_INCREMENT counter and CHECKSUM TABLE) and only the tables whose rows
// or counter differ get the template's rows and counter back; a table added,
// dropped or altered has the database built again as a copy of the
// template, and if even that copy differs, from the script. All of it
// through one connection as root, no client program.
#include <QString>

#include "support/test_database.h"

namespace testsupport {

// Makes database `db` on the server listening on `socket` hold exactly what
// installation `i`'s script builds in an empty database.
void ResetFromTemplate(const QString& socket, const QString& db, Installation i);
// Runs `sql` (one or more statements) as root in database `db` of the
// server listening on `socket`, through a connection of this process.
void ExecAsRoot(const QString& socket, const QString& db, const QString& sql);

}  // namespace testsupport
