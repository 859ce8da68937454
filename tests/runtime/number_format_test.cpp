#include "runtime/number_format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <span>

#include "program_locale.h"

namespace {

struct FormatCase {
    double value;
    const char* mask;
    const char* expected;
};

using FormatNumberProgram = ProgramFormats;

TEST_F(FormatNumberProgram, MasksOfTheGridAndTickets) {
    const FormatCase cases[] = {
        // grid columns: quantity, cost, prices, tax rate
        {1234.5, "###,###,##0.00", "1.234,50"},
        {2, "###,###,##0.000", "2,000"},
        {12.5, "###,###,##0.000", "12,500"},
        {0, "###,###,##0.000", "0,000"},
        {16, "##,###,##0.00", "16,00"},
        {0, "##,###,##0.00", "0,00"},
        {10, "###,###,##0.00", "10,00"},
        {1234567890123.0, "###,###,##0.00", "1.234.567.890.123,00"},  // more digits than the mask
        {-1234567.891, "###,###,##0.00", "-1.234.567,89"},
        // ticket quantity: digits only where the number has them
        {0, "###", ""},
        {0.4, "###", ""},
        {0.5, "###", "1"},
        {2, "###", "2"},
        {1234, "###", "1234"},  // no ',' in the mask: no grouping
        {10.5, "###", "11"},
    };
    for (const FormatCase& c : cases)
        EXPECT_EQ(rt::FormatNumber(c.value, c.mask), c.expected) << c.value << " " << c.mask;
}

TEST_F(FormatNumberProgram, RoundsHalvesAwayFromZeroOnFifteenDigits) {
    const FormatCase cases[] = {
        {2.675, "##0.00",
         "2,68"},  // the double is 2.67499999999999982236431605997495353221893310546875
        {1.005, "##0.00", "1,01"},
        {-2.675, "##0.00", "-2,68"},
        {2.5 * 4.3, "##,###,##0.00", "10,75"},
        {0.125, "0.00", "0,13"},  // an exact half: away from zero, not to even
        {2.5, "0", "3"},
        {-2.5, "0", "-3"},
        {9.995, "###,##0.00", "10,00"},
        {999.9995, "#,##0.000", "1.000,000"},  // the carry opens a new group
        {0.1 + 0.2, "0.00000000000000000", "0,30000000000000000"},
        {-0.004, "##0.00", "0,00"},  // rounds to zero: no sign
        {1e-20, "0.00", "0,00"},
        {1e20, "#,##0", "100.000.000.000.000.000.000"},
    };
    for (const FormatCase& c : cases)
        EXPECT_EQ(rt::FormatNumber(c.value, c.mask), c.expected) << c.value << " " << c.mask;
}

// The number a masked text shows, without the text: the same rounding, the
// nearest double to the digits shown.
TEST_F(FormatNumberProgram, RoundDecimalsGivesTheNumberTheMaskShows) {
    const struct {
        double value;
        int decimals;
        double shown;
    } cases[] = {
        {2.675, 2, 2.68},          // halves away from zero on the 15-digit form
        {-2.675, 2, -2.68},
        {2.5 * 4.3, 2, 10.75},
        {188.785, 2, 188.79},
        {1.0005, 3, 1.001},
        {-0.001, 2, 0},            // rounds to zero: no negative zero
        {-0.0004, 3, 0},
        {0, 3, 0},
        {1234567890123.456, 2, 1234567890123.46},
        {1e20, 2, 1e20},
        {0.1 + 0.2, 2, 0.3},
    };
    for (const auto& c : cases) {
        const double r = rt::RoundDecimals(c.value, c.decimals);
        EXPECT_EQ(r, c.shown) << c.value;
        EXPECT_FALSE(std::signbit(r) && r == 0) << c.value;
        // What the number shows is what the mask of the same decimals shows of the value.
        const QString mask = c.decimals == 2 ? "###,###,##0.00" : "###,###,##0.000";
        EXPECT_EQ(rt::FormatNumber(r, mask), rt::FormatNumber(c.value, mask)) << c.value;
    }
}

TEST_F(FormatNumberProgram, OptionalDecimalsMinimumDigitsAndLiterals) {
    const FormatCase cases[] = {
        {1.5, "0.0#", "1,5"}, {1.25, "0.0#", "1,25"},
        {1, "#.##", "1,"},    {5, "00000", "00005"},
        {0.5, ".00", ",50"},  {1.5, ".00", "1,50"},
        {3, "$#", "$3"},      {-3, "$#", "-$3"},
        {7, "# kg", "7 kg"},  {7, "sin cifras", "sin cifras"},
    };
    for (const FormatCase& c : cases)
        EXPECT_EQ(rt::FormatNumber(c.value, c.mask), c.expected) << c.value << " " << c.mask;
}

TEST_F(FormatNumberProgram, TaxTakenOutOfThePriceShowsInTheGrid) {
    // price 116,00 with tax 16 % and quantity 2, computed as item entry does
    const double price = 116.0, rate = 16.0, quantity = 2.0;
    const double divisor = 1 + rate / 100;
    const double unit = price * quantity / divisor / quantity;
    EXPECT_EQ(rt::FormatNumber(unit, "###,###,##0.00"), "100,00");
    EXPECT_EQ(rt::FormatNumber(quantity * unit, "###,###,##0.00"), "200,00");
    EXPECT_EQ(rt::FormatNumber(rate, "##,###,##0.00"), "16,00");
}

TEST_F(FormatNumberProgram, DollarPriceIsRoundedThroughItsText) {
    EXPECT_EQ(rt::CDbl(rt::FormatNumber(2.5 * 4.3, "##,###,##0.00")), 10.75);
    EXPECT_EQ(rt::CDbl(rt::FormatNumber(1.0 / 3.0 * 7, "##,###,##0.00")), 2.33);
}

TEST_F(FormatNumberProgram, EmptyMaskIsTheGeneralFormAndNonFiniteOverflows) {
    EXPECT_EQ(rt::FormatNumber(1234.5, ""), "1234,5");
    EXPECT_EQ(ErrorNumberOf([] { rt::FormatNumber(INFINITY, "0.00"); }), rt::kOverflow);
    EXPECT_EQ(ErrorNumberOf([] { rt::GeneralNumber(NAN); }), rt::kOverflow);
}

TEST_F(FormatNumberProgram, GeneralNumberForm) {
    const struct {
        double value;
        const char* expected;
    } cases[] = {
        {1234.5, "1234,5"},
        {2, "2"},
        {-0.0, "0"},
        {0.1, "0,1"},
        {-0.5, "-0,5"},
        {0.1 + 0.2, "0,3"},
        {1.0 / 3, "0,333333333333333"},
        {123456789012345.0, "123456789012345"},
        {999999999999999.9, "1E+15"},  // rounds up to 16 digits
        {1e15, "1E+15"},
        {-2.25e20, "-2,25E+20"},
        {1e100, "1E+100"},
        {0.0001, "0,0001"},
        {0.00001, "1E-05"},
        {1.5e-5, "1,5E-05"},
    };
    for (const auto& c : cases) EXPECT_EQ(rt::GeneralNumber(c.value), c.expected) << c.value;
}

TEST_F(FormatNumberProgram, GridCellsIntoSqlNumbers) {
    // cell text → number under the regional formats → general form → '.' decimals
    const struct {
        const char* cell;
        const char* sql;
    } cases[] = {
        {"1.234,50", "1234.5"},
        {"2", "2"},
        {"2,000", "2"},
        {"0", "0"},
        {"0,00", "0"},
        {"12,5", "12.5"},
        {"100,00", "100"},
        {"16,00", "16"},
        {"1.234.567,89", "1234567.89"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(rt::GeneralNumber(rt::CDbl(c.cell)).replace(",", "."), c.sql) << c.cell;
}

struct ParseCase {
    const char* text;
    double expected;
};

// ParseNumber, IsNumeric and CDbl all read each text as its number.
void ExpectReads(std::span<const ParseCase> cases) {
    for (const ParseCase& c : cases) {
        const std::optional<double> v = rt::ParseNumber(c.text);
        ASSERT_TRUE(v.has_value()) << c.text;
        EXPECT_EQ(*v, c.expected) << c.text;
        EXPECT_TRUE(rt::IsNumeric(c.text)) << c.text;
        EXPECT_EQ(rt::CDbl(c.text), c.expected) << c.text;
    }
}

// Neither ParseNumber nor IsNumeric sees a number, and CDbl is a type mismatch.
void ExpectNoNumber(std::span<const char* const> texts) {
    for (const char* text : texts) {
        EXPECT_FALSE(rt::ParseNumber(text).has_value()) << text;
        EXPECT_FALSE(rt::IsNumeric(text)) << text;
        EXPECT_EQ(ErrorNumberOf([text] { rt::CDbl(text); }), rt::kTypeMismatch) << text;
    }
}

TEST_F(FormatNumberProgram, ParsesNumbersOfTheRegionalForm) {
    const ParseCase reads[] = {
        {"12,5", 12.5}, {" 12,5 ", 12.5}, {"-3", -3},      {"+3", 3},
        {",5", 0.5},    {"5,", 5},        {"1,5E3", 1500}, {"1,5e-3", 0.0015},
        {"0", 0},       {"2,675", 2.675}, {"007", 7},      {"1E-400", 0},
    };
    ExpectReads(reads);
}

TEST_F(FormatNumberProgram, ThousandsPointsMustGroupTheIntegerPart) {
    const ParseCase reads[] = {
        {"1.234", 1234},     {"12.345.678", 12345678}, {"123.456", 123456},
        {"1.234,5", 1234.5}, {"-1.234,50", -1234.5},   {"1.000.000", 1e6},
    };
    ExpectReads(reads);
    const char* const noNumbers[] = {"1.2.3", "12.34,5", "1..234",    "1.23.456",
                                     "1,5.3", "1.234.5", "1234.567,8"};
    ExpectNoNumber(noNumbers);
}

TEST_F(FormatNumberProgram, ALonePointThatGroupsNothingIsTheDecimalPoint) {
    // how a waiter types half a portion, or two and a half, with the point key
    const ParseCase reads[] = {
        {"0.5", 0.5},       {"2.5", 2.5},           {".5", 0.5},
        {"10.5", 10.5},     {"-0.5", -0.5},         {"1.5E2", 150},
        {"1.2345", 1.2345}, {"1234.567", 1234.567}, {"5.", 5},
    };
    ExpectReads(reads);
}

TEST_F(FormatNumberProgram, RejectsWhatIsNoNumber) {
    const char* const noNumbers[] = {"",     " ",    "abc", "1,2,3", "1,2.3", "1E",
                                     "E5",   "+",    "-",   "1-",    "1 2",   "--1",
                                     "0x10", "1,5E", "12a", ".",     "-.",    "1e+"};
    ExpectNoNumber(noNumbers);
    EXPECT_FALSE(rt::ParseNumber("1E400").has_value());
    EXPECT_FALSE(rt::IsNumeric("1E400"));
    QString description;
    EXPECT_EQ(ErrorNumberOf([] { rt::CDbl("abc"); }, &description), rt::kTypeMismatch);
    EXPECT_EQ(description, "No coinciden los tipos");
    EXPECT_EQ(ErrorNumberOf([] { rt::CDbl("1E400"); }), rt::kOverflow);
}

TEST_F(FormatNumberProgram, GroupedGridTextsReadBack) {
    const struct {
        double value;
        const char* mask;
        const char* text;
    } cases[] = {
        {1234.5, "###,###,##0.00", "1.234,50"},
        {12345678, "###,###,##0.000", "12.345.678,000"},
        {-1234, "###,###,##0.00", "-1.234,00"},
        {1234567890123.0, "###,###,##0.00", "1.234.567.890.123,00"},
        {5, "0,000", "0.005"},  // zero padding grouped as any digits
        {1235, "0,000,000,000", "0.000.001.235"},
    };
    for (const auto& c : cases) {
        const QString text = rt::FormatNumber(c.value, c.mask);
        EXPECT_EQ(text, c.text);
        EXPECT_EQ(rt::ParseNumber(text), c.value) << c.text;
    }
}

using NumbersNeutral = NeutralFormats;

TEST_F(NumbersNeutral, PointDecimalsAndCommaThousands) {
    EXPECT_EQ(rt::FormatNumber(1234.5, "###,###,##0.00"), "1,234.50");
    EXPECT_EQ(rt::GeneralNumber(1.5e-5), "1.5E-05");
    EXPECT_EQ(rt::ParseNumber("1,234.50"), 1234.5);
    EXPECT_EQ(rt::ParseNumber("1,234"), 1234);
    EXPECT_EQ(rt::ParseNumber("12,5"), 12.5);  // a lone comma is the decimal point here
    EXPECT_FALSE(rt::ParseNumber("1.234,50").has_value());
    EXPECT_FALSE(rt::ParseNumber("1,2,3").has_value());
}

TEST_F(NumbersNeutral, ThousandsSeparatorEqualToTheDecimalOneIsNotRecognised) {
    rt::CurrentFormats().thousandSeparator = rt::CurrentFormats().decimalSeparator;
    EXPECT_EQ(rt::ParseNumber("1.234"), 1.234);
    EXPECT_EQ(rt::ParseNumber("0.5"), 0.5);
    EXPECT_FALSE(rt::ParseNumber("1.234.5").has_value());
}

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour) {
    const struct {
        double value;
        double expected;
    } cases[] = {
        {2.5, 2},
        {3.5, 4},
        {-2.5, -2},
        {-3.5, -4},
        {0.5, 0},
        {1.5, 2},
        {2.4, 2},
        {2.6, 3},
        {-2.6, -3},
        {7, 7},
        {0.49999999999999994, 0},
        {4503599627370497.0, 4503599627370497.0},
    };
    for (const auto& c : cases) EXPECT_EQ(rt::RoundHalfEven(c.value), c.expected) << c.value;
}

}  // namespace
