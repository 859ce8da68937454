// What the server sends that the terminal reads as its own values: the widths
// of the text columns (one row a line, six tab-separated fields, "\N" for a
// null, a field that reads as a number taken as one) and the clock (the
// input's text as the value of now()). A width only ever cuts a text to a
// beginning of itself that fits, and a clock's date is the one its text shows.
#include <QDate>
#include <QStringList>

#include "data/column_widths.h"
#include "data/result_set.h"
#include "data/server_clock.h"
#include "fuzz_support.h"
#include "runtime/date_format.h"

namespace {

rt::Variant Field(const QString& text) {
    if (text == QLatin1String("\\N")) return {};
    bool number = false;
    const double value = text.toDouble(&number);
    return number ? rt::Variant(value) : rt::Variant(text);
}

void CheckWidths(const QString& text) {
    std::vector<std::vector<rt::Variant>> rows;
    for (const QString& line : text.split(u'\n')) {
        QStringList fields = line.split(u'\t');
        while (fields.size() < 6) fields << QString();
        std::vector<rt::Variant> row;
        for (int i = 0; i < 6; ++i) row.push_back(Field(fields[i]));
        rows.push_back(std::move(row));
    }
    const QStringList columns{"table_name", "column_name", "data_type", "character_maximum_length",
                              "character_octet_length", "character_set_name"};
    const data::ColumnWidths widths = data::ColumnWidthsFrom(data::ResultSet(columns, rows));
    for (const auto& row : rows) {
        const QString table = row[0].ToTextOrEmpty(), column = row[1].ToTextOrEmpty();
        const QString cut = widths.Fit(table, column, text);
        fuzz::Check(text.startsWith(cut), "a value is cut to a beginning of itself", cut);
        fuzz::Check(widths.Fit(table, column, cut) == cut, "a cut value fits as it is", cut);
    }
    for (const int limit : {data::TableNumberLimit(widths), data::ChefNoteLimit(widths),
                            data::CookingPointLimit(widths), data::WaiterNameLimit(widths)})
        fuzz::Check(limit >= 0, "a typing limit is never negative");
}

void CheckClock(const QString& text) {
    const data::ServerClock clock = data::ClockFromValue(rt::Variant(text));
    fuzz::Check(clock.hora == text, "the clock keeps the server's text", text);
    if (clock.fecha.isValid())
        fuzz::Check(rt::ParseShortDate(text.left(10)) == clock.fecha, "the date is the one the text shows", text);
    fuzz::Check(data::ClockFromValue(rt::Variant(clock.hora)) == clock, "the clock reads the same again", text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::UseProgramFormats();
    const QString text = fuzz::Utf8(data, size);
    CheckWidths(text);
    CheckClock(text);
    return 0;
}
