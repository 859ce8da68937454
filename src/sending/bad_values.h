#pragma once
// A value the installation's column cannot hold (too long, characters its
// character set lacks, a number out of its range): the server refuses it on
// every try, so the waiter is told which value and which column, not to
// press ENVIAR again.
#include <QString>

namespace sending {

// The column a server's error text names ("Data too long for column
// 'observacion' at row 1", "Incorrect string value: '\xF0\x9F' for column
// `db`.`comanda`.`nom_producto` at row 1"); empty when it names none.
QString ColumnInError(const QString& description);

// What the waiter reads about it: the value (shortened when long), the table
// and the column, and what the error means, in Spanish. `value` may be empty
// when it is not known which value it was.
QString BadValueText(int number, const QString& table, const QString& column, const QString& value);

}  // namespace sending
