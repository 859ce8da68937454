#pragma once
// The database server's clock, as start-up and sending read it.
#include <QDate>
#include <QString>

#include "data/connection.h"
#include "runtime/variant.h"

namespace data {

inline const QString kSqlReloj = QStringLiteral("select now() as fecha_mysql");

struct ServerClock {
    QDate fecha;   // the date part converted back to a date
    QString hora;  // the whole text form: short date, a blank, the time

    bool operator==(const ServerClock&) const = default;
};

// The clock from the value of "fecha_mysql", in its text form under the
// regional formats in force.
ServerClock ClockFromValue(const rt::Variant& value);

// The clock from the clock query's answer (no value without a row).
ServerClock ClockFromResult(const data::ResultSet& rs);

}  // namespace data
