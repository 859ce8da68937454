#pragma once
// How much text the installation's columns hold. The tables belong to the
// restaurant's database, so their widths are learnt from the server at
// start-up, not assumed: typed text is stopped where it is typed, and a value
// that did not come from typing (a product name from the back office, say) is
// cut to its column when it is written, so a send never fails with
// "Data too long" and leaves an order that can never be stored.
#include <QString>
#include <initializer_list>
#include <map>
#include <utility>

#include "data/connection.h"

namespace data {

// What one text column holds: at most `chars` characters (VARCHAR, CHAR) or
// at most `bytes` bytes in the column's character set (the TEXT types).
// Zero means no limit of that kind.
struct ColumnWidth {
    int chars = 0;
    int bytes = 0;
    QString charset;  // the column's character set, as the server names it
};

class ColumnWidths {
public:
    // Records the width of `table`.`column` (names compared without regard to case).
    void Set(const QString& table, const QString& column, const ColumnWidth& width);

    // The longest beginning of `text` that `table`.`column` holds; `text`
    // itself when it fits or the column is unknown.
    QString Fit(const QString& table, const QString& column, const QString& text) const;

    // How many characters may be typed for a value written to every one of
    // `columns` ({table, column} pairs): the narrowest of them, counting a
    // byte-limited column by its widest character; 0 when none is limited.
    int TypingLimit(std::initializer_list<std::pair<const char*, const char*>> columns) const;

private:
    const ColumnWidth* Find(const QString& table, const QString& column) const;
    std::map<std::pair<QString, QString>, ColumnWidth> widths_;
};

// The text columns of the tables the terminal writes into (Factura_r,
// D_Fact_r, comanda, and envios where it is there), read from
// information_schema in one query. Raises DbError when the query fails.
ColumnWidths LearnColumnWidths(Connection& connection);
// The query it asks, and the widths from its answer. information_schema
// lists the columns the user has any right on, which includes INSERT; the
// table names are compared in lower case because the server keeps them so.
inline const QString kSqlColumnWidths = QStringLiteral(
    "select table_name, column_name, data_type, character_maximum_length,"
    " character_octet_length, character_set_name from information_schema.columns"
    " where table_schema = database() and lower(table_name) in"
    " ('factura_r','d_fact_r','comanda','envios') and character_maximum_length is not null");
ColumnWidths ColumnWidthsFrom(ResultSet answer);

// The typing limits of the order screen's boxes.
int TableNumberLimit(const ColumnWidths& w);   // a typed table number
int ChefNoteLimit(const ColumnWidths& w);      // the note to the chef
int CookingPointLimit(const ColumnWidths& w);  // a typed cooking point
int WaiterNameLimit(const ColumnWidths& w);    // a typed waiter name

}  // namespace data
