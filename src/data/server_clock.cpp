#include "data/server_clock.h"

#include "runtime/date_format.h"

namespace data {

ServerClock ClockFromValue(const rt::Variant& value) {
    ServerClock clock;
    clock.hora = value.ToTextOrEmpty();
    clock.fecha = rt::ParseShortDate(clock.hora.left(10)).value_or(QDate());
    return clock;
}

ServerClock ClockFromResult(const data::ResultSet& rs) {
    if (rs.IsEof()) return {};
    return ClockFromValue(rs.Field(0));
}

}  // namespace data
