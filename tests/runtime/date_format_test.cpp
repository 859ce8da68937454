#include "runtime/date_format.h"

#include <gtest/gtest.h>

#include "program_locale.h"

namespace {

struct DateCase {
    QDateTime value;
    const char* mask;
    const char* expected;
};

TEST(FormatDate, MasksAndTokens) {
    const QDateTime tue(QDate(2026, 12, 8), QTime(21, 5, 9));
    const QDateTime sat(QDate(2026, 1, 3), QTime(7, 0, 0));
    const QDateTime wed(QDate(2026, 3, 4), QTime(0, 30, 0));
    const DateCase cases[] = {
        {tue, "yyyy-mm-dd", "2026-12-08"},  // order header
        {tue, "yyyy,mm,dd", "2026,12,08"},  // ticket lines
        {tue, "dd/MM/yyyy", "08/12/2026"},
        {tue, "HH:mm:ss", "21:05:09"},
        {tue, "d/m/yy", "8/12/26"},
        {tue, "h:n:s", "21:5:9"},
        {tue, "hh:nn", "21:05"},
        {tue, "mm:ss", "05:09"},        // before seconds: minutes
        {tue, "hh 'h' mm", "21 h 05"},  // after an hour, literals between: minutes
        {tue, "dddd, d' de 'MMMM' de 'yyyy", "martes, 8 de diciembre de 2026"},
        {tue, "ddd mmm", "mar dic"},
        {tue, "'yyyy' yyyy", "yyyy 2026"},
        {tue, "\"dd\" \\d d", "dd d 8"},
        {tue, "y", "342"},  // day of the year
        {tue, "YYYY-MM-DD", "2026-12-08"},
        {sat, "dddd ddd mmmm mmm", "sábado sáb enero ene"},
        {sat, "HH H", "07 7"},
        {wed, "dddd ddd hh:mm", "miércoles mié 00:30"},
        {wed, "d 'de' mmmm", "4 de marzo"},
    };
    for (const DateCase& c : cases)
        EXPECT_EQ(rt::FormatDate(c.value, c.mask), c.expected) << c.mask;
}

TEST(FormatDate, InvalidDateGivesNothing) {
    EXPECT_EQ(rt::FormatDate(QDateTime(), "dd/MM/yyyy"), "");
}

using ParseShortDateProgram = ProgramFormats;

TEST_F(ParseShortDateProgram, ReadsDayFirstDates) {
    const struct {
        const char* text;
        QDate expected;
    } cases[] = {
        {"08/12/2026", QDate(2026, 12, 8)},   {"8/1/2026", QDate(2026, 1, 8)},
        {" 08/12/2026 ", QDate(2026, 12, 8)}, {"29/02/2028", QDate(2028, 2, 29)},
        {"08/12/26", QDate(2026, 12, 8)},     {"08/12/45", QDate(1945, 12, 8)},
    };
    for (const auto& c : cases) EXPECT_EQ(rt::ParseShortDate(c.text), c.expected) << c.text;
}

TEST_F(ParseShortDateProgram, RefusesTextThatDoesNotFit) {
    const char* cases[] = {"",      "31/02/2026", "29/02/2027", "08-12-2026",  "08/12/2026x",
                           "08/12", "2026-12-08", "aa/bb/cccc", "008/12/2026", "08/13/2026"};
    for (const char* text : cases) EXPECT_FALSE(rt::ParseShortDate(text).has_value()) << text;
}

TEST_F(ParseShortDateProgram, ReadsBackWhatTheShortDateWrites) {
    const QDate d(2031, 7, 1);
    const QString text = rt::FormatDate(QDateTime(d, QTime(0, 0)), rt::CurrentFormats().shortDate);
    EXPECT_EQ(text, "01/07/2031");
    EXPECT_EQ(rt::ParseShortDate(text), d);
}

using ParseShortDateNeutral = NeutralFormats;

TEST_F(ParseShortDateNeutral, FollowsTheFormInForce) {
    EXPECT_EQ(rt::ParseShortDate("2026-12-08"), QDate(2026, 12, 8));
    EXPECT_FALSE(rt::ParseShortDate("08/12/2026").has_value());
    rt::CurrentFormats().shortDate = "d MMMM yyyy";
    EXPECT_FALSE(rt::ParseShortDate("8 diciembre 2026").has_value());  // names are not read back
}

}  // namespace
